// Picking the command: the launcher named by "Command" starts with every
// selected path quoted, or, for a selection too large for one command line,
// with a list of them in a file; or the user learns why it could not start.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "box_watcher.h"
#include "launcher_fixture.h"
#include "menu_command.h"
#include "standin_jvm_protocol.h"
#include "quellis_module.h"
#include "recorder_fixture.h"
#include "registry_state.h"
#include "test_data_objects.h"
#include "test_files.h"

using namespace quellistest;

namespace {

constexpr UINT kFirstId = 1;

class Launch : public RecorderFixture {
protected:
    Launch() : RecorderFixture(L"quellis-launch") {}


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
        return invokeVerb(menu);
    }
    static HRESULT pickFiles(const std::vector<std::wstring>& paths) {
        ComRef<IContextMenu> menu = quellis().createHandler();
        ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, paths);
        return pick(menu.get(), selection.get());
    }

    std::wstring expectedCommandLine(const std::wstring& parameters) const {
        return wintest::quoted(recorder_) + L" " + parameters;
    }

    std::wstring missingProgram_ = folder_ / L"Varkel.exe";
};

constexpr const wchar_t* kListPrefix = L"Varkel-selection-";
constexpr DWORD kMainWaitMs = 60000;

// The extension's lists in the temporary folder that are not among before.
std::vector<std::wstring> newSelectionLists(const std::vector<std::wstring>& before = {}) {
    std::vector<std::wstring> lists;
    WIN32_FIND_DATAW data;
    const std::wstring folder = wintest::temporaryFolder();
    HANDLE find = FindFirstFileW((folder + kListPrefix + L"*.txt").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data))
        if (std::find(before.begin(), before.end(), folder + data.cFileName) == before.end())
            lists.push_back(folder + data.cFileName);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return lists;
}

// Paths of about 100 characters, some with blanks, some with a letter
// outside ASCII, numbered so that their order shows.
std::vector<std::wstring> generatedPaths(int count) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i) {
        std::wstring folder = i % 3 == 0 ? L"C:\\Server Logs\\2026-12-09 night shift" : L"C:\\ServerLogs\\2026-12-09";
        std::wstring name = std::wstring(i % 5 == 0 ? L"r\u00E9seau " : L"network-") + std::to_wstring(i) + L".log";
        std::wstring path = folder + L"\\" + name;
        path.insert(folder.size(), std::wstring(100 - path.size(), i % 7 == 0 ? L' ' : L'x'));
        paths.push_back(path);
    }
    return paths;
}

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
    const std::vector<std::wstring> paths = makeFiles(names);
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
    ComRef<IDataObject> firstFiles = makeDropDataObject(DropBehaviour::files, {L"C:\\one\\a.log", L"C:\\one\\b.log"});
    ComRef<IDataObject> secondFiles = makeDropDataObject(DropBehaviour::files, {L"C:\\two\\c.log"});
    for (auto [menu, files] : {std::pair{first.get(), firstFiles.get()}, std::pair{second.get(), secondFiles.get()}}) {
        ComRef<IShellExtInit> init;
        ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, init.out()), S_OK);
        ASSERT_EQ(init->Initialize(nullptr, files, nullptr), S_OK);
        HMENU popup = CreatePopupMenu();
        ASSERT_EQ(menu->QueryContextMenu(popup, 0, kFirstId, kFirstId, CMF_NORMAL), 1);
        DestroyMenu(popup);
    }
    EXPECT_EQ(invokeVerb(first.get()), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\one\\a.log\" \"C:\\one\\b.log\" "));
    EXPECT_EQ(invokeVerb(second.get()), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(L"\"C:\\two\\c.log\" "));
    // Once more: a selection stays usable after the command ran.
    EXPECT_EQ(invokeVerb(first.get()), S_OK);
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

