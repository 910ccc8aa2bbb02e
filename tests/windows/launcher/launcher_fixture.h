// Running the real launcher under test: an installation laid out in a
// temporary folder, the stand-in JVM told how to behave, the launcher started
// with a command line and watched, and the stand-in's record read back. The
// one fixture of every area that drives the stand-in JVM (launcher, launcher32,
// console); each program has the launcher and the stand-in beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "test_files.h"
#include "watched_process.h"

namespace launchertest {

inline constexpr const wchar_t* kLauncherName = L"Varkel-64.exe";
inline constexpr const wchar_t* kCaption = L"VKJavaLauncher";
inline constexpr const wchar_t* kJvmSuffix = L"\\bin\\server\\jvm.dll";

// Build outputs that CMake places beside the test program.
std::wstring builtFile(const std::wstring& name);
std::wstring builtStandinJvm();           // the launcher's bitness
std::wstring builtStandinJvmOtherBits();  // the other bitness
std::wstring builtNoEntryPointDll();      // loads, but exports no JNI_CreateJavaVM

// How the stand-in JVM behaves in one run (unset: the JVM starts, mainVK
// returns 0, DestroyJavaVM succeeds).
struct StandinBehaviour {
    std::optional<long> createResult;
    const wchar_t* missing = nullptr;  // standin::kMissingClass or kMissingMethod
    std::optional<long> mainResult;
    std::optional<std::wstring> exception;
    std::optional<long> destroyResult;
    std::wstring releaseFile;  // not empty: mainVK waits until this file exists
    std::wstring output;       // not empty: mainVK prints this line
    bool probeManifest = false;  // mainVK writes down what the manifest gave the process
    const wchar_t* open = nullptr;  // openVK's behaviour: standin::kOpenMissing, kOpenBlocks, ...
    std::wstring recordPath;        // not empty: the record goes here, not to the installation's
};

// Everything the stand-in wrote down, decoded.
struct StandinRecord {
    std::vector<std::vector<std::wstring>> lines;

    bool loaded() const { return !lines.empty(); }
    // The fields after the word on the first line that starts with it.
    std::optional<std::vector<std::wstring>> first(const char* word) const;
    std::vector<std::vector<std::wstring>> all(const char* word) const;
    // The JVM options' bytes, in order.
    std::vector<std::string> options() const;
    // "FindClass com/orvane/varkel/Varkel", ... in call order.
    std::vector<std::wstring> calls() const;
    // Function names only, in call order.
    std::vector<std::wstring> callNames() const;
    // The array mainVK received; absent when mainVK was not called.
    std::optional<std::vector<std::wstring>> arguments() const;
    std::wstring text(const char* word) const;  // first field of that line, or empty
    // The value QueryActCtxSettingsW gave for a setting (standin::kSetting).
    std::wstring setting(const wchar_t* name) const;
};
StandinRecord readStandinRecord(const std::wstring& path);

// Sets environment variables for the launchers this process starts, and
// restores the previous values when it goes.
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    ~EnvironmentOverride();
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    void set(const std::wstring& name, const std::optional<std::wstring>& value);

private:
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

// A launcher installation: the launcher (copied from beside the test program),
// an empty "lib" folder, a Java home "java" with the stand-in at
// bin\server\jvm.dll, and a startup.conf naming that home in JAVA_PATH.
class Installation {
public:
    explicit Installation(const std::wstring& launcherName = kLauncherName);
    const std::wstring& dir() const { return dir_.path(); }
    std::wstring operator/(const std::wstring& relative) const { return dir_ / relative; }
    std::wstring exe() const { return dir_ / launcherName_; }
    std::wstring javaHome() const { return dir_ / L"java"; }
    std::wstring jvmPath() const { return javaHome() + kJvmSuffix; }
    std::wstring configPath(const std::wstring& name = L"startup.conf") const { return dir_ / name; }
    std::wstring recordPath() const { return dir_ / L"standin.record"; }

    // Writes a file (its folders made as needed).
    void write(const std::wstring& relative, const std::string& bytes) const;
    // startup.conf: the JAVA_PATH line, then the given lines.
    void writeConfig(const std::string& lines = {}) const;
    std::string javaPathLine() const;

private:
    wintest::TempDir dir_;
    std::wstring launcherName_;
};

struct Launch {
    wintest::RunResult run;
    StandinRecord record;
};

// Starts the installation's launcher with the argument text (appended after
// its quoted path and one blank) and answers its boxes.
Launch launch(const Installation& installation, const std::wstring& arguments = {},
              const StandinBehaviour& behaviour = {}, wintest::RunOptions options = {});

// Two launches at once (SINGLE_INSTANCE=1): the first, started with no
// arguments, is held in mainVK, where it serves hand-overs; once it is there,
// whileServing runs (if set), then the second launch runs to its end, and the
// first is released. The second's record goes to "second.record" of its
// installation.
struct TwoLaunches {
    Launch first;
    Launch second;
};
TwoLaunches launchWhileRunning(const Installation& first, const StandinBehaviour& firstBehaviour,
                               const Installation& second, const std::wstring& secondArguments,
                               const wintest::RunOptions& secondOptions = {}, const std::function<void()>& whileServing = {});

// "Error N: \"system text\"" as the launcher words a system error.
std::wstring systemErrorItem(DWORD code);

// The launcher's error box: its caption, the error icon and one OK button.
void expectErrorBox(const wintest::SeenBox& box, const std::wstring& text);

// What the launcher's manifest gives the process, as the stand-in found it
// while mainVK ran (StandinBehaviour::probeManifest): comctl32 version 6, the
// DPI and long-path settings, the supported systems.
void expectManifestEffects(const StandinRecord& record);

// Replaces every "{name}" in a message template.
std::wstring fill(std::wstring text, const std::vector<std::pair<std::wstring, std::wstring>>& values);

}  // namespace launchertest
