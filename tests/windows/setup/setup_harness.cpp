#include "setup_harness.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include "standin_behaviour.h"

namespace setuptest {

namespace {

constexpr DWORD kRunTimeoutMs = 60000;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr const wchar_t* kOrvaneKey = L"Software\\Orvane";
constexpr const wchar_t* kDenyWritesSddl = L"D:P(D;;0x6;;;WD)(A;;KA;;;WD)";
constexpr const wchar_t* kAllowAllSddl = L"D:P(A;;KA;;;WD)";

// Files built beside the test program (CMakeLists.txt copies them there).
std::wstring builtFile(Module module) {
    switch (module) {
        case Module::Complete: return L"standin_complete.dll";
        case Module::WithoutAppExports: return L"standin_no_app_exports.dll";
        case Module::WithoutServerExports: return L"standin_no_server_exports.dll";
        case Module::Real: return L"Quellis64.dll";
        case Module::None:
        case Module::NotAModule: break;
    }
    return {};
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t hit = text.find(separator); hit != std::string::npos; hit = text.find(separator, start)) {
        parts.push_back(text.substr(start, hit - start));
        start = hit + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

void setKeySecurity(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    const LSTATUS status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    ASSERT_EQ(status, ERROR_SUCCESS) << "RegSetKeySecurity";
}

}  // namespace

SetupFolder::SetupFolder(Module module) : dir_(L"setup") {
    const std::wstring here = wintest::testProgramDirectory();
    wintest::copyFileOrFail(here + L"\\QuellisSetup.exe", setupTool());
    if (module == Module::NotAModule) {
        wintest::writeFileBytes(modulePath(), "This is not a module.\r\n");
    } else if (module != Module::None) {
        wintest::copyFileOrFail(here + L"\\" + builtFile(module), modulePath());
    }
}

void SetupFolder::configure(const std::string& lines) const {
    wintest::writeFileBytes(dir_ / standin::kConfigName, lines);
}

std::vector<StandinCall> SetupFolder::calls() const {
    std::vector<StandinCall> calls;
    for (const std::string& line : splitOn(wintest::readFileBytes(dir_ / standin::kLogName), '\n')) {
        if (line.empty()) continue;
        const std::vector<std::string> fields = splitOn(line, '\t');
        EXPECT_EQ(fields.size(), 5u) << "calls.log line: " << line;
        if (fields.size() != 5) continue;
        calls.push_back({static_cast<DWORD>(std::stoul(fields[0])), fields[1], fields[2] == "1", fields[3],
                         wintest::wide(fields[4])});
    }
    return calls;
}

bool realModuleAvailable() { return wintest::fileExists(wintest::testProgramDirectory() + L"\\Quellis64.dll"); }

SetupRun runSetup(const SetupFolder& folder, const std::wstring& arguments) {
    const std::wstring commandLine = wintest::quoted(folder.setupTool()) + L" " + arguments;
    wintest::RunOptions options;
    options.timeoutMs = kRunTimeoutMs;
    options.watchDescendants = true;
    const wintest::RunResult result = wintest::runWatched(commandLine, options);
    if (result.startError != 0)
        ADD_FAILURE() << "cannot start " << wintest::utf8(commandLine) << ": error " << result.startError;
    SetupRun run{static_cast<int>(result.exitCode), result.timedOut, result.processId, {}};
    for (const wintest::SeenBox& box : result.boxes) run.boxes.push_back({box, box.processId == result.processId});
    return run;
}

std::optional<std::wstring> readCommand(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kAppKey, 0, KEY_QUERY_VALUE | kView64, &key) != ERROR_SUCCESS) return std::nullopt;
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS status =
        RegQueryValueExW(key, standin::kCommandValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    return std::wstring(buffer);
}

void writeCommand(HKEY root, const std::wstring& launcherPath) {
    ASSERT_EQ(RegSetKeyValueW(root, kAppKey, standin::kCommandValue, REG_SZ, launcherPath.c_str(),
                              static_cast<DWORD>((launcherPath.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void removeAppKey(HKEY root) {
    RegDeleteKeyExW(root, kAppKey, kView64, 0);
    RegDeleteKeyExW(root, kOrvaneKey, kView64, 0);  // fails, as it should, while other keys remain in it
}

static void denyWrites(HKEY root, const std::optional<std::wstring>& command) {
    removeAppKey(root);
    if (command) writeCommand(root, *command);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, kAppKey, 0, nullptr, REG_OPTION_NON_VOLATILE, WRITE_DAC | kView64, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    setKeySecurity(key, kDenyWritesSddl);
    RegCloseKey(key);
}

DeniedAllUsersKey::DeniedAllUsersKey(const std::optional<std::wstring>& command) {
    denyWrites(HKEY_LOCAL_MACHINE, command);
}

DeniedAllUsersKey::~DeniedAllUsersKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppKey, 0, WRITE_DAC | kView64, &key) == ERROR_SUCCESS) {
        setKeySecurity(key, kAllowAllSddl);
        RegCloseKey(key);
    }
    removeAppKey(HKEY_LOCAL_MACHINE);
}

void SetupTest::SetUp() {
    removeAppKey(HKEY_CURRENT_USER);
    removeAppKey(HKEY_LOCAL_MACHINE);
}

void SetupTest::TearDown() {
    removeAppKey(HKEY_CURRENT_USER);
    removeAppKey(HKEY_LOCAL_MACHINE);
}

}  // namespace setuptest
