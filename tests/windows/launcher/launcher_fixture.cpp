#include "launcher_fixture.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "standin_jvm_protocol.h"

namespace launchertest {

using wintest::testProgramDirectory;

std::wstring builtFile(const std::wstring& name) { return testProgramDirectory() + L"\\" + name; }
std::wstring builtStandinJvm() { return builtFile(L"jvm.dll"); }
std::wstring builtStandinJvmOtherBits() { return builtFile(L"otherbits\\jvm.dll"); }
std::wstring builtNoEntryPointDll() { return builtFile(L"noentry\\jvm.dll"); }

// ---- The record ------------------------------------------------------------------

namespace {

unsigned hexValue(const std::string& digits) { return static_cast<unsigned>(std::stoul(digits, nullptr, 16)); }

std::wstring decodeField(const std::string& field) {
    std::wstring out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] == 'x') {
            out.push_back(static_cast<wchar_t>(hexValue(field.substr(i + 2, 2))));
            i += 3;
        } else if (field[i] == '\\' && i + 5 < field.size() && field[i + 1] == 'u') {
            out.push_back(static_cast<wchar_t>(hexValue(field.substr(i + 2, 4))));
            i += 5;
        } else {
            out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(field[i])));
        }
    }
    return out;
}

std::vector<std::wstring> decodeLine(const std::string& line) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t blank = line.find(' ', start);
        fields.push_back(decodeField(line.substr(start, blank == std::string::npos ? std::string::npos : blank - start)));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
    return fields;
}

std::wstring wordOf(const char* word) { return wintest::wide(word); }

}  // namespace

StandinRecord readStandinRecord(const std::wstring& path) {
    StandinRecord record;
    std::string bytes = wintest::readFileBytes(path);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        record.lines.push_back(decodeLine(bytes.substr(start, end - start)));
        start = end + 1;
    }
    return record;
}

std::optional<std::vector<std::wstring>> StandinRecord::first(const char* word) const {
    for (const auto& line : lines)
        if (line[0] == wordOf(word)) return std::vector<std::wstring>(line.begin() + 1, line.end());
    return std::nullopt;
}

std::vector<std::vector<std::wstring>> StandinRecord::all(const char* word) const {
    std::vector<std::vector<std::wstring>> found;
    for (const auto& line : lines)
        if (line[0] == wordOf(word)) found.emplace_back(line.begin() + 1, line.end());
    return found;
}

std::wstring StandinRecord::text(const char* word) const {
    auto fields = first(word);
    return fields && !fields->empty() ? (*fields)[0] : std::wstring();
}

std::wstring StandinRecord::setting(const wchar_t* name) const {
    for (const auto& fields : all(standin::kSetting))
        if (fields.size() == 2 && fields[0] == name) return fields[1];
    return {};
}

std::vector<std::string> StandinRecord::options() const {
    std::vector<std::string> options;
    for (const auto& fields : all(standin::kOption)) {
        std::string bytes;
        for (wchar_t unit : fields.at(0)) bytes.push_back(static_cast<char>(unit));
        options.push_back(bytes);
    }
    return options;
}

std::vector<std::wstring> StandinRecord::calls() const {
    std::vector<std::wstring> calls;
    for (const auto& fields : all(standin::kCall)) {
        std::wstring call;
        for (const auto& field : fields) call += (call.empty() ? L"" : L" ") + field;
        calls.push_back(call);
    }
    return calls;
}

std::vector<std::wstring> StandinRecord::callNames() const {
    std::vector<std::wstring> names;
    for (const auto& fields : all(standin::kCall)) names.push_back(fields.at(0));
    return names;
}

std::optional<std::vector<std::wstring>> StandinRecord::arguments() const {
    if (!first(standin::kArgumentCount)) return std::nullopt;
    std::vector<std::wstring> arguments;
    for (const auto& fields : all(standin::kArgument)) arguments.push_back(fields.at(0));
    return arguments;
}

// ---- Environment -------------------------------------------------------------------

namespace {
std::optional<std::wstring> environmentValue(const std::wstring& name) {
    DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}
}  // namespace

