#include "selection_list_writer.h"

#include <windows.h>

#include "portable/launch_parameters.h"
#include "portable/quellis_messages.h"
#include "utf16_view.h"

namespace text = varkel::quellis::text;

namespace {

constexpr unsigned kNameAttempts = 100;       // names already taken before the extension gives up
constexpr DWORD kWriteChunk = 1024 * 1024;    // bytes per WriteFile call

std::wstring fromU16(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string toU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// GetTempPathW, with its trailing backslash; empty when the system gives none.
std::wstring temporaryFolder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    for (;;) {
        DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
        if (length == 0) return std::wstring();
        if (length < folder.size()) return folder.substr(0, length);
        folder.assign(static_cast<size_t>(length) + 1, L'\0');
    }
}

// The process, the time and the attempt make a name that no other selection
// has; CREATE_NEW makes sure of it, and a name already taken gets the next try.
HANDLE createNewList(const std::wstring& folder, std::wstring& path) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG stamp = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < kNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        path = folder + fromU16(varkel::quellis::selectionListName(GetCurrentProcessId(), stamp, attempt));
        file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return file;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        DWORD chunk = bytes.size() - done < kWriteChunk ? static_cast<DWORD>(bytes.size() - done) : kWriteChunk;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

std::u16string systemText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length != 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return toU16(text);
}

void reportFailure(const std::wstring& path, DWORD code) {
    std::u16string message = varkel::quellis::selectionListFailureText(toU16(path), systemText(code), static_cast<int>(code));
    MessageBoxW(nullptr, varkel::asWide(message.c_str()), varkel::asWide(text::kCaption), MB_ICONERROR | MB_OK);
}

}  // namespace

std::optional<std::wstring> writeSelectionList(const std::vector<std::u16string>& paths) {
    std::wstring folder = temporaryFolder();
    if (folder.empty()) {
        reportFailure(folder, GetLastError());
        return std::nullopt;
    }
    std::wstring path;
    HANDLE file = createNewList(folder, path);
    if (file == INVALID_HANDLE_VALUE) {
        reportFailure(path, GetLastError());
        return std::nullopt;
    }
    bool written = writeAll(file, varkel::quellis::selectionListText(paths));
    DWORD error = GetLastError();
    // Closing flushes the file: a full disk may show only here.
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    if (!written) {
        DeleteFileW(path.c_str());  // a cut list must never reach the launcher
        reportFailure(path, error);
        return std::nullopt;
    }
    return path;
}
