// Picking the command: the launcher named by "Command" starts with every
// selected path quoted, or the user learns why it could not start.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include "box_watcher.h"
#include "quellis_module.h"
#include "registry_state.h"
#include "test_data_objects.h"
#include "test_files.h"

using namespace quellistest;

namespace {

constexpr UINT kFirstId = 1;
constexpr DWORD kRecorderWaitMs = 20000;
constexpr DWORD kNoStartWaitMs = 1500;  // long enough for a started recorder to have written

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        SetEnvironmentVariableW(L"VARKEL_RECORDER_OUTPUT", output_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"VARKEL_RECORDER_OUTPUT", nullptr);
        CoUninitialize();
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    }

    // Initialize, QueryContextMenu and InvokeCommand by verb, as Explorer
    // does when the user picks the item; returns InvokeCommand's result.
    static HRESULT pick(IContextMenu* menu, IDataObject* selection) {
        ComRef<IShellExtInit> init;
        if (FAILED(menu->QueryInterface(IID_IShellExtInit, init.out()))) return E_NOINTERFACE;
        if (FAILED(init->Initialize(nullptr, selection, nullptr))) return E_UNEXPECTED;
        HMENU popup = CreatePopupMenu();
        HRESULT built = menu->QueryContextMenu(popup, 0, kFirstId, kFirstId + 10, CMF_NORMAL);
        DestroyMenu(popup);
        if (built != 1) return E_UNEXPECTED;
        return invoke(menu);
    }
    static HRESULT invoke(IContextMenu* menu) {
        CMINVOKECOMMANDINFOEX info{};
        info.cbSize = sizeof info;
        info.fMask = CMIC_MASK_UNICODE;
        info.lpVerb = "owvarkel";
        info.lpVerbW = L"owvarkel";
        info.nShow = SW_SHOWNORMAL;
        return menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
    }
    static HRESULT pickFiles(const std::vector<std::wstring>& paths) {
        ComRef<IContextMenu> menu = quellis().createHandler();
        ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::Files, paths);
        return pick(menu.get(), selection.get());
    }

    // The command line the recorder received, or empty when it did not run
    // within waitMs.
    std::wstring recordedCommandLine(DWORD waitMs = kRecorderWaitMs) {
        for (DWORD waited = 0; !wintest::fileExists(output_) && waited < waitMs; waited += 50) Sleep(50);
        std::string bytes = wintest::readFileBytes(output_);
        DeleteFileW(output_.c_str());
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }
    std::wstring expectedCommandLine(const std::wstring& parameters) const {
        return wintest::quoted(recorder_) + L" " + parameters;
    }

    CleanExtensionRegistry registry_;
    wintest::TempDir folder_{L"quellis-launch"};
    std::wstring output_ = folder_ / L"recorded.txt";
    std::wstring recorder_ = helperPath(L"quellis_recorder.exe");
    std::wstring missingProgram_ = folder_ / L"Varkel.exe";
};

std::wstring failureText(const std::wstring& command, int code) {
    return L"ERROR: Unable to start Varkel using command \"" + command +
           L"\".\nPlease check your Varkel installation and Java installation.\n\nError code: [" +
           std::to_wstring(code) + L"]";
}

}  // namespace

// Wine's own shell data object for real files, as Explorer would pass it.
TEST_F(Launch, ShellSelectionReachesTheLauncherQuoted) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    const std::vector<std::wstring> names = {
        L"plain.log",
        L"with  two blanks and (brackets).log",
        L"\x0436\x0443\x0440\x043D\x0430\x043B \x00E4\x00DF \x65E5\x672C.log",
    };
    std::vector<std::wstring> paths;
    for (const auto& name : names) {
        paths.push_back(folder_ / name);
        wintest::writeFileBytes(paths.back(), "log line\n");
    }
    ComRef<IDataObject> selection = shellDataObject(paths);
    ASSERT_TRUE(selection) << "the shell gave no data object";
    ComRef<IContextMenu> menu = quellis().createHandler();
    BoxWatcher watcher;
    EXPECT_EQ(pick(menu.get(), selection.get()), S_OK);

    std::wstring expected = expectedCommandLine(L"\"" + paths[0] + L"\" \"" + paths[1] + L"\" \"" + paths[2] + L"\" ");
    EXPECT_EQ(recordedCommandLine(), expected);
    EXPECT_TRUE(watcher.boxes().empty());
}

// A path longer than MAX_PATH characters reaches the launcher whole rather
// than cut into the name of some other file. Wine's shell cannot name such a
// file (SHParseDisplayName fails), so the tests' own data object carries it.
TEST_F(Launch, LongPathsPassWhole) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    const std::wstring longPath = L"C:\\" + std::wstring(200, L'd') + L"\\" + std::wstring(150, L'f') + L".log";
    ASSERT_GT(longPath.size(), 259u);
    const std::wstring lengths[] = {longPath.substr(0, 259), longPath.substr(0, 260), longPath};
    for (const auto& path : lengths) {
        SCOPED_TRACE(path.size());
        BoxWatcher watcher;
        EXPECT_EQ(pickFiles({L"C:\\short.log", path}), S_OK);
        EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\short.log\" \"" + path + L"\" "));
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

