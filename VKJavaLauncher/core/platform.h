// The operating-system operations that the launcher's portable code needs,
// declared once. The Windows implementation (win/platform_windows.cpp) is the
// product; the native tests link a scriptable fake instead. Being a link-time
// seam, it costs nothing at run time.
//
// Every function here is a thin wrapper of one Win32 or C runtime operation;
// the decisions stay in the portable code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text.h"

namespace varkel::platform {

using ModuleHandle = void*;

// ---- Errors ---------------------------------------------------------------
std::uint32_t lastError();                  // GetLastError
// FormatMessageW(FROM_SYSTEM | IGNORE_INSERTS, neutral language); absent when
// the system has no text for the code.
std::optional<WideString> systemErrorText(std::uint32_t code);

// ---- Modules ----------------------------------------------------------------
// LoadLibraryW; on failure the module is null and the system's last error is
// left as the load set it.
ModuleHandle loadLibrary(const WideString& path);
// GetProcAddress; null when missing (the last error then says why).
void* findFunction(ModuleHandle module, const char* name);
bool setDllDirectory(const WideString& directory);  // SetDllDirectoryW

// ---- Messages and ending the process -----------------------------------------
// MessageBoxW without an owner window; returns the button pressed (IDOK 1,
// IDYES 6, IDNO 7), or 0 when no box could be shown.
int messageBox(const WideString& text, const WideString& caption, std::uint32_t style);
void sleepMilliseconds(std::uint32_t milliseconds);
// ExitProcess: ends at once; streams are not flushed.
[[noreturn]] void exitProcess(std::uint32_t code);
// The C runtime's exit: flushes the standard streams and runs exit handlers.
[[noreturn]] void exitRuntime(int code);

// ---- Files and directories ------------------------------------------------------
// The full path of the running executable (GetModuleFileNameW, never cut).
WideString executablePath();
bool changeDirectory(const WideString& directory);  // _wchdir
WideString currentDirectory();                      // GetCurrentDirectoryW, whole
bool pathExists(const WideString& path);            // wide stat

enum class FileReadStatus { ok, openFailed, readFailed };
// The file's bytes, read whole. The path resolves against the current directory.
FileReadStatus readWholeFile(const WideString& path, std::string& bytes);

// At most maxBytes from the start of a file (a Java home's "release" file,
// whose version line comes first). The path resolves against the current
// directory.
FileReadStatus readFileStart(const WideString& path, std::size_t maxBytes, std::string& bytes);

// The product version of a file's version resource (VS_FIXEDFILEINFO, most
// significant part first), read from the file as data: it is never loaded as
// code. Absent when the file has no version resource or cannot be read.
std::optional<std::array<std::uint16_t, 4>> fileProductVersion(const WideString& path);

struct DirectoryEntry {
    WideString name;
    bool isDirectory = false;
};
struct DirectoryListing {
    bool started = false;            // FindFirstFileW succeeded
    std::uint64_t searchHandle = 0;  // the handle FindFirstFileW returned (for messages)
    std::vector<DirectoryEntry> entries;
    std::uint32_t endError = 0;      // the last error when the search stopped (18: no more files)
};
// FindFirstFileW / FindNextFileW / FindClose over a pattern such as "lib\*",
// entries in the order the file system delivers them.
DirectoryListing listDirectory(const WideString& pattern);

// ---- Full paths, the temporary folder, deleting (the extension's file lists) ----------
// The full path of a name (GetFullPathNameW, against the current directory),
// with the long form of every part that exists (GetLongPathNameW), so that two
// spellings of one file compare equal. The name itself when it has no full path.
WideString fullPathName(const WideString& path);
// The user's temporary folder (GetTempPathW) in the same full form, with its
// trailing backslash; absent when the system gives none.
std::optional<WideString> temporaryDirectory();
bool deleteFile(const WideString& path);  // DeleteFileW

// ---- Environment, system and registry -------------------------------------------
std::optional<WideString> environmentVariable(const WideString& name);
std::optional<WideString> systemDirectory();  // GetSystemDirectoryW

enum class RegistryView { view32, view64 };  // KEY_WOW64_32KEY, KEY_WOW64_64KEY
// A value under HKEY_LOCAL_MACHINE read as text, whatever its type: it ends at
// its first NUL, or after its last character when it has none. Absent when the
// key or value is missing or cannot be read.
std::optional<WideString> readMachineRegistryString(RegistryView view, const WideString& subKey,
                                                    const WideString& valueName);

// ---- Registry: the keys that Java installers write ---------------------------------
// Installers register under HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER for a
// per-user install; each root is read in the 32-bit or the 64-bit view.
enum class RegistryRoot { localMachine, currentUser };
struct RegistrySubkeyTexts {
    WideString name;
    std::vector<std::optional<WideString>> values;  // in the order asked for
};
// Opens a key once and, for each of its subkeys (RegEnumKeyExW, in the
// registry's order), reads the text values named from the key at the path
// `below` under the subkey ("" for the subkey itself), each as
// readRegistryText reads one. Empty when the key cannot be opened; the listing
// ends at the first failure.
std::vector<RegistrySubkeyTexts> readSubkeyTexts(RegistryRoot root, RegistryView view, const WideString& key,
                                                 const WideString& below, const std::vector<WideString>& valueNames);
// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded), read
// whole, whatever its length. Absent when the key or the value is missing or
// cannot be read, and for a value of any other type.
std::optional<WideString> readRegistryText(RegistryRoot root, RegistryView view, const WideString& subKey,
                                           const WideString& valueName);

// ---- Processes ----------------------------------------------------------------
// CreateProcessW with no application name, no inheritance, flags 0, the
// parent's environment and directory; no wait. On false the last error says why.
bool createProcess(const WideString& commandLine);

// ---- Handing a launch to the running instance (SINGLE_INSTANCE=1) -------------------
struct UserIdentity {
    std::string sid;             // the process token's user SID, its bytes
    std::uint32_t sessionId = 0; // ProcessIdToSessionId
};
std::optional<UserIdentity> currentUser();
// The client: connects to the pipe (waiting a moment while it is busy),
// checks that its server runs as this user in this session, lets it take the
// foreground (AllowSetForegroundWindow), sends the request and reads the
// answer, each within a few seconds. Absent on any failure: no instance, a
// server of another user, a timeout, a broken connection.
std::optional<std::string> exchangeWithRunningInstance(const WideString& pipeName, const std::string& request);
// The server: creates the pipe as its first instance, for this user only and
// for local clients only, and serves it on a new thread until the process
// ends, one client at a time: a client of another user or session is
// dropped, a request whose header handOverPayloadSize refuses is answered
// "refused", every other one is answered with handler's bytes; a silent,
// slow or vanished client is dropped within seconds. False when the pipe
// exists already (another instance serves) or cannot be made.
using HandOverHandler = std::string (*)(void* context, std::string_view request);
bool startHandOverServer(const WideString& pipeName, HandOverHandler handler, void* context);

// ---- Console ------------------------------------------------------------------
bool allocConsole();
struct ConsoleBufferSize {
    int columns = 0;
    int rows = 0;
};
struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
std::optional<ConsoleBufferSize> consoleBufferSize();
void setConsoleBufferSize(ConsoleBufferSize size);
std::optional<WindowRect> consoleWindowRect();
void moveConsoleWindow(WindowRect rect);  // MoveWindow, repainting
// Reopens standard output and error on "CON" and standard input on "CONIN$".
void bindStandardStreamsToConsole();
struct ConsoleInput {
    bool readOk = false;     // exactly one event was read
    bool isKey = false;      // a key event (press or release)
    int virtualKey = 0;
};
// Discards pending input (FlushConsoleInputBuffer), then waits for one input
// event (ReadConsoleInputW).
ConsoleInput readConsoleInputEvent();
void freeConsole();
// Writes to standard output and flushes, so the text is visible at once.
void writeStandardOutput(WideView text);

}  // namespace varkel::platform