// A selection of 2,000 paths, far beyond one command line, reaches the Java
// program whole and in order through a list file in the temporary folder,
// which is gone as soon as the Java program holds its arguments.
TEST_F(Launch, LargeSelectionReachesTheJavaProgramThroughAListFile) {
    launchertest::Installation installation;
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", installation.exe());
    const std::vector<std::wstring> paths = generatedPaths(2000);
    const std::vector<std::wstring> listsBefore = newSelectionLists();
    const std::wstring release = installation / L"release";
    launchertest::EnvironmentOverride environment;
    environment.set(standin::kRecordVariable, installation.recordPath());
    environment.set(standin::kReleaseFileVariable, release);
    BoxWatcher watcher;
    ASSERT_EQ(pickFiles(paths), S_OK);

    // mainVK holds the launcher until released: the list must be gone already.
    for (DWORD waited = 0; !wintest::fileExists(release + standin::kHeldSuffix) && waited < kMainWaitMs; waited += 100)
        Sleep(100);
    launchertest::StandinRecord record = launchertest::readStandinRecord(installation.recordPath());
    auto process = record.first(standin::kProcess);
    HANDLE launcher = process ? OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::stoul(process->at(1)))) : nullptr;
    EXPECT_EQ(newSelectionLists(listsBefore), std::vector<std::wstring>{});
    wintest::writeFileBytes(release, "");
    ASSERT_TRUE(record.arguments()) << "mainVK was not reached";
    EXPECT_EQ(*record.arguments(), paths);
    const std::wstring opening =
        wintest::quoted(installation.exe()) + L" \"--file-list=" + wintest::temporaryFolder() + kListPrefix;
    EXPECT_EQ(record.text(standin::kCommandLine).substr(0, opening.size()), opening);
    ASSERT_NE(launcher, nullptr);
    EXPECT_EQ(WaitForSingleObject(launcher, kMainWaitMs), WAIT_OBJECT_0);
    CloseHandle(launcher);
    EXPECT_TRUE(watcher.boxes().empty());
}

// The longest selection that fits on a command line goes there exactly as
// ever, without a list; one character more goes into a list of every path.
TEST_F(Launch, SelectionUpToTheCommandLineLimitIsPassedAsEverAndBeyondItInAList) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    const std::vector<std::wstring> listsBefore = newSelectionLists();
    std::vector<std::wstring> paths = generatedPaths(300);
    std::wstring parameters;
    for (const auto& path : paths) parameters += L"\"" + path + L"\" ";
    const std::size_t room = kCommandLineLimit - 1 - expectedCommandLine(parameters).size();
    paths.push_back(L"C:\\" + std::wstring(room - 6, L'z'));  // with its quotes and blank, it fills the rest
    parameters += L"\"" + paths.back() + L"\" ";
    ASSERT_EQ(expectedCommandLine(parameters).size(), kCommandLineLimit - 1);
    BoxWatcher watcher;
    EXPECT_EQ(pickFiles(paths), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(parameters));
    EXPECT_EQ(newSelectionLists(listsBefore), std::vector<std::wstring>{});

    paths.back() += L'z';
    EXPECT_EQ(pickFiles(paths), S_OK);
    const std::wstring recorded = recordedCommandLine();
    const std::vector<std::wstring> lists = newSelectionLists(listsBefore);
    ASSERT_EQ(lists.size(), 1u) << "one new list in the temporary folder";
    EXPECT_EQ(recorded, expectedCommandLine(L"\"--file-list=" + lists[0] + L"\" "));
    std::string expectedBytes;
    for (const auto& path : paths) expectedBytes += wintest::utf8(path) + "\r\n";
    EXPECT_EQ(wintest::readFileBytes(lists[0]), expectedBytes);
    DeleteFileW(lists[0].c_str());
    EXPECT_TRUE(watcher.boxes().empty());
}

// A list that cannot be written: the user learns why, and nothing starts.
TEST_F(Launch, ListThatCannotBeWrittenIsReportedAndStartsNothing) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    const std::wstring missing = folder_ / L"no such folder";
    launchertest::EnvironmentOverride environment;
    environment.set(L"TMP", missing);
    environment.set(L"TEMP", missing);
    BoxWatcher watcher;
    EXPECT_EQ(pickFiles(generatedPaths(400)), S_OK);
    EXPECT_EQ(recordedCommandLine(kNoStartWaitMs), L"");

    auto boxes = watcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, L"error");
    // The system's text is the part in quotes of the launcher's wording of it.
    const std::wstring item = launchertest::systemErrorItem(ERROR_PATH_NOT_FOUND);
    const std::wstring reason = item.substr(item.find(L'"') + 1, item.size() - item.find(L'"') - 2);
    const std::wstring opening = L"ERROR: Unable to write the list of selected files to \"" + missing + L"\\" + kListPrefix;
    const std::wstring ending = L".txt\":\n" + reason + L"\nVarkel was not started.\n\nError code: [3]";
    EXPECT_EQ(boxes[0].text.substr(0, opening.size()), opening);
    EXPECT_EQ(boxes[0].text.substr(boxes[0].text.size() - std::min(ending.size(), boxes[0].text.size())), ending);
}