void EnvironmentOverride::set(const std::wstring& name, const std::optional<std::wstring>& value) {
    saved_.emplace_back(name, environmentValue(name));
    SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
}

EnvironmentOverride::~EnvironmentOverride() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        SetEnvironmentVariableW(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
}

// ---- Installation ------------------------------------------------------------------

Installation::Installation(const std::wstring& launcherName) : dir_(L"launcher"), launcherName_(launcherName) {
    wintest::copyFileOrFail(builtFile(launcherName), exe());
    wintest::makeDirectories(dir_ / L"lib");
    wintest::makeDirectories(javaHome() + L"\\bin\\server");
    wintest::copyFileOrFail(builtStandinJvm(), jvmPath());
    writeConfig();
}

void Installation::write(const std::wstring& relative, const std::string& bytes) const {
    std::wstring path = dir_ / relative;
    wintest::makeDirectories(path.substr(0, path.find_last_of(L'\\')));
    wintest::writeFileBytes(path, bytes);
}

std::string Installation::javaPathLine() const { return "JAVA_PATH=" + wintest::utf8(javaHome()) + "\r\n"; }

void Installation::writeConfig(const std::string& lines) const { write(L"startup.conf", javaPathLine() + lines); }

// ---- Running ---------------------------------------------------------------------

namespace {
std::optional<std::wstring> number(const std::optional<long>& value) {
    if (!value) return std::nullopt;
    return std::to_wstring(*value);
}
std::optional<std::wstring> textOrNothing(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    return text;
}
}  // namespace

Launch launch(const Installation& installation, const std::wstring& arguments, const StandinBehaviour& behaviour,
              wintest::RunOptions options) {
    const std::wstring recordPath = behaviour.recordPath.empty() ? installation.recordPath() : behaviour.recordPath;
    DeleteFileW(recordPath.c_str());
    EnvironmentOverride environment;
    environment.set(standin::kRecordVariable, recordPath);
    environment.set(standin::kOpenVariable, behaviour.open ? std::optional<std::wstring>(behaviour.open) : std::nullopt);
    environment.set(standin::kCreateResultVariable, number(behaviour.createResult));
    environment.set(standin::kMissingVariable,
                    behaviour.missing ? std::optional<std::wstring>(behaviour.missing) : std::nullopt);
    environment.set(standin::kMainResultVariable, number(behaviour.mainResult));
    environment.set(standin::kExceptionVariable, behaviour.exception);
    environment.set(standin::kDestroyResultVariable, number(behaviour.destroyResult));
    environment.set(standin::kReleaseFileVariable, textOrNothing(behaviour.releaseFile));
    environment.set(standin::kOutputVariable, textOrNothing(behaviour.output));
    environment.set(standin::kProbeManifestVariable,
                    behaviour.probeManifest ? std::optional<std::wstring>(L"1") : std::nullopt);
    if (options.timeoutMs == wintest::RunOptions{}.timeoutMs) options.timeoutMs = 30000;
    std::wstring commandLine = wintest::quoted(installation.exe());
    if (!arguments.empty()) commandLine += L" " + arguments;
    Launch result;
    result.run = wintest::runWatched(commandLine, options);
    result.record = readStandinRecord(recordPath);
    EXPECT_FALSE(result.run.timedOut) << "the launcher did not end in time";
    EXPECT_FALSE(result.record.first(standin::kUnexpected))
        << "the launcher called a JNI function it has no business calling";
    EXPECT_FALSE(result.record.first(standin::kOffThread)) << "a JNI call came from another thread";
    return result;
}

