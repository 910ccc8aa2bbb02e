// The handler as Explorer drives it: Initialize with a selection, the menu,
// the command strings and the invocation by verb or offset.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <memory>

#include "box_watcher.h"
#include "quellis_module.h"
#include "registry_state.h"
#include "test_data_objects.h"
#include "test_files.h"

using namespace quellistest;

namespace {

constexpr UINT kFirstId = 100;
constexpr UINT kLastId = 110;
constexpr HRESULT kOneCommandAdded = 1;

struct Handler {
    ComRef<IContextMenu> menu = quellis().createHandler();

    HRESULT initialize(IDataObject* selection) {
        ComRef<IShellExtInit> init;
        HRESULT hr = menu->QueryInterface(IID_IShellExtInit, init.out());
        return FAILED(hr) ? hr : init->Initialize(nullptr, selection, nullptr);
    }
};

class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {
        AppendMenuW(menu_, MF_STRING, 1, L"First");
        AppendMenuW(menu_, MF_STRING, 2, L"Second");
    }
    ~PopupMenu() { DestroyMenu(menu_); }
    HMENU get() const { return menu_; }
    int count() const { return GetMenuItemCount(menu_); }
    std::wstring text(UINT position) const {
        wchar_t buffer[128] = {};
        GetMenuStringW(menu_, position, buffer, 128, MF_BYPOSITION);
        return buffer;
    }
    MENUITEMINFOW item(UINT position) const {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_CHECKMARKS | MIIM_FTYPE;
        GetMenuItemInfoW(menu_, position, TRUE, &info);
        return info;
    }

private:
    HMENU menu_;
};

class ContextMenu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); }
    void TearDown() override {
        CoUninitialize();
        EXPECT_EQ(quellis().DllCanUnloadNow(), S_OK);
    }

    static std::vector<std::wstring> twoFiles() { return {L"C:\\logs\\a.log", L"C:\\logs\\b c.log"}; }
};

// The picture size the menu's check-mark area calls for.
int expectedPictureSize() {
    int cx = GetSystemMetrics(SM_CXMENUCHECK), cy = GetSystemMetrics(SM_CYMENUCHECK);
    for (int size : {21, 17, 16, 15})
        if (cx >= size && cy >= size) return size;
    return 13;
}

COLORREF pixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

}  // namespace

TEST_F(ContextMenu, QueryContextMenuInsertsTheItemWithItsPicture) {
    for (UINT flags : {static_cast<UINT>(CMF_NORMAL), static_cast<UINT>(CMF_DEFAULTONLY),
                       static_cast<UINT>(CMF_EXPLORE | CMF_CANRENAME)}) {
        SCOPED_TRACE(flags);
        Handler handler;
        ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, twoFiles());
        ASSERT_EQ(handler.initialize(selection.get()), S_OK);
        PopupMenu menu;
        EXPECT_EQ(handler.menu->QueryContextMenu(menu.get(), 1, kFirstId, kLastId, flags), kOneCommandAdded);

        ASSERT_EQ(menu.count(), 3);
        EXPECT_EQ(menu.text(0), L"First");
        EXPECT_EQ(menu.text(1), L"Open with &Varkel");
        EXPECT_EQ(menu.text(2), L"Second");
        MENUITEMINFOW item = menu.item(1);
        EXPECT_EQ(item.wID, kFirstId);
        EXPECT_EQ(item.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(item.hbmpChecked, nullptr);
        ASSERT_NE(item.hbmpUnchecked, nullptr);

        BITMAP picture{};
        ASSERT_EQ(GetObjectW(item.hbmpUnchecked, sizeof picture, &picture), static_cast<int>(sizeof picture));
        EXPECT_EQ(picture.bmWidth, expectedPictureSize());
        EXPECT_EQ(picture.bmHeight, expectedPictureSize());
        // Drawn on the menu colour: the tile's rounded corner shows it, the
        // middle shows the picture.
        COLORREF menuColour = GetSysColor(COLOR_MENU) & 0x00FFFFFF;
        EXPECT_EQ(pixel(item.hbmpUnchecked, 0, 0), menuColour);
        EXPECT_NE(pixel(item.hbmpUnchecked, picture.bmWidth / 2, picture.bmHeight / 2), menuColour);
    }
}

