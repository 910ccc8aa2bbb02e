// The launcher's operating-system operations on Windows: each function is one
// Win32 or C runtime call (or a short, fixed sequence of them).
#include <windows.h>
#include <winver.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform.h"
#include "deferred_system_libraries.h"
#include "module_path.h"
#include "owners.h"
#include "utf16_view.h"

namespace varkel::platform {

namespace {

// UTF-16 on both sides (utf16_view.h): the project's char16_t and Windows' wchar_t.
const wchar_t* w(const WideString& text) { return asWide(text.c_str()); }
WideString fromW(const wchar_t* text, std::size_t length) { return toPortable({text, length}); }
WideString fromW(const wchar_t* text) { return fromW(text, std::wcslen(text)); }

// advapi32 is bound on first use, so a key is closed through it too.
void closeDeferredRegistryKey(HKEY key) {
    if (auto closeKey = win::deferred<win::RegCloseKeyFunction>(win::DeferredLibrary::advapi32, "RegCloseKey"))
        closeKey(key);
}
using RegistryKey = Owner<HKEY, closeDeferredRegistryKey>;

}  // namespace

std::uint32_t lastError() { return GetLastError(); }

std::optional<WideString> systemErrorText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer) return std::nullopt;
    WideString text = fromW(buffer, length);
    LocalFree(buffer);
    return text;
}

ModuleHandle loadLibrary(const WideString& path) { return LoadLibraryW(w(path)); }

