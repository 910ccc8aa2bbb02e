// The four registration exports, for each hive: the exact keys, values and
// types they leave, and nothing in the other hive.
#include <gtest/gtest.h>

#include "quellis_module.h"
#include "registry_state.h"
#include "test_files.h"

using namespace quellistest;

namespace {

constexpr const wchar_t* kLauncher = L"C:\\Program Files\\Varkel\\Varkel.exe";

class Registration : public ::testing::Test {
protected:
    // Every value of the layout is a REG_SZ stored with its terminator.
    static void expectString(HKEY root, const std::wstring& key, const wchar_t* valueName,
                             const std::wstring& expected) {
        SCOPED_TRACE(wintest::utf8(key) + " " + (valueName ? wintest::utf8(valueName) : "(default)"));
        StoredValue value = readValue(root, key, valueName);
        ASSERT_TRUE(value.present);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.bytes, stringBytes(expected));
    }

    static void expectRegistered(HKEY root) {
        expectString(root, clsidKey(), nullptr, L"Varkel Shell Extension");
        expectString(root, inprocServerKey(), nullptr, longPath(quellis().path));
        expectString(root, inprocServerKey(), L"ThreadingModel", L"Apartment");
        expectString(root, kHandlerKey, nullptr, kQuellisClsidText);
        // New keys keep the letter case of the layout.
        EXPECT_EQ(storedSubKeyName(root, L"SOFTWARE\\Classes\\CLSID", kQuellisClsidText), kQuellisClsidText);
        EXPECT_EQ(storedSubKeyName(root, clsidKey(), L"InprocServer32"), L"InprocServer32");
        EXPECT_EQ(storedSubKeyName(root, L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers", L"Varkel"), L"Varkel");
    }

    static void expectNothingRegistered(HKEY root) {
        EXPECT_FALSE(keyExists(root, clsidKey())) << hiveName(root);
        EXPECT_FALSE(keyExists(root, kHandlerKey)) << hiveName(root);
    }

    static std::wstring longPath(const std::wstring& path) {
        wchar_t buffer[MAX_PATH] = {};
        DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::wstring(buffer) : path;
    }

    CleanExtensionRegistry registry_;
};

}  // namespace

TEST_F(Registration, RegisterServerWritesTheLayoutToOneHive) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        ASSERT_TRUE(quellis().DllRegisterServer(root == HKEY_LOCAL_MACHINE));
        expectRegistered(root);
        expectNothingRegistered(otherHive(root));
        EXPECT_FALSE(keyExists(root, kLauncherKey)) << "the launcher path is not part of it";

        // A second registration overwrites the same values.
        writeString(root, inprocServerKey(), L"ThreadingModel", L"Free");
        ASSERT_TRUE(quellis().DllRegisterServer(root == HKEY_LOCAL_MACHINE));
        expectRegistered(root);

        ASSERT_TRUE(quellis().DllUnregisterServer(root == HKEY_LOCAL_MACHINE));
        expectNothingRegistered(root);
    }
}

TEST_F(Registration, UnregisterServerLeavesTheLauncherPathAndTheOtherHive) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        ASSERT_TRUE(quellis().DllRegisterServer(true));
        ASSERT_TRUE(quellis().DllRegisterServer(false));
        ASSERT_TRUE(quellis().RegisterVarkelApp(kLauncher, root == HKEY_LOCAL_MACHINE));

        EXPECT_TRUE(quellis().DllUnregisterServer(root == HKEY_LOCAL_MACHINE));
        expectNothingRegistered(root);
        expectRegistered(otherHive(root));
        expectString(root, kLauncherKey, L"Command", kLauncher);

        EXPECT_TRUE(quellis().DllUnregisterServer(root != HKEY_LOCAL_MACHINE));
        EXPECT_TRUE(quellis().UnregisterVarkelApp(L"", root == HKEY_LOCAL_MACHINE));
    }
}