TEST_F(ContextMenu, QueryContextMenuAddsNothingWithoutFiles) {
    enum class Given { nothing, nullSelection, dataObject };
    const struct {
        const char* name;
        Given given;
        DropBehaviour behaviour;
        std::vector<std::wstring> paths;
        HRESULT expected;
    } cases[] = {
        {"never initialised", Given::nothing, DropBehaviour::files, {}, S_OK},
        {"initialised with no data object", Given::nullSelection, DropBehaviour::files, {}, S_OK},
        {"an empty drop", Given::dataObject, DropBehaviour::emptyBlock, {}, S_OK},
        {"a null drop handle", Given::dataObject, DropBehaviour::nullHandle, {}, S_OK},
        {"no CF_HDROP", Given::dataObject, DropBehaviour::noFileFormat, {L"C:\\a.log"}, DV_E_FORMATETC},
        {"GetData fails", Given::dataObject, DropBehaviour::getDataFails, {L"C:\\a.log"}, E_UNEXPECTED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto ledger = std::make_shared<MediumLedger>();
        {
            Handler handler;
            ComRef<IDataObject> selection;
            if (c.given == Given::dataObject) selection = makeDropDataObject(c.behaviour, c.paths, ledger);
            if (c.given != Given::nothing) {
                ASSERT_EQ(handler.initialize(selection.get()), S_OK);
            }
            PopupMenu menu;
            EXPECT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), c.expected);
            EXPECT_EQ(menu.count(), 2);

            // Nothing counted, so the command is not there to pick.
            CMINVOKECOMMANDINFO info{};
            info.cbSize = sizeof info;
            info.lpVerb = MAKEINTRESOURCEA(0);
            EXPECT_EQ(handler.menu->InvokeCommand(&info), E_FAIL);
        }
        EXPECT_EQ(ledger->released, ledger->given);
    }
}

// Each QueryContextMenu takes a fresh medium; the one it replaces and the
// last one go back to their owner.
TEST_F(ContextMenu, EveryStorageMediumIsReleased) {
    auto ledger = std::make_shared<MediumLedger>();
    {
        Handler handler;
        ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, twoFiles(), ledger);
        ASSERT_EQ(handler.initialize(selection.get()), S_OK);
        for (int round = 1; round <= 3; ++round) {
            PopupMenu menu;
            EXPECT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), kOneCommandAdded);
            EXPECT_EQ(ledger->given, round);
            EXPECT_EQ(ledger->released, round - 1);
        }
        // A new selection, then a menu for it: the old medium goes too.
        ComRef<IDataObject> other = makeDropDataObject(DropBehaviour::files, {L"C:\\x.log"}, ledger);
        ASSERT_EQ(handler.initialize(other.get()), S_OK);
        PopupMenu menu;
        EXPECT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), kOneCommandAdded);
        EXPECT_EQ(ledger->released, 3);
    }
    EXPECT_EQ(ledger->given, 4);
    EXPECT_EQ(ledger->released, 4);
}

TEST_F(ContextMenu, InitializeHoldsOneReferenceToTheLatestSelection) {
    Handler handler;
    ComRef<IDataObject> first = makeDropDataObject(DropBehaviour::files, twoFiles());
    ComRef<IDataObject> second = makeDropDataObject(DropBehaviour::files, twoFiles());
    ASSERT_EQ(handler.initialize(first.get()), S_OK);
    EXPECT_EQ(first->AddRef(), 3u) << "the handler holds one reference";
    first->Release();
    ASSERT_EQ(handler.initialize(second.get()), S_OK);
    EXPECT_EQ(first->AddRef(), 2u) << "and lets it go when replaced";
    first->Release();
    ASSERT_EQ(handler.initialize(nullptr), S_OK);
    EXPECT_EQ(second->AddRef(), 2u);
    second->Release();
    ASSERT_EQ(handler.initialize(second.get()), S_OK);
    handler.menu.reset();
    EXPECT_EQ(second->AddRef(), 2u) << "released when the handler goes";
    second->Release();
}

