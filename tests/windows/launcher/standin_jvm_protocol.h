// What the stand-in "jvm.dll" (standin_jvm.cpp) and the tests that drive it
// share: the environment variables that set its behaviour, and the words of
// the record it writes.
//
// The record is a text file, one event a line: a word, then fields separated
// by one blank. Fields are escaped so that any text survives: characters from
// "!" to "~" stand for themselves except the backslash; every other 8-bit
// byte is written \xHH and every other UTF-16 unit \uHHHH.
#pragma once

namespace standin {

// ---- Behaviour, from the launcher's environment (inherited from the test) ----
inline constexpr const wchar_t* kRecordVariable = L"VARKEL_STANDIN_RECORD";          // record file path
inline constexpr const wchar_t* kCreateResultVariable = L"VARKEL_STANDIN_CREATE";    // JNI_CreateJavaVM result
inline constexpr const wchar_t* kMissingVariable = L"VARKEL_STANDIN_MISSING";        // "class" or "method"
inline constexpr const wchar_t* kMainResultVariable = L"VARKEL_STANDIN_MAIN_RESULT";  // mainVK's return value
inline constexpr const wchar_t* kExceptionVariable = L"VARKEL_STANDIN_EXCEPTION";    // mainVK throws, toString() gives this
inline constexpr const wchar_t* kDestroyResultVariable = L"VARKEL_STANDIN_DESTROY";  // DestroyJavaVM result
// mainVK writes this line to the standard output handle, as a Java program's
// System.out does, and then to the C runtime's stdout stream, which the
// launcher shares with the stand-in: " (handle)" and " (stream)" follow it.
inline constexpr const wchar_t* kOutputVariable = L"VARKEL_STANDIN_OUTPUT";
// mainVK waits (at most kReleaseWaitMs) until this file exists: lets a test get
// hold of a launcher process it did not start itself, or look at one that would
// otherwise end at once. While it waits, a file of the same name with
// kHeldSuffix says so.
// "1": mainVK writes down what the launcher's manifest gave the process (the
// words from kCommonControls on). Off by default: it loads user32 and comctl32,
// which a plain start does not.
inline constexpr const wchar_t* kProbeManifestVariable = L"VARKEL_STANDIN_PROBE_MANIFEST";
// openVK (a later launch's arguments, SINGLE_INSTANCE=1): unset, it writes
// them down and returns; kOpenMissing: the main class has none; kOpenBlocks:
// it writes them down, then waits like mainVK for the release file;
// kOpenThrows: it throws; kOpenExits: it ends the process with kOpenExitCode,
// as System.exit would.
inline constexpr const wchar_t* kOpenVariable = L"VARKEL_STANDIN_OPEN";
inline constexpr const wchar_t* kOpenMissing = L"missing";
inline constexpr const wchar_t* kOpenBlocks = L"block";
inline constexpr const wchar_t* kOpenThrows = L"throw";
inline constexpr const wchar_t* kOpenExits = L"exit";
inline constexpr unsigned kOpenExitCode = 42;
inline constexpr const wchar_t* kReleaseFileVariable = L"VARKEL_STANDIN_RELEASE_FILE";
inline constexpr const wchar_t* kHeldSuffix = L".held";
inline constexpr unsigned kReleaseWaitMs = 60000;

// The Java version that the stand-in's version resource states (standin_jvm.rc).
inline constexpr const wchar_t* kResourceJavaVersion = L"17.0.9";

inline constexpr const wchar_t* kMissingClass = L"class";
inline constexpr const wchar_t* kMissingMethod = L"method";

// Any JNI function the launcher has no business calling ends the process at
// once with this code, after an "unexpected" line.
inline constexpr unsigned kUnexpectedCallExitCode = 0x0BADCA11;

// ---- Record words ----------------------------------------------------------------
inline constexpr const char* kProcess = "process";        // bits, process id
inline constexpr const char* kCommandLine = "commandline";  // GetCommandLineW of the process
inline constexpr const char* kDirectory = "cwd";           // current directory at JNI_CreateJavaVM
inline constexpr const char* kDllDirectory = "dlldir";     // DLL directory when the stand-in was loaded
inline constexpr const char* kModule = "module";           // the stand-in's own path
inline constexpr const char* kVersionLibrary = "versiondll"; // "loaded" when version.dll was in the process, else "-"
inline constexpr const char* kVersion = "version";         // vmArgs.version (decimal)
inline constexpr const char* kOptionCount = "noptions";
inline constexpr const char* kOption = "option";            // one per option, in order: the bytes, then "extra" or "-"
inline constexpr const char* kIgnoreUnrecognized = "ignoreunrecognized";
inline constexpr const char* kCall = "call";                // one per JNI call, in order: function name and details
inline constexpr const char* kArgumentCount = "argc";      // the array mainVK received: its length...
inline constexpr const char* kArgument = "arg";            // ...and each element, UTF-16 ("null" marks a null element)
inline constexpr const char* kOffThread = "offthread";     // a JNI call on a thread neither creating nor attached
inline constexpr const char* kAttached = "attached";       // AttachCurrentThreadAsDaemon: "daemon"
inline constexpr const char* kOpen = "openvk";             // one per openVK call: the directory, then each argument
inline constexpr const char* kUnexpected = "unexpected";   // "env" or "vm", slot number
inline constexpr const char* kNullElement = "null";
// What the launcher's manifest gave the process, written down while mainVK runs:
inline constexpr const char* kCommonControls = "comctl32";    // the module LoadLibraryW gives, DllGetVersion's major.minor
inline constexpr const char* kDpiAwareness = "dpiawareness";  // GetAwarenessFromDpiAwarenessContext of the thread
inline constexpr const char* kSetting = "setting";            // name, QueryActCtxSettingsW's value (process default)
inline constexpr const char* kSupportedSystems = "supportedos";  // the supportedOS GUIDs, comma-separated, or "-"
// A query the system did not answer: this, then its error code in hex.
inline constexpr const char* kNotAnswered = "none:";

}  // namespace standin
