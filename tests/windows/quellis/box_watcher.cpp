#include "box_watcher.h"

#include <set>

namespace quellistest {

namespace {
constexpr DWORD kPollMs = 30;
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
        // Each box is recorded before it is answered: the call that showed it
        // cannot return before then.
        wintest::answerNewBoxes(wintest::findBoxes(GetCurrentProcessId()), answered, wintest::defaultAnswer,
                                [this](const wintest::SeenBox& seen) {
                                    std::lock_guard<std::mutex> guard(mutex_);
                                    boxes_.push_back(seen);
                                });
        Sleep(kPollMs);
    }
}

}  // namespace quellistest