TEST_F(Registration, UnregisterServerOfNothingFailsButTriesEveryKey) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        EXPECT_FALSE(quellis().DllUnregisterServer(root == HKEY_LOCAL_MACHINE));

        // Only the handler key is there: it still goes, and the result is false.
        writeString(root, kHandlerKey, nullptr, kQuellisClsidText);
        EXPECT_FALSE(quellis().DllUnregisterServer(root == HKEY_LOCAL_MACHINE));
        EXPECT_FALSE(keyExists(root, kHandlerKey));
    }
}

TEST_F(Registration, RegisterServerAttemptsEveryWriteAfterAFailure) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        {
            DenyWrites denied(root, clsidKey());
            EXPECT_FALSE(quellis().DllRegisterServer(root == HKEY_LOCAL_MACHINE));
            EXPECT_FALSE(readValue(root, clsidKey(), nullptr).present);
            // The writes after the failed one are still made.
            expectString(root, inprocServerKey(), nullptr, longPath(quellis().path));
            expectString(root, inprocServerKey(), L"ThreadingModel", L"Apartment");
            expectString(root, kHandlerKey, nullptr, kQuellisClsidText);
        }
        deleteTree(root, clsidKey());
        deleteTree(root, kHandlerKey);
    }
}

TEST_F(Registration, RegisterAppStoresTheLauncherPathAsGiven) {
    const std::wstring paths[] = {
        kLauncher,
        L"D:\\Tools\\Varkel \x00E9\x0434\x65E5\\Varkel-64.exe",
        L"\"C:\\quoted as given\\Varkel.exe\"",
        std::wstring(300, L'x') + L"\\Varkel.exe",
    };
    for (HKEY root : kHives) {
        for (const auto& path : paths) {
            SCOPED_TRACE(std::string(hiveName(root)) + " " + wintest::utf8(path));
            ASSERT_TRUE(quellis().RegisterVarkelApp(path.c_str(), root == HKEY_LOCAL_MACHINE));
            expectString(root, kLauncherKey, L"Command", path);
            EXPECT_FALSE(keyExists(otherHive(root), kLauncherKey));
            EXPECT_EQ(storedSubKeyName(root, L"Software", L"Orvane"), L"Orvane");
            EXPECT_EQ(storedSubKeyName(root, L"Software\\Orvane", L"Varkel"), L"Varkel");
            expectNothingRegistered(root);
        }
        deleteTree(root, L"Software\\Orvane");
    }
}

TEST_F(Registration, UnregisterAppRemovesOnlyTheValue) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        bool allUsers = root == HKEY_LOCAL_MACHINE;
        EXPECT_FALSE(quellis().UnregisterVarkelApp(L"", allUsers)) << "nothing stored";

        ASSERT_TRUE(quellis().RegisterVarkelApp(kLauncher, true));
        ASSERT_TRUE(quellis().RegisterVarkelApp(kLauncher, false));
        EXPECT_TRUE(quellis().UnregisterVarkelApp(L"ignored", allUsers));
        EXPECT_TRUE(keyExists(root, kLauncherKey));
        EXPECT_FALSE(readValue(root, kLauncherKey, L"Command").present);
        expectString(otherHive(root), kLauncherKey, L"Command", kLauncher);

        EXPECT_FALSE(quellis().UnregisterVarkelApp(L"", allUsers)) << "no value";
        EXPECT_TRUE(quellis().UnregisterVarkelApp(nullptr, !allUsers)) << "the string is not used";
    }
}

TEST_F(Registration, RegisterAppReportsAFailedWrite) {
    for (HKEY root : kHives) {
        SCOPED_TRACE(hiveName(root));
        {
            DenyWrites denied(root, kLauncherKey);
            EXPECT_FALSE(quellis().RegisterVarkelApp(kLauncher, root == HKEY_LOCAL_MACHINE));
            EXPECT_FALSE(quellis().RegisterVarkelApp(nullptr, root == HKEY_LOCAL_MACHINE));
        }
        EXPECT_FALSE(readValue(root, kLauncherKey, L"Command").present);
        deleteTree(root, L"Software\\Orvane");
    }
}
