// The launcher is built without exceptions and replaces the standard library's
// allocation and failure functions: every way of running out of memory must
// reach its new-handler (which reports and exits 2), never abort or crash.
#include <gtest/gtest.h>

#include "memory_exhaustion_probe.h"
#include "test_files.h"
#include "watched_process.h"

namespace {

unsigned runProbe(const wchar_t* route) {
    const std::wstring probePath = wintest::testProgramDirectory() + L"\\memory_exhaustion_probe.exe";
    wintest::RunResult run = wintest::runWatched(L"\"" + probePath + L"\" " + route);
    EXPECT_FALSE(run.timedOut) << wintest::utf8(route);
    return run.exitCode;
}

}  // namespace

TEST(OutOfMemory, EveryRouteReachesTheHandler) {
    for (const wchar_t* route : {probe::kOperatorNew, probe::kStringBeyondMaxSize, probe::kVectorBeyondMaxSize}) {
        EXPECT_EQ(runProbe(route), probe::kHandledExitCode) << wintest::utf8(route);
    }
    EXPECT_EQ(runProbe(probe::kSmallAllocations), 0u);
}
