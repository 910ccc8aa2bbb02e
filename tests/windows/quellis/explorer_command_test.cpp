// The Windows 11 menu command driven as Explorer drives it: made by the
// module's class object, given an IShellItemArray of real files, asked for
// its title, icon, state and flags, then invoked, with the recorder as the
// registered launcher.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "box_watcher.h"
#include "menu_command.h"
#include "quellis_module.h"
#include "recorder_fixture.h"
#include "registry_state.h"
#include "test_files.h"

using namespace quellistest;

namespace {


// Text that the command handed out in task memory, freed here.
std::wstring takeText(LPWSTR text) {
    std::wstring copy = text != nullptr ? text : L"<null>";
    CoTaskMemFree(text);
    return copy;
}

// Shell items for the paths, as Explorer hands a selection to a command.
ComRef<IShellItemArray> shellItems(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> lists;
    for (const auto& path : paths) {
        PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str());
        if (list == nullptr) ADD_FAILURE() << "no item for " << wintest::utf8(path);
        if (list != nullptr) lists.push_back(list);
    }
    ComRef<IShellItemArray> items;
    EXPECT_EQ(SHCreateShellItemArrayFromIDLists(static_cast<UINT>(lists.size()),
                                                const_cast<PCIDLIST_ABSOLUTE_ARRAY>(lists.data()), items.outTyped()),
              S_OK);
    for (PIDLIST_ABSOLUTE list : lists) ILFree(list);
    return items;
}

class ExplorerCommand : public RecorderFixture {
protected:
    ExplorerCommand() : RecorderFixture(L"quellis-command") {}


    static ComRef<IExplorerCommand> createCommand() {
        ComRef<IExplorerCommand> command;
        ComRef<IClassFactory> factory = quellis().factory(kQuellisCommandClsid);
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID_IExplorerCommand, command.out()), S_OK);
        }
        return command;
    }
    std::wstring expectedCommandLine(const std::vector<std::wstring>& paths) const {
        std::wstring line = wintest::quoted(recorder_) + L" ";
        for (const auto& path : paths) line += L"\"" + path + L"\" ";
        return line;
    }

};

}  // namespace

TEST_F(ExplorerCommand, ClassObjectServesBothClassesAndTheirInterfaces) {
    const struct {
        const char* name;
        const CLSID& clsid;
        const IID& iid;
        HRESULT expected;
    } cases[] = {
        {"command as IExplorerCommand", kQuellisCommandClsid, IID_IExplorerCommand, S_OK},
        {"command as IObjectWithSite", kQuellisCommandClsid, IID_IObjectWithSite, S_OK},
        {"command as IUnknown", kQuellisCommandClsid, IID_IUnknown, S_OK},
        {"command lacks IContextMenu", kQuellisCommandClsid, IID_IContextMenu, E_NOINTERFACE},
        {"handler lacks IExplorerCommand", kQuellisClsid, IID_IExplorerCommand, E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComRef<IClassFactory> factory = quellis().factory(c.clsid);
        ASSERT_TRUE(factory);
        ComRef<IUnknown> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, c.iid, object.out()), c.expected);
        EXPECT_EQ(static_cast<bool>(object), c.expected == S_OK);
    }
}

// Both kinds of object keep the module loaded until the last of them goes.
TEST_F(ExplorerCommand, ModuleUnloadsOnlyAfterBothKindsAreReleased) {
    ComRef<IExplorerCommand> command = createCommand();
    ComRef<IContextMenu> handler = quellis().createHandler();
    ASSERT_TRUE(command && handler);
    ComRef<IObjectWithSite> withSite;
    ASSERT_EQ(command->QueryInterface(IID_IObjectWithSite, withSite.out()), S_OK);
    // The site is held while set and handed back on request.
    ASSERT_EQ(withSite->SetSite(handler.get()), S_OK);
    ComRef<IContextMenu> site;
    EXPECT_EQ(withSite->GetSite(IID_IContextMenu, site.out()), S_OK);
    EXPECT_EQ(site.get(), handler.get());
    site.reset();
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, site.out()), E_FAIL);
    withSite.reset();

    command.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE) << "the handler still lives";
    command = createCommand();
    handler.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_FALSE) << "the command still lives";
    command.reset();
    EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
}

