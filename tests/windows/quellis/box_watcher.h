// Watches this test program's own message boxes from a second thread, reads
// each one off the screen and presses OK, so that a modal box shown by the
// code under test on the test's thread can be checked and closed.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "watched_process.h"

namespace quellistest {

class BoxWatcher {
public:
    BoxWatcher();
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Every box seen so far, in order. A box shown by a call on the test's
    // thread has been read before that call returns.
    std::vector<wintest::SeenBox> boxes();

private:
    void watch();
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<wintest::SeenBox> boxes_;
    std::thread thread_;
};

}  // namespace quellistest
