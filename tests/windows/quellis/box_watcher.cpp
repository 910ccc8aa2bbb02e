#include "box_watcher.h"

#include <set>

namespace quellistest {

namespace {
constexpr DWORD kPollMs = 30;
constexpr DWORD kSettleMs = 150;  // let a new box finish drawing its text and icon
}  // namespace

BoxWatcher::BoxWatcher() : thread_([this] { watch(); }) {}

BoxWatcher::~BoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<wintest::SeenBox> BoxWatcher::boxes() {
    std::lock_guard<std::mutex> guard(mutex_);
    return boxes_;
}

void BoxWatcher::watch() {
    std::set<HWND> answered;
    while (!stop_) {
        for (HWND box : wintest::findBoxes(GetCurrentProcessId())) {
            if (answered.count(box)) continue;
            Sleep(kSettleMs);
            wintest::SeenBox seen = wintest::readBox(box);
            answered.insert(box);
            {
                std::lock_guard<std::mutex> guard(mutex_);
                boxes_.push_back(seen);
            }
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(wintest::defaultAnswer(seen)), 0);
        }
        Sleep(kPollMs);
    }
}

}  // namespace quellistest