// What Explorer shows: the title, the module's own icon by its number, a
// plain command without sub-commands, shown while a launcher is registered.
TEST_F(ExplorerCommand, AppearanceAndState) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    ComRef<IExplorerCommand> command = createCommand();
    ASSERT_TRUE(command);
    ComRef<IShellItemArray> items = shellItems(makeFiles({L"one.log"}));
    ASSERT_TRUE(items);

    LPWSTR text = nullptr;
    ASSERT_EQ(command->GetTitle(items.get(), &text), S_OK);
    EXPECT_EQ(takeText(text), L"Open with Varkel");
    ASSERT_EQ(command->GetIcon(items.get(), &text), S_OK);
    const std::wstring icon = takeText(text);
    EXPECT_EQ(icon, quellis().path + L",-101");
    HICON loaded = nullptr;
    EXPECT_EQ(ExtractIconExW(quellis().path.c_str(), -101, nullptr, &loaded, 1), 1u) << "the icon the reference names";
    if (loaded != nullptr) DestroyIcon(loaded);

    EXPCMDFLAGS flags = ~0u;
    EXPECT_EQ(command->GetFlags(&flags), S_OK);
    EXPECT_EQ(flags, static_cast<EXPCMDFLAGS>(ECF_DEFAULT));
    IEnumExplorerCommand* subCommands = reinterpret_cast<IEnumExplorerCommand*>(0x1234);
    EXPECT_EQ(command->EnumSubCommands(&subCommands), E_NOTIMPL);
    EXPECT_EQ(subCommands, nullptr);
    GUID name{};
    EXPECT_EQ(command->GetCanonicalName(&name), S_OK);
    EXPECT_TRUE(IsEqualGUID(name, kQuellisCommandClsid));

    // The launcher as the classic handler finds it: the user's, else the machine's.
    const struct {
        const char* name;
        bool user;
        bool machine;
        EXPCMDSTATE expected;
    } states[] = {
        {"user's command", true, false, ECS_ENABLED},
        {"machine's command", false, true, ECS_ENABLED},
        {"no command", false, false, ECS_HIDDEN},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.name);
        deleteTree(HKEY_CURRENT_USER, L"Software\\Orvane");
        deleteTree(HKEY_LOCAL_MACHINE, L"Software\\Orvane");
        if (s.user) writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
        if (s.machine) writeString(HKEY_LOCAL_MACHINE, kLauncherKey, L"Command", recorder_);
        EXPCMDSTATE state = ~0u;
        EXPECT_EQ(command->GetState(items.get(), FALSE, &state), S_OK);
        EXPECT_EQ(state, s.expected);
    }
}

// Files whose names hold blanks and letters outside Latin reach the
// launcher exactly, quoted, in the selection's order.
TEST_F(ExplorerCommand, InvokeStartsTheLauncherWithEveryFile) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    const std::vector<std::wstring> paths = makeFiles({
        L"with  two blanks.log",
        L"\x0436\x0443\x0440\x043D\x0430\x043B \x65E5\x672C.log",
        L"plain.log",
    });
    ComRef<IExplorerCommand> command = createCommand();
    ComRef<IShellItemArray> items = shellItems(paths);
    ASSERT_TRUE(command && items);
    BoxWatcher watcher;
    EXPECT_EQ(command->Invoke(items.get(), nullptr), S_OK);
    EXPECT_EQ(recordedCommandLine(), expectedCommandLine(paths));
    EXPECT_TRUE(watcher.boxes().empty());
}

// Beyond one command line the selection goes into a list file, as from the
// classic menu.
TEST_F(ExplorerCommand, LargeSelectionGoesThroughAListFile) {
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", recorder_);
    std::vector<std::wstring> names;
    std::size_t length = 0;
    for (int i = 0; length < kCommandLineLimit; ++i) {
        names.push_back(L"r\x00E9seau " + std::to_wstring(i) + L" " + std::wstring(80, L'x') + L".log");
        length += (folder_ / names.back()).size() + 3;
    }
    const std::vector<std::wstring> paths = makeFiles(names);
    ComRef<IExplorerCommand> command = createCommand();
    ComRef<IShellItemArray> items = shellItems(paths);
    ASSERT_TRUE(command && items);
    BoxWatcher watcher;
    EXPECT_EQ(command->Invoke(items.get(), nullptr), S_OK);

    const std::wstring recorded = recordedCommandLine();
    const std::wstring opening = wintest::quoted(recorder_) + L" \"--file-list=";
    ASSERT_GT(recorded.size(), opening.size() + 2);
    ASSERT_EQ(recorded.substr(0, opening.size()), opening);
    ASSERT_EQ(recorded.substr(recorded.size() - 2), L"\" ");
    const std::wstring list = recorded.substr(opening.size(), recorded.size() - opening.size() - 2);
    EXPECT_EQ(list.substr(0, wintest::temporaryFolder().size()), wintest::temporaryFolder());
    std::string expectedBytes;
    for (const auto& path : paths) expectedBytes += wintest::utf8(path) + "\r\n";
    EXPECT_EQ(wintest::readFileBytes(list), expectedBytes);
    DeleteFileW(list.c_str());
    EXPECT_TRUE(watcher.boxes().empty());
}

// No launcher registered: the command is hidden, and an Invoke all the same
// starts nothing and shows nothing.
TEST_F(ExplorerCommand, WithoutALauncherItIsHiddenAndStartsNothing) {
    const std::vector<std::wstring> paths = makeFiles({L"a.log"});
    ComRef<IExplorerCommand> command = createCommand();
    ComRef<IShellItemArray> items = shellItems(paths);
    ASSERT_TRUE(command && items);
    EXPCMDSTATE state = ECS_ENABLED;
    EXPECT_EQ(command->GetState(items.get(), TRUE, &state), S_OK);
    EXPECT_EQ(state, static_cast<EXPCMDSTATE>(ECS_HIDDEN));
    BoxWatcher watcher;
    EXPECT_EQ(command->Invoke(items.get(), nullptr), S_OK);
    EXPECT_EQ(recordedCommandLine(kNoStartWaitMs), L"");
    EXPECT_TRUE(watcher.boxes().empty());
}
