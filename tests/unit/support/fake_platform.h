// A scriptable stand-in for the launcher's operating system, for native tests.
// Tests set up what the "machine" holds (files, directories, registry,
// environment, libraries, answers to message boxes) and read back what the
// launcher did (boxes shown, processes created, the order of notable calls).
//
// Ending the process throws ProcessEnded, so a test can run the launcher's
// code to its end and look at the exit code.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform.h"

namespace fake {

using varkel::WideString;
using varkel::platform::ModuleHandle;

struct ProcessEnded {
    enum class How { exitProcess, exitRuntime };
    std::uint32_t code;
    How how;
};

struct ShownBox {
    WideString text;
    WideString caption;
    std::uint32_t style;
};

struct Machine {
    // Errors
    std::uint32_t lastError = 0;
    std::map<std::uint32_t, WideString> errorTexts;  // FormatMessageW texts (with their line end)

    // Modules: a path that is not in `libraries` fails to load with 126; one
    // that is (and does not fail with 126) exists for pathExists too.
    struct Library {
        ModuleHandle handle = nullptr;    // null: the load fails with `error`
        std::uint32_t error = 0;
        std::map<std::string, void*> functions;  // GetProcAddress results
    };
    std::map<WideString, Library> libraries;
    // Replaces the table lookup when set (e.g. a real dlopen for JVM tests).
    std::function<ModuleHandle(const WideString&)> loadLibraryHook;
    std::function<void*(ModuleHandle, const char*)> findFunctionHook;
    std::vector<WideString> loadAttempts;
    std::vector<WideString> dllDirectories;

    // Messages
    std::vector<ShownBox> boxes;
    std::deque<int> boxAnswers;  // next answers; 1 (IDOK) when empty
    std::vector<std::string> calls;  // "sleep 500", "box", "SplashInit", ... in order

    // Files and directories
    WideString executablePath = u"C:\\Program Files\\Varkel\\Varkel.exe";
    WideString currentDirectory = u"C:\\Users\\someone";
    bool changeDirectoryFails = false;
    std::set<WideString> existingPaths;           // for pathExists (full paths)
    std::map<WideString, std::string> files;      // full path -> bytes
    std::set<WideString> unreadableFiles;         // open works, reading fails after the bytes
    std::map<WideString, varkel::platform::DirectoryListing> directories;  // pattern (full) -> listing
    // Version resources (product versions) by full path; readFileStart and
    // fileProductVersion note "ReadFileStart <path>" and
    // "GetFileVersionInfo <path>" in `calls`.
    std::map<WideString, std::array<std::uint16_t, 4>> productVersions;
    // The user's temporary folder (the extension's file lists); DeleteFile
    // removes a file from `files` and notes "DeleteFile <path>" in `calls`.
    std::optional<WideString> temporaryDirectory = WideString(u"C:\\Users\\someone\\AppData\\Local\\Temp\\");

    // Environment, system, registry
    std::map<WideString, WideString> environment;
    std::optional<WideString> systemDirectory = WideString(u"C:\\Windows\\system32");
    std::map<std::tuple<varkel::platform::RegistryView, WideString, WideString>, WideString> registry;
    // The keys that Java installers write, by root and view: (root, view, key,
    // value name) -> text. A key exists while a value lies in it or below it;
    // its subkeys are listed in sorted order.
    std::map<std::tuple<varkel::platform::RegistryRoot, varkel::platform::RegistryView, WideString, WideString>,
             WideString>
        installerRegistry;

    // The hand-over (SINGLE_INSTANCE=1): the user (absent: it cannot be
    // told); the running instance's answer to each exchange (unset: none
    // runs), and what was sent; the pipe served, and who is told of it.
    std::optional<varkel::platform::UserIdentity> user = varkel::platform::UserIdentity{"S-1-5-21-fake", 1};
    std::function<std::optional<std::string>(const WideString& pipe, const std::string& request)> runningInstance;
    std::vector<std::pair<WideString, std::string>> exchanges;
    bool serverStartFails = false;
    std::optional<WideString> servedPipe;
    std::function<void(varkel::platform::HandOverHandler, void*)> onServerStarted;  // the JVM tests' serving thread

    // Processes
    std::vector<WideString> createdProcesses;
    bool createProcessFails = false;
    std::uint32_t createProcessError = 2;

    // Console
    bool allocConsoleFails = false;
    std::uint32_t allocConsoleError = 5;
    bool consoleAllocated = false;
    bool consoleFreed = false;
    bool streamsBound = false;
    std::optional<varkel::platform::ConsoleBufferSize> consoleBuffer = varkel::platform::ConsoleBufferSize{80, 300};
    std::optional<varkel::platform::WindowRect> consoleWindow = varkel::platform::WindowRect{10, 20, 650, 320};
    std::deque<varkel::platform::ConsoleInput> consoleInputs;  // empty: reads fail
    WideString standardOutput;
    // The console operations in order, with what they were given:
    // "AllocConsole", "SetConsoleScreenBufferSize 100x300", "MoveWindow 10,20 850x400",
    // "BindStandardStreams", "Write", "ReadConsoleInput", "FreeConsole".
    std::vector<std::string> consoleLog;

    // A path as the process sees it: relative paths resolve against the current directory.
    WideString resolve(const WideString& path) const;
};

// The machine the fake platform serves; reset before each test.
Machine& machine();
void reset();

}  // namespace fake
