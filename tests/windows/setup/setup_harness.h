// Running QuellisSetup.exe in a folder of its own, beside the module a test
// chooses, and watching every message box of the run, those of an elevated
// second instance included.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "registry_keys.h"
#include "registry_lock.h"
#include "test_files.h"
#include "watched_process.h"

namespace setuptest {

// What lies beside QuellisSetup.exe under the name "Quellis64.dll".
enum class Module {
    None,
    Complete,               // the configurable stand-in with all four exports
    WithoutAppExports,      // lacks RegisterVarkelApp and UnregisterVarkelApp
    WithoutServerExports,   // lacks DllRegisterServer and DllUnregisterServer
    NotAModule,             // a text file
    Real,                   // the shell extension itself
};

// One call the stand-in received, from its calls.log.
struct StandinCall {
    DWORD processId = 0;
    std::string exportName;
    bool allUsers = false;
    std::string argument;  // the launcher path, or "<none>"
    std::wstring commandLine;
};

class SetupFolder {
public:
    explicit SetupFolder(Module module);
    const std::wstring& path() const { return dir_.path(); }
    std::wstring setupTool() const { return dir_ / L"QuellisSetup.exe"; }
    std::wstring modulePath() const { return dir_ / L"Quellis64.dll"; }
    // Writes the stand-in's standin.cfg ("Export=behaviour" lines).
    void configure(const std::string& lines) const;
    std::vector<StandinCall> calls() const;

private:
    wintest::TempDir dir_;
};

// Whether the real module was built beside the test program.
bool realModuleAvailable();

struct ShownBox {
    wintest::SeenBox box;
    bool byFirstInstance = false;
};

struct SetupRun {
    int exitCode = 0;  // the signed value: -1 is 0xFFFFFFFF
    bool timedOut = false;
    DWORD processId = 0;
    std::vector<ShownBox> boxes;
};

// Runs the tool with arguments, answers every box of it and of the processes
// it starts with OK, and returns its exit code read with GetExitCodeProcess.
SetupRun runSetup(const SetupFolder& folder, const std::wstring& arguments);

// ---- Registry ------------------------------------------------------------------------
inline constexpr const wchar_t* kAppKey = L"Software\\Orvane\\Varkel";

std::optional<std::wstring> readCommand(HKEY root);
using wintest::keyExists;
void writeCommand(HKEY root, const std::wstring& launcherPath);
// Deletes "Software\Orvane\Varkel" and, when it is then empty, "Software\Orvane".
void removeAppKey(HKEY root);

// The pre-created all-users key "Software\Orvane\Varkel" with an ACL that
// denies setting values and creating sub-keys to everyone, so that storing or
// removing the launcher path fails as it does without administrator rights.
// The wineserver keeps the ACL until it stops; the destructor lifts it and
// removes the key.
class DeniedAllUsersKey {
public:
    explicit DeniedAllUsersKey(const std::optional<std::wstring>& command = std::nullopt);
    ~DeniedAllUsersKey();
    DeniedAllUsersKey(const DeniedAllUsersKey&) = delete;
    DeniedAllUsersKey& operator=(const DeniedAllUsersKey&) = delete;
};

// Every case starts and ends with no "Software\Orvane\Varkel" in either
// hive, and holds the registry lock meanwhile.
class SetupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    wintest::RegistryLock lock_;
};

}  // namespace setuptest