TEST_F(ContextMenu, GetCommandStringGivesVerbAndHelpText) {
    Handler handler;
    ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, twoFiles());
    ASSERT_EQ(handler.initialize(selection.get()), S_OK);

    auto narrow = [&](UINT type, UINT_PTR offset, HRESULT& hr) {
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        buffer[63] = '\0';
        hr = handler.menu->GetCommandString(offset, type, nullptr, buffer, sizeof buffer);
        return std::string(buffer);
    };
    auto wide = [&](UINT type, UINT_PTR offset, HRESULT& hr) {
        wchar_t buffer[64];
        std::wmemset(buffer, L'#', 64);
        buffer[63] = L'\0';
        hr = handler.menu->GetCommandString(offset, type, nullptr, reinterpret_cast<char*>(buffer), 64);
        return std::wstring(buffer);
    };
    const std::string untouchedA(63, '#');
    const std::wstring untouchedW(63, L'#');
    HRESULT hr = E_FAIL;

    // Before the menu was built only the help text is known.
    EXPECT_EQ(narrow(GCS_VERBA, 0, hr), untouchedA);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(wide(GCS_VERBW, 0, hr), untouchedW);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(wide(GCS_HELPTEXTW, 0, hr), L"Open file(s) with Varkel");
    EXPECT_EQ(narrow(GCS_HELPTEXTA, 0, hr), "Open file(s) with Varkel");

    PopupMenu menu;
    ASSERT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), kOneCommandAdded);
    const struct {
        UINT type;
        bool wideText;
        const wchar_t* expected;  // null: the buffer stays untouched
    } cases[] = {
        {GCS_VERBA, false, L"owvarkel"},      {GCS_HELPTEXTA, false, L"Open file(s) with Varkel"},
        {GCS_VERBW, true, L"owvarkel"},       {GCS_HELPTEXTW, true, L"Open file(s) with Varkel"},
        {GCS_VALIDATEA, false, nullptr},      {GCS_VALIDATEW, true, nullptr},
        {GCS_VERBICONW, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        std::wstring got = c.wideText ? wide(c.type, 0, hr) : wintest::wide(narrow(c.type, 0, hr));
        EXPECT_EQ(hr, S_OK);
        EXPECT_EQ(got, c.expected ? std::wstring(c.expected) : untouchedW);

        std::wstring other = c.wideText ? wide(c.type, 1, hr) : wintest::wide(narrow(c.type, 1, hr));
        EXPECT_EQ(hr, E_INVALIDARG) << "offset 1 is not ours";
        EXPECT_EQ(other, untouchedW);
    }
}

TEST_F(ContextMenu, GetCommandStringNeverWritesPastTheBuffer) {
    Handler handler;
    ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, twoFiles());
    ASSERT_EQ(handler.initialize(selection.get()), S_OK);
    PopupMenu menu;
    ASSERT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), kOneCommandAdded);

    for (UINT size : {0u, 1u, 4u, 8u, 9u}) {
        SCOPED_TRACE(size);
        for (UINT type : {static_cast<UINT>(GCS_VERBW), static_cast<UINT>(GCS_HELPTEXTW)}) {
            wchar_t buffer[32];
            std::wmemset(buffer, L'#', 32);
            EXPECT_EQ(handler.menu->GetCommandString(0, type, nullptr, reinterpret_cast<char*>(buffer), size), S_OK);
            for (UINT i = size; i < 32; ++i) ASSERT_EQ(buffer[i], L'#') << "wrote at " << i;
            if (size > 0) {
                std::wstring full = type == GCS_VERBW ? L"owvarkel" : L"Open file(s) with Varkel";
                EXPECT_EQ(std::wstring(buffer), full.substr(0, size - 1));
            }
        }
        for (UINT type : {static_cast<UINT>(GCS_VERBA), static_cast<UINT>(GCS_HELPTEXTA)}) {
            char buffer[32];
            std::memset(buffer, '#', 32);
            EXPECT_EQ(handler.menu->GetCommandString(0, type, nullptr, buffer, size), S_OK);
            for (UINT i = size; i < 32; ++i) ASSERT_EQ(buffer[i], '#') << "wrote at " << i;
            if (size > 0) {
                std::string full = type == GCS_VERBA ? "owvarkel" : "Open file(s) with Varkel";
                EXPECT_EQ(std::string(buffer), full.substr(0, size - 1));
            }
        }
    }
    EXPECT_EQ(handler.menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, nullptr, 64), S_OK) << "no buffer, no write";
}