void* findFunction(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool setDllDirectory(const WideString& directory) { return SetDllDirectoryW(w(directory)) != 0; }

int messageBox(const WideString& text, const WideString& caption, std::uint32_t style) {
    auto show = win::deferred<win::MessageBoxFunction>(win::DeferredLibrary::user32, "MessageBoxW");
    return show ? show(nullptr, w(text), w(caption), style) : 0;
}

void sleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

void exitProcess(std::uint32_t code) { ExitProcess(code); }

void exitRuntime(int code) { std::exit(code); }

WideString executablePath() {
    return modulePath<WideString>(nullptr);
}

bool changeDirectory(const WideString& directory) { return _wchdir(w(directory)) == 0; }

WideString currentDirectory() {
    // The directory may change between the two calls: asked again while it grows.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size()) return fromW(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

bool pathExists(const WideString& path) {
    struct _stat64 info;
    return _wstat64(w(path), &info) == 0;
}

FileReadStatus readWholeFile(const WideString& path, std::string& bytes) {
    FILE* file = _wfopen(w(path), L"rb");
    if (!file) return FileReadStatus::openFailed;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? FileReadStatus::readFailed : FileReadStatus::ok;
}

FileReadStatus readFileStart(const WideString& path, std::size_t maxBytes, std::string& bytes) {
    HANDLE opened = CreateFileW(w(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return FileReadStatus::openFailed;
    HandleOwner file(opened);
    bytes.resize(maxBytes);
    std::size_t total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - total, MAXDWORD));
        if (!ReadFile(file.get(), bytes.data() + total, wanted, &got, nullptr)) {
            bytes.resize(total);
            return FileReadStatus::readFailed;
        }
        if (got == 0) break;  // the end of the file
        total += got;
    }
    bytes.resize(total);
    return FileReadStatus::ok;
}

std::optional<std::array<std::uint16_t, 4>> fileProductVersion(const WideString& path) {
    using win::DeferredLibrary;
    auto infoSize = win::deferred<win::GetFileVersionInfoSizeFunction>(DeferredLibrary::version, "GetFileVersionInfoSizeW");
    auto info = win::deferred<win::GetFileVersionInfoFunction>(DeferredLibrary::version, "GetFileVersionInfoW");
    auto query = win::deferred<win::VerQueryValueFunction>(DeferredLibrary::version, "VerQueryValueW");
    if (!infoSize || !info || !query) return std::nullopt;
    // The resource is read from the file mapped as data: no code of it runs.
    DWORD unused = 0;
    DWORD size = infoSize(w(path), &unused);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> data(size);
    if (!info(w(path), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed || length < sizeof *fixed ||
        fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    return std::array<std::uint16_t, 4>{HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                        HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
}

DirectoryListing listDirectory(const WideString& pattern) {
    DirectoryListing listing;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(w(pattern), &data);
    listing.searchHandle = reinterpret_cast<std::uintptr_t>(search);
    if (search == INVALID_HANDLE_VALUE) return listing;
    listing.started = true;
    do {
        listing.entries.push_back({fromW(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &data));
    listing.endError = GetLastError();
    FindClose(search);
    return listing;
}

// ---- Full paths, the temporary folder, deleting (the extension's file lists) ----------

namespace {

// A text from a call that fills a buffer and, when the buffer is too small,
// returns the size it needs (terminator included): GetFullPathNameW,
// GetLongPathNameW, GetTempPathW. Empty when the call fails.
template <typename Call>
WideString grownText(Call call) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return WideString();
        if (length < buffer.size()) return fromW(buffer.data(), length);
        buffer.resize(static_cast<std::size_t>(length) + 1);
    }
}

WideString longForm(const WideString& path) {
    WideString longPath = grownText([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(w(path), buffer, size); });
    return longPath.empty() ? path : longPath;  // a path that does not exist keeps its form
}

}  // namespace

WideString fullPathName(const WideString& path) {
    WideString full = grownText([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(w(path), size, buffer, nullptr);
    });
    return longForm(full.empty() ? path : full);
}

std::optional<WideString> temporaryDirectory() {
    WideString folder = grownText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
    if (folder.empty()) return std::nullopt;
    return longForm(folder);
}

bool deleteFile(const WideString& path) { return DeleteFileW(w(path)) != 0; }

// ---- End of the file-list operations ---------------------------------------------------

std::optional<WideString> environmentVariable(const WideString& name) {
    DWORD size = GetEnvironmentVariableW(w(name), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::vector<wchar_t> buffer(size);
    DWORD length = GetEnvironmentVariableW(w(name), buffer.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    return fromW(buffer.data(), length);
}

std::optional<WideString> systemDirectory() {
    wchar_t buffer[MAX_PATH + 1];
    UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    return fromW(buffer, length);
}

std::optional<WideString> readMachineRegistryString(RegistryView view, const WideString& subKey,
                                                    const WideString& valueName) {
    REGSAM access = KEY_READ | (view == RegistryView::view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
    auto openKey = win::deferred<win::RegOpenKeyExFunction>(win::DeferredLibrary::advapi32, "RegOpenKeyExW");
    auto queryValue = win::deferred<win::RegQueryValueExFunction>(win::DeferredLibrary::advapi32, "RegQueryValueExW");
    if (!openKey || !queryValue) return std::nullopt;
    RegistryKey key;
    if (openKey(HKEY_LOCAL_MACHINE, w(subKey), 0, access, key.receive()) != ERROR_SUCCESS) return std::nullopt;
    // Read whole, whatever its length; a value may change between the two
    // calls, so ask again while it grows.
    DWORD bytes = 0;
    if (queryValue(key.get(), w(valueName), nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data;
    LSTATUS status;
    do {
        data.resize(bytes + sizeof(wchar_t));
        bytes = static_cast<DWORD>(data.size());
        status = queryValue(key.get(), w(valueName), nullptr, nullptr, data.data(), &bytes);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return std::nullopt;
    // Any type is read as text; it ends at its first NUL or after its last
    // whole character when it has no terminator.
    WideString text(reinterpret_cast<const char16_t*>(data.data()), bytes / sizeof(char16_t));
    return text.substr(0, text.find(u'\0'));
}

// ---- Registry: the keys that Java installers write ---------------------------------

namespace {

HKEY rootKey(RegistryRoot root) { return root == RegistryRoot::localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// Opens with only the right that is needed (KEY_QUERY_VALUE or
// KEY_ENUMERATE_SUB_KEYS): what KEY_READ adds is unused here, and under Wine it
// makes every open slower.
bool openForReading(RegistryRoot root, RegistryView view, const WideString& subKey, REGSAM right, RegistryKey& key) {
    REGSAM access = right | (view == RegistryView::view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
    auto openKey = win::deferred<win::RegOpenKeyExFunction>(win::DeferredLibrary::advapi32, "RegOpenKeyExW");
    return openKey && openKey(rootKey(root), w(subKey), 0, access, key.receive()) == ERROR_SUCCESS;
}

// A value that keeps growing while it is read is given up after this many
// attempts rather than read for ever.
constexpr int kValueReadAttempts = 8;
// Characters of the first read of a value: a path of MAX_PATH fits.
constexpr std::size_t kFirstValueBuffer = MAX_PATH + 1;

std::optional<WideString> readText(HKEY key, const WideString& valueName) {
    auto getValue = win::deferred<win::RegGetValueFunction>(win::DeferredLibrary::advapi32, "RegGetValueW");
    if (!getValue) return std::nullopt;
    // RRF_RT_REG_SZ takes REG_SZ, and REG_EXPAND_SZ expanded; every other type
    // fails. The text comes back terminated, even when it was stored without.
    // Most values fit the first buffer, so one query is the usual cost; a
    // longer one is asked again at the size the registry reported.
    std::vector<wchar_t> data(kFirstValueBuffer);
    for (int attempt = 0; attempt < kValueReadAttempts; ++attempt) {
        DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        LSTATUS status = getValue(key, nullptr, w(valueName), RRF_RT_REG_SZ, nullptr, data.data(), &bytes);
        if (status == ERROR_SUCCESS) return fromW(data.data(), wcsnlen(data.data(), data.size()));
        if (status != ERROR_MORE_DATA) return std::nullopt;
        data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
    return std::nullopt;
}

}  // namespace

std::vector<RegistrySubkeyTexts> readSubkeyTexts(RegistryRoot root, RegistryView view, const WideString& key,
                                                 const WideString& below, const std::vector<WideString>& valueNames) {
    std::vector<RegistrySubkeyTexts> subkeys;
    auto enumKey = win::deferred<win::RegEnumKeyExFunction>(win::DeferredLibrary::advapi32, "RegEnumKeyExW");
    auto openKey = win::deferred<win::RegOpenKeyExFunction>(win::DeferredLibrary::advapi32, "RegOpenKeyExW");
    RegistryKey parent;
    if (!enumKey || !openKey || !openForReading(root, view, key, KEY_ENUMERATE_SUB_KEYS, parent)) return subkeys;
    wchar_t name[256];  // a key name has at most 255 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = std::size(name);
        if (enumKey(parent.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back({fromW(name, length), std::vector<std::optional<WideString>>(valueNames.size())});
    }
    // Opened relative to the key, which already lies in the view asked for (no
    // redirected key lies below an installer's key): under Wine this is a
    // fraction of the cost of an open from the root that names the view.
    for (RegistrySubkeyTexts& subkey : subkeys) {
        RegistryKey values;
        if (openKey(parent.get(), w(subkey.name + below), 0, KEY_QUERY_VALUE, values.receive()) != ERROR_SUCCESS) continue;
        for (std::size_t i = 0; i < valueNames.size(); ++i) subkey.values[i] = readText(values.get(), valueNames[i]);
    }
    return subkeys;
}

std::optional<WideString> readRegistryText(RegistryRoot root, RegistryView view, const WideString& subKey,
                                           const WideString& valueName) {
    RegistryKey key;
    if (!openForReading(root, view, subKey, KEY_QUERY_VALUE, key)) return std::nullopt;
    return readText(key.get(), valueName);
}

bool createProcess(const WideString& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');  // CreateProcessW may write into its command line
    // The handles are left to the end of the process, which comes right after.
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) != 0;
}

bool allocConsole() { return AllocConsole() != 0; }

std::optional<ConsoleBufferSize> consoleBufferSize() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return std::nullopt;
    return ConsoleBufferSize{info.dwSize.X, info.dwSize.Y};
}

void setConsoleBufferSize(ConsoleBufferSize size) {
    SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE),
                               COORD{static_cast<SHORT>(size.columns), static_cast<SHORT>(size.rows)});
}

std::optional<WindowRect> consoleWindowRect() {
    RECT winRect;
    HWND window = GetConsoleWindow();
    auto getWindowRect = win::deferred<win::GetWindowRectFunction>(win::DeferredLibrary::user32, "GetWindowRect");
    if (!window || !getWindowRect || !getWindowRect(window, &winRect)) return std::nullopt;
    return WindowRect{winRect.left, winRect.top, winRect.right, winRect.bottom};
}

void moveConsoleWindow(WindowRect rect) {
    if (auto moveWindow = win::deferred<win::MoveWindowFunction>(win::DeferredLibrary::user32, "MoveWindow"))
        moveWindow(GetConsoleWindow(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

namespace {

// Reopens a standard stream of the C runtime on a console device, in place. A
// runtime may refuse to reopen a stream that never had a descriptor, as in a
// GUI program started without standard handles (Wine's msvcrt does); the
// stream then takes over a descriptor opened on the device at its usual number.
void reopenOnConsole(FILE* stream, const wchar_t* device, const wchar_t* mode, int descriptor, int openFlags,
                     const char* streamMode) {
    if (_wfreopen(device, mode, stream)) return;
    int opened = _wopen(device, openFlags);
    if (opened < 0) return;
    if (opened != descriptor) {
        _dup2(opened, descriptor);
        _close(opened);
    }
    // msvcrt's records are plain structures, and copying one over a standard
    // stream is the runtime's own way to rebind it (the record _fdopen made
    // stays unused). Reached only where reopening failed.
    if (const FILE* adopted = _fdopen(descriptor, streamMode))
        *stream = *adopted;  // NOLINT(cert-fio38-c,misc-non-copyable-objects): see above
}

}  // namespace

void bindStandardStreamsToConsole() {
    reopenOnConsole(stdout, L"CON", L"w", 1, _O_WRONLY | _O_TEXT, "w");
    reopenOnConsole(stderr, L"CON", L"w", 2, _O_WRONLY | _O_TEXT, "w");
    reopenOnConsole(stdin, L"CONIN$", L"r", 0, _O_RDONLY | _O_TEXT, "r");
}

ConsoleInput readConsoleInputEvent() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input);
    INPUT_RECORD buf;
    DWORD nbReadChars = 0;
    ConsoleInput result;
    if (!ReadConsoleInputW(input, &buf, 1, &nbReadChars) || nbReadChars != 1) return result;
    result.readOk = true;
    result.isKey = buf.EventType == KEY_EVENT;
    if (result.isKey) result.virtualKey = buf.Event.KeyEvent.wVirtualKeyCode;
    return result;
}

void freeConsole() { FreeConsole(); }

void writeStandardOutput(WideView text) {
    // On a console, WriteConsoleW shows every character; elsewhere (a pipe or
    // file) the text goes through the C runtime's stream.
    std::fflush(stdout);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && out && GetConsoleMode(out, &mode)) {
        DWORD written = 0;
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    for (char16_t c : text) std::fputwc(static_cast<wchar_t>(c), stdout);
    std::fflush(stdout);
}

}  // namespace varkel::platform
