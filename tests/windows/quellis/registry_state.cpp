#include "registry_state.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include "quellis_module.h"
#include "test_files.h"

namespace quellistest {

namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;
constexpr const wchar_t* kDenyValueWritesRule = L"D:P(D;;0x6;;;WD)(A;;KA;;;WD)";
constexpr const wchar_t* kAllowAllRule = L"D:P(A;;KA;;;WD)";

void setKeySecurity(HKEY root, const std::wstring& key, const wchar_t* rule) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(root, key.c_str(), 0, WRITE_DAC | kView, &opened), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(rule, SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
    RegCloseKey(opened);
}

}  // namespace

const char* hiveName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

HKEY otherHive(HKEY root) { return root == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::wstring clsidKey() { return std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kQuellisClsidText; }

std::wstring inprocServerKey() { return clsidKey() + L"\\InprocServer32"; }

StoredValue readValue(HKEY root, const std::wstring& key, const wchar_t* valueName) {
    StoredValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | kView, &opened) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExW(opened, valueName, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.present = RegQueryValueExW(opened, valueName, nullptr, &value.type, value.bytes.data(), &size) ==
                        ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(opened);
    return value;
}

std::vector<BYTE> stringBytes(const std::wstring& text, bool withTerminator) {
    const auto* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + (text.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t));
}

std::wstring storedSubKeyName(HKEY root, const std::wstring& parent, const std::wstring& child) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, parent.c_str(), 0, KEY_READ | kView, &opened) != ERROR_SUCCESS) return {};
    std::wstring found;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(opened, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (CompareStringOrdinal(name, static_cast<int>(length), child.c_str(), static_cast<int>(child.size()),
                                 TRUE) == CSTR_EQUAL) {
            found.assign(name, length);
            break;
        }
    }
    RegCloseKey(opened);
    return found;
}

void writeValue(HKEY root, const std::wstring& key, const wchar_t* valueName, DWORD type, const void* data,
                DWORD byteCount) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | kView, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(opened, valueName, 0, type, static_cast<const BYTE*>(data), byteCount), ERROR_SUCCESS);
    RegCloseKey(opened);
}

void writeString(HKEY root, const std::wstring& key, const wchar_t* valueName, const std::wstring& text) {
    writeValue(root, key, valueName, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void deleteTree(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | kView, &opened) == ERROR_SUCCESS) {
        RegDeleteTreeW(opened, nullptr);
        RegCloseKey(opened);
    }
    RegDeleteKeyExW(root, key.c_str(), kView, 0);
}

CleanExtensionRegistry::CleanExtensionRegistry() { wipe(); }

CleanExtensionRegistry::~CleanExtensionRegistry() { wipe(); }

void CleanExtensionRegistry::wipe() {
    for (HKEY root : kHives) {
        deleteTree(root, clsidKey());
        deleteTree(root, kHandlerKey);
        deleteTree(root, L"Software\\Orvane");
    }
}

DenyWrites::DenyWrites(HKEY root, const std::wstring& key) : root_(root), key_(key) {
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    if (created) RegCloseKey(created);
    setKeySecurity(root, key, kDenyValueWritesRule);
}

DenyWrites::~DenyWrites() { setKeySecurity(root_, key_, kAllowAllRule); }

}  // namespace quellistest
