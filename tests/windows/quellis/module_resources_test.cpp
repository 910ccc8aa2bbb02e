// What the module carries besides code: exports at their ordinals, imports of
// system libraries only, the icon groups, version information and manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "quellis_module.h"
#include "test_files.h"

using namespace quellistest;

namespace {

std::string resourceText(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return std::string(data, SizeofResource(module, found));
}

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
    names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

std::wstring versionString(const std::vector<BYTE>& info, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = L"\\StringFileInfo\\040904b0\\" + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

std::wstring lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

}  // namespace

TEST(ModuleResources, ExportsSitAtTheirOrdinals) {
    const char* names[] = {"DllRegisterServer", "DllUnregisterServer", "RegisterVarkelApp",
                           "UnregisterVarkelApp", "DllCanUnloadNow",  "DllGetClassObject"};
    HMODULE module = quellis().handle;
    ASSERT_NE(module, nullptr);
    for (int ordinal = 1; ordinal <= 6; ++ordinal) {
        SCOPED_TRACE(names[ordinal - 1]);
        FARPROC byName = GetProcAddress(module, names[ordinal - 1]);
        ASSERT_NE(byName, nullptr);
        EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)), byName);
    }
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(7)), nullptr);
}

// The module must load on a machine with nothing but Windows.
TEST(ModuleResources, ImportsOnlySystemLibraries) {
    const std::set<std::wstring> system = {L"kernel32.dll", L"user32.dll", L"gdi32.dll",  L"advapi32.dll",
                                           L"shell32.dll",  L"ole32.dll",  L"msvcrt.dll", L"shlwapi.dll"};
    auto* base = reinterpret_cast<const BYTE*>(quellis().handle);
    ASSERT_NE(base, nullptr);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(directory.VirtualAddress, 0u);
    int imports = 0;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name;
         ++entry, ++imports) {
        std::wstring name = wintest::wide(reinterpret_cast<const char*>(base + entry->Name));
        EXPECT_TRUE(system.count(lower(name))) << "imports " << wintest::utf8(name);
    }
    EXPECT_GT(imports, 0);
}

TEST(ModuleResources, IconGroupsWithTheFirstOneForTheFile) {
    HMODULE module = quellis().handle;
    std::vector<std::wstring> groups;
    EnumResourceNamesW(module, RT_GROUP_ICON, collectName, reinterpret_cast<LONG_PTR>(&groups));
    const std::vector<std::wstring> expected = {L"VARKEL_ICON_00", L"VARKEL_ICON_13", L"VARKEL_ICON_15",
                                                L"VARKEL_ICON_16", L"VARKEL_ICON_17", L"VARKEL_ICON_21",
                                                L"#101"};
    EXPECT_EQ(groups, expected);

    const struct {
        const wchar_t* group;
        int size;
        WORD bitsPerPixel;
    } images[] = {{L"VARKEL_ICON_00", 16, 32}, {L"VARKEL_ICON_13", 13, 24}, {L"VARKEL_ICON_15", 15, 24},
                  {L"VARKEL_ICON_16", 16, 32}, {L"VARKEL_ICON_17", 17, 24}, {L"VARKEL_ICON_21", 21, 24},
                  {MAKEINTRESOURCEW(101), 16, 32}};  // the Windows 11 command's, named by its number
    for (const auto& image : images) {
        SCOPED_TRACE(IS_INTRESOURCE(image.group) ? "#101" : wintest::utf8(image.group));
        std::string group = resourceText(module, image.group, RT_GROUP_ICON);
        // GRPICONDIR: reserved, type 1, one entry of 14 bytes.
        ASSERT_EQ(group.size(), 6u + 14u);
        auto* bytes = reinterpret_cast<const BYTE*>(group.data());
        EXPECT_EQ(bytes[4] | (bytes[5] << 8), 1) << "one image per group";
        EXPECT_EQ(bytes[6], image.size);
        EXPECT_EQ(bytes[7], image.size);
        EXPECT_EQ(bytes[12] | (bytes[13] << 8), image.bitsPerPixel);

        HANDLE icon = LoadImageW(module, image.group, IMAGE_ICON, image.size, image.size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
}

TEST(ModuleResources, VersionInformation) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(quellis().path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(quellis().path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(*translation, 0x04B00409u);

    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {{L"FileDescription", L"Varkel Shell Extension"}, {L"InternalName", L"Quellis.dll"},
                   {L"OriginalFilename", L"Quellis.dll"},          {L"CompanyName", L"Orvane"},
                   {L"ProductName", L"Varkel"},                    {L"FileVersion", L"1.1.0.0"}};
    for (const auto& s : strings) EXPECT_EQ(versionString(info, s.name), s.value) << wintest::utf8(s.name);
    EXPECT_NE(versionString(info, L"LegalCopyright"), L"<missing>");
}

TEST(ModuleResources, ManifestAsksForNoElevation) {
    std::string manifest = resourceText(quellis().handle, MAKEINTRESOURCEW(2), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty()) << "no manifest with id 2";
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_EQ(resourceText(quellis().handle, MAKEINTRESOURCEW(1), RT_MANIFEST), "");
}