// Whether a command is taken shows in whether a launch is tried: "Command"
// names a program that is not there, so a tried launch ends in the failure
// box before InvokeCommand returns.
TEST_F(ContextMenu, InvokeCommandByVerbOrOffset) {
    CleanExtensionRegistry registry;
    wintest::TempDir folder(L"quellis-invoke");
    writeString(HKEY_CURRENT_USER, kLauncherKey, L"Command", folder / L"Varkel.exe");

    const DWORD plainSize = sizeof(CMINVOKECOMMANDINFO), exSize = sizeof(CMINVOKECOMMANDINFOEX);
    const struct {
        const char* name;
        bool menuBuilt;
        DWORD cbSize;
        DWORD mask;
        LPCSTR verb;
        LPCWSTR verbW;
        HRESULT expected;
    } cases[] = {
        {"narrow verb", true, plainSize, 0, "owvarkel", nullptr, S_OK},
        {"narrow verb in mixed case", true, plainSize, 0, "OwVaRKeL", nullptr, S_OK},
        {"narrow offset 0", true, plainSize, 0, MAKEINTRESOURCEA(0), nullptr, S_OK},
        {"narrow offset 1", true, plainSize, 0, MAKEINTRESOURCEA(1), nullptr, E_FAIL},
        {"foreign narrow verb", true, plainSize, 0, "open", nullptr, E_FAIL},
        {"narrow verb with more after it", true, plainSize, 0, "owvarkelx", nullptr, E_FAIL},
        {"narrow verb cut short", true, plainSize, 0, "owvarke", nullptr, E_FAIL},
        {"wide verb in upper case", true, exSize, CMIC_MASK_UNICODE, "other", L"OWVARKEL", S_OK},
        {"foreign wide verb", true, exSize, CMIC_MASK_UNICODE, "owvarkel", L"properties", E_FAIL},
        {"wide form, offset 0", true, exSize, CMIC_MASK_UNICODE, MAKEINTRESOURCEA(0), MAKEINTRESOURCEW(0), S_OK},
        {"wide form, offset 1", true, exSize, CMIC_MASK_UNICODE, MAKEINTRESOURCEA(1), MAKEINTRESOURCEW(0), E_FAIL},
        {"long record without the Unicode flag", true, exSize, 0, "owvarkel", L"properties", S_OK},
        {"Unicode flag on the short record", true, plainSize, CMIC_MASK_UNICODE, "open", L"owvarkel", E_FAIL},
        {"narrow verb before the menu", false, plainSize, 0, "owvarkel", nullptr, E_FAIL},
        {"wide verb before the menu", false, exSize, CMIC_MASK_UNICODE, "owvarkel", L"owvarkel", E_FAIL},
        {"offset 0 before the menu", false, plainSize, 0, MAKEINTRESOURCEA(0), nullptr, E_FAIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Handler handler;
        ComRef<IDataObject> selection = makeDropDataObject(DropBehaviour::files, twoFiles());
        ASSERT_EQ(handler.initialize(selection.get()), S_OK);
        PopupMenu menu;
        if (c.menuBuilt) {
            ASSERT_EQ(handler.menu->QueryContextMenu(menu.get(), 0, kFirstId, kLastId, CMF_NORMAL), kOneCommandAdded);
        }

        CMINVOKECOMMANDINFOEX info{};
        info.cbSize = c.cbSize;
        info.fMask = c.mask;
        info.lpVerb = c.verb;
        info.lpVerbW = c.verbW;
        info.nShow = SW_SHOWNORMAL;
        BoxWatcher watcher;
        EXPECT_EQ(handler.menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info)), c.expected);
        EXPECT_EQ(watcher.boxes().size(), c.expected == S_OK ? 1u : 0u) << "a launch was tried or not";
    }

    Handler handler;
    EXPECT_EQ(handler.menu->InvokeCommand(nullptr), E_INVALIDARG);
}
