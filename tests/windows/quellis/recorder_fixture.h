// What a test of the extension's launch needs around it: COM on the thread, a
// clean extension registry, a folder of its own with the file the recorder
// (standing in for the launcher) writes its command line to, and, at the end,
// a module that may unload.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "menu_command.h"
#include "quellis_module.h"
#include "registry_state.h"
#include "test_files.h"

namespace quellistest {

inline constexpr DWORD kNoStartWaitMs = 1500;  // long enough for a started recorder to have written
inline constexpr std::size_t kCommandLineLimit = 32767;  // CreateProcessW, terminator included

class RecorderFixture : public ::testing::Test {
protected:
    explicit RecorderFixture(const wchar_t* folderName) : folder_{folderName} {}

    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        SetEnvironmentVariableW(kRecorderOutputVariable, output_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(kRecorderOutputVariable, nullptr);
        CoUninitialize();
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    }

    // The command line the recorder received, or empty when it did not run
    // within waitMs.
    std::wstring recordedCommandLine(DWORD waitMs = kRecorderWaitMs) {
        const std::wstring recorded = waitForRecordedCommandLine(output_, waitMs);
        DeleteFileW(output_.c_str());
        return recorded;
    }

    // Real files in the test's folder, with the given names.
    std::vector<std::wstring> makeFiles(const std::vector<std::wstring>& names) const {
        std::vector<std::wstring> paths;
        for (const auto& name : names) {
            paths.push_back(folder_ / name);
            wintest::writeFileBytes(paths.back(), "log line\n");
        }
        return paths;
    }

    CleanExtensionRegistry registry_;
    wintest::TempDir folder_;
    std::wstring output_ = folder_ / L"recorded.txt";
    std::wstring recorder_ = helperPath(L"quellis_recorder.exe");
};

}  // namespace quellistest