TwoLaunches launchWhileRunning(const Installation& first, const StandinBehaviour& firstBehaviour,
                               const Installation& second, const std::wstring& secondArguments,
                               const wintest::RunOptions& secondOptions, const std::function<void()>& whileServing) {
    constexpr DWORD kServingWaitMs = 30000;
    StandinBehaviour held = firstBehaviour;
    held.releaseFile = first / L"release";
    DeleteFileW(held.releaseFile.c_str());
    DeleteFileW((held.releaseFile + standin::kHeldSuffix).c_str());
    StandinBehaviour secondBehaviour;
    secondBehaviour.recordPath = second / L"second.record";
    TwoLaunches launches;
    wintest::RunOptions options;
    options.timeoutMs = 90000;
    options.onStarted = [&](const PROCESS_INFORMATION& process) {
        // The pipe exists before mainVK is called.
        const std::wstring heldMark = held.releaseFile + standin::kHeldSuffix;
        for (DWORD waited = 0; !wintest::fileExists(heldMark) && waited < kServingWaitMs; waited += 50) {
            if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
        }
        EXPECT_TRUE(wintest::fileExists(heldMark)) << "the first launch did not reach mainVK";
        if (whileServing) whileServing();
        launches.second = launch(second, secondArguments, secondBehaviour, secondOptions);
        wintest::writeFileBytes(held.releaseFile, "");
    };
    launches.first = launch(first, L"", held, options);
    return launches;
}

// ---- Expectations ------------------------------------------------------------------

std::wstring systemErrorItem(DWORD code) {
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? buffer : L"";
    if (buffer) LocalFree(buffer);
    if (!text.empty() && text.back() == L'\n') text.pop_back();
    if (!text.empty() && text.back() == L'\r') text.pop_back();
    return L"Error " + std::to_wstring(static_cast<int>(code)) + L": \"" + text + L"\"";
}

void expectErrorBox(const wintest::SeenBox& box, const std::wstring& text) {
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, L"error");
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasYes || box.hasNo || box.hasCancel) << "an error box has a single OK button";
}

namespace {

// The side-by-side folder of Common-Controls 6, after its architecture
// ("amd64", "x86"): what LoadLibraryW(L"comctl32.dll") gives in a process
// whose manifest asks for it, the system folder's comctl32 otherwise.
constexpr const wchar_t* kCommonControls6Folder = L"_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
// Windows Vista, 7, 8, 8.1, 10 and 11, in the manifest's order.
constexpr const wchar_t* kSupportedSystems =
    L"{e2011457-1546-43c5-a5fe-008deee3d3f0},{35138b9a-5d96-4fbd-8e2d-a2440225f93a},"
    L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38},{1f676c76-80e1-4239-95bb-83d0f6d0da78},"
    L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}";
constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE, version 1 or 2

bool underWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring lowerCase(std::wstring text) {
    for (wchar_t& unit : text) unit = static_cast<wchar_t>(std::towlower(unit));
    return text;
}

}  // namespace

void expectManifestEffects(const StandinRecord& record) {
    auto controls = record.first(standin::kCommonControls);
    ASSERT_TRUE(controls && controls->size() == 2) << "the stand-in wrote down no comctl32 (was mainVK reached?)";
    const std::wstring path = lowerCase(controls->at(0));
    EXPECT_NE(path.find(L"\\winsxs\\"), std::wstring::npos) << wintest::utf8(path);
    EXPECT_NE(path.find(kCommonControls6Folder), std::wstring::npos) << wintest::utf8(path);
    // The settings as the process's activation context holds them.
    EXPECT_EQ(record.setting(L"dpiAware"), L"true/PM");
    EXPECT_EQ(record.setting(L"dpiAwareness"), L"PerMonitorV2, PerMonitor, system");
    EXPECT_EQ(record.setting(L"longPathAware"), L"true");
    EXPECT_EQ(record.text(standin::kSupportedSystems), kSupportedSystems);
    // Known gaps of Wine, which shows neither: its side-by-side comctl32
    // reports version 5.81 like the system's (there the path above is the
    // evidence), and it makes every process per-monitor aware, manifest or not.
    if (!underWine()) {
        EXPECT_EQ(controls->at(1).substr(0, 2), L"6.") << wintest::utf8(controls->at(1));
        EXPECT_EQ(record.text(standin::kDpiAwareness), std::to_wstring(kPerMonitorAware));
    }
}

std::wstring fill(std::wstring text, const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    for (const auto& [name, value] : values) {
        const std::wstring token = L"{" + name + L"}";
        for (std::size_t at = text.find(token); at != std::wstring::npos; at = text.find(token, at + value.size()))
            text.replace(at, token.size(), value);
    }
    return text;
}

}  // namespace launchertest