// Handlers of two windows live side by side: each starts its own files.
TEST_F(Launch, EachHandlerKeepsItsOwnSelection) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    ComRef<IContextMenu> first = quellis().createHandler();
    ComRef<IContextMenu> second = quellis().createHandler();
    ComRef<IDataObject> firstFiles = makeDropDataObject(DropBehaviour::Files, {L"C:\\one\\a.log", L"C:\\one\\b.log"});
    ComRef<IDataObject> secondFiles = makeDropDataObject(DropBehaviour::Files, {L"C:\\two\\c.log"});
    for (auto [menu, files] : {std::pair{first.get(), firstFiles.get()}, std::pair{second.get(), secondFiles.get()}}) {
        ComRef<IShellExtInit> init;
        ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, init.out()), S_OK);
        ASSERT_EQ(init->Initialize(nullptr, files, nullptr), S_OK);
        HMENU popup = CreatePopupMenu();
        ASSERT_EQ(menu->QueryContextMenu(popup, 0, kFirstId, kFirstId, CMF_NORMAL), 1);
        DestroyMenu(popup);
    }
    EXPECT_EQ(invoke(first.get()), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\one\\a.log\" \"C:\\one\\b.log\" "));
    EXPECT_EQ(invoke(second.get()), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\two\\c.log\" "));
    // Once more: a selection stays usable after the command ran.
    EXPECT_EQ(invoke(first.get()), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\one\\a.log\" \"C:\\one\\b.log\" "));
}

// "Command" is looked for under the current user first, then the machine.
TEST_F(Launch, CommandOfTheCurrentUserWinsOverTheMachine) {
    const struct {
        const char* name;
        bool userRecorder;     // HKEY_CURRENT_USER names the recorder
        bool machineRecorder;  // HKEY_LOCAL_MACHINE names the recorder
        bool machineMissing;   // HKEY_LOCAL_MACHINE names a missing program
    } cases[] = {
        {"machine only", false, true, false},
        {"both, the user's is the recorder", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        deleteTree(HKEY_CURRENT_USER, L"Software\\Orvane");
        deleteTree(HKEY_LOCAL_MACHINE, L"Software\\Orvane");
        if (c.userRecorder) writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
        if (c.machineRecorder) writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Command", recorder_);
        if (c.machineMissing) writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Command", missingProgram_);
        BoxWatcher watcher;
        EXPECT_EQ(pickFiles({L"C:\\a.log"}), S_OK);
        EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\a.log\" "));
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

// No usable command: nothing starts, nothing is shown, and the pick still
// counts as handled.
TEST_F(Launch, NoCommandStartsNothingAndShowsNothing) {
    const struct {
        const char* name;
        const wchar_t* userCommand;  // null: no value
        bool machineRecorder;        // HKEY_LOCAL_MACHINE names the recorder
        bool keys;
    } cases[] = {
        {"no key in either hive", nullptr, false, false},
        {"keys without the value", nullptr, false, true},
        {"an empty command", L"", false, true},
        {"the user's empty command is read, so the machine's is not", L"", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        deleteTree(HKEY_CURRENT_USER, L"Software\\Orvane");
        deleteTree(HKEY_LOCAL_MACHINE, L"Software\\Orvane");
        if (c.keys) {
            writeString(HKEY_CURRENT_USER, kLauncherKey, L"Other", L"x");
            writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Other", L"x");
        }
        if (c.userCommand) writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", c.userCommand);
        if (c.machineRecorder) writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Command", recorder_);
        BoxWatcher watcher;
        EXPECT_EQ(pickFiles({L"C:\\a.log"}), S_OK);
        EXPECT_EQ(recordedCommandLine(kNoStartWaitMs), L"");
        EXPECT_TRUE(watcher.boxes().empty());
    }
}

TEST_F(Launch, MissingProgramShowsTheFailureBox) {
    writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Command", missingProgram_);
    BoxWatcher watcher;
    EXPECT_EQ(pickFiles({L"C:\\a.log", L"C:\\b.log"}), S_OK);

    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Varkel");
    EXPECT_EQ(boxes[0].text, failureText(missingProgram_, 2));
    EXPECT_EQ(boxes[0].icon, L"error");
    EXPECT_TRUE(boxes[0].hasOk);
    EXPECT_FALSE(boxes[0].hasCancel || boxes[0].hasYes || boxes[0].hasNo);
}

// A stored value that fills the whole command buffer without a terminator
// is read as exactly those characters, nothing after them. (Wine reads an
// unterminated REG_SZ only with room left for a terminator; any value type
// is read, so REG_BINARY shows the case here as REG_SZ does on Windows.)
TEST_F(Launch, CommandWithoutTerminatorIsReadExactly) {
    std::wstring command = folder_ / L"missing\\";
    command += std::wstring(MAX_PATH - command.size(), L'v');
    ASSERT_EQ(command.size(), static_cast<size_t>(MAX_PATH));
    writeValue(HKEY_CURRENT_USER, kLauncherKey, L"Command", REG_BINARY, command.c_str(),
               static_cast<DWORD>(command.size() * sizeof(wchar_t)));
    BoxWatcher watcher;
    EXPECT_EQ(pickFiles({L"C:\\a.log"}), S_OK);

    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    std::wstring opening = failureText(command, 0).substr(0, failureText(command, 0).find(L"Error code"));
    EXPECT_EQ(boxes[0].text.substr(0, opening.size()), opening);
}
