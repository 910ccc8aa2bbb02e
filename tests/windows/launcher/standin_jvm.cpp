// A stand-in for a Java runtime's "jvm.dll". It exports JNI_CreateJavaVM and
// serves, from function tables of its own, exactly the JNI functions the
// launcher is expected to call; it writes down everything it receives and
// behaves as the test asks through the environment (standin_jvm_protocol.h).
// Any other JNI function ends the process with a distinctive exit code. The
// launcher tests, the console tests and the start-up benchmark all use it.
// Asked to, it also writes down, while mainVK runs, what the launcher's
// manifest gave the process, as the Java program would find it.
#define _JNI_IMPLEMENTATION_  // JNI_CreateJavaVM is exported, not imported
#include <windows.h>
#include <shlwapi.h>

#include <jni.h>

#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "standin_jvm_protocol.h"

namespace {

constexpr const char* kMainClass = "com/orvane/varkel/Varkel";
constexpr const char* kMainMethod = "mainVK";
constexpr const char* kToString = "toString";
constexpr const char* kOpenMethod = "openVK";

// ---- Behaviour ------------------------------------------------------------------

bool environmentValue(const wchar_t* name, std::wstring& value) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return false;
    value.assign(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return true;
}

long environmentNumber(const wchar_t* name) {
    std::wstring value;
    return environmentValue(name, value) ? std::wcstol(value.c_str(), nullptr, 0) : 0;
}

bool environmentIs(const wchar_t* name, const wchar_t* expected) {
    std::wstring value;
    return environmentValue(name, value) && value == expected;
}

// ---- The record -------------------------------------------------------------------

HANDLE recordFile = INVALID_HANDLE_VALUE;

void openRecord() {
    std::wstring path;
    if (recordFile != INVALID_HANDLE_VALUE || !environmentValue(standin::kRecordVariable, path)) return;
    // Unbuffered appends: the launcher may end the process at any moment.
    recordFile = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool plain(unsigned unit) { return unit > 0x20 && unit < 0x7F && unit != '\\'; }

std::string escaped(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (plain(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string escaped(const jchar* units, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (plain(units[i])) {
            out.push_back(static_cast<char>(units[i]));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(units[i]));
            out += hex;
        }
    }
    return out;
}

std::string escaped(const std::wstring& text) {
    return escaped(reinterpret_cast<const jchar*>(text.data()), text.size());
}

std::string escaped(const char* bytes) { return escaped(std::string(bytes ? bytes : "")); }

void record(std::initializer_list<std::string> fields) {
    if (recordFile == INVALID_HANDLE_VALUE) return;
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line.push_back(' ');
        line += field;
    }
    line.push_back('\n');
    DWORD written = 0;
    WriteFile(recordFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// ---- Java objects, as far as the launcher sees them ---------------------------------

struct Object {
    enum class Kind { classObject, string, array, throwable } kind;
    std::string className;           // classes
    std::vector<jchar> text;         // strings
    std::vector<Object*> elements;   // arrays
};

struct Method {
    std::string className, name, signature;
};

// Objects live until the process ends, as in a JVM that never collects.
Object* newObject(Object::Kind kind) { return new Object{kind, {}, {}, {}}; }
Object* object(void* reference) { return static_cast<Object*>(reference); }
std::string classNameOf(jclass clazz) { return clazz ? object(clazz)->className : std::string("null"); }

DWORD creatingThread = 0;
DWORD attachedThread = 0;  // the launcher's serving thread, once attached
// Each thread has its own, as in a JVM.
thread_local Object* pendingException = nullptr;

// Records the call, and notes a call from a thread the JVM was not created on.
void recordCall(const char* function, std::initializer_list<std::string> details = {}) {
    const DWORD thread = GetCurrentThreadId();
    if (thread != creatingThread && thread != attachedThread) record({standin::kOffThread, function});
    std::string line = function;
    for (const std::string& detail : details) line += " " + detail;
    record({standin::kCall, line});
}

// ---- JNIEnv functions -----------------------------------------------------------------

jclass JNICALL findClass(JNIEnv*, const char* name) {
    recordCall("FindClass", {escaped(name)});
    if (std::strcmp(name, kMainClass) == 0 && environmentIs(standin::kMissingVariable, standin::kMissingClass))
        return nullptr;
    Object* clazz = newObject(Object::Kind::classObject);
    clazz->className = name;
    return reinterpret_cast<jclass>(clazz);
}

jmethodID methodId(jclass clazz, const char* name, const char* signature) {
    return reinterpret_cast<jmethodID>(new Method{classNameOf(clazz), name, signature});
}

jmethodID JNICALL getStaticMethodID(JNIEnv*, jclass clazz, const char* name, const char* signature) {
    recordCall("GetStaticMethodID", {escaped(classNameOf(clazz)), escaped(name), escaped(signature)});
    if (std::strcmp(name, kMainMethod) == 0 && environmentIs(standin::kMissingVariable, standin::kMissingMethod))
        return nullptr;
    if (std::strcmp(name, kOpenMethod) == 0 && environmentIs(standin::kOpenVariable, standin::kOpenMissing)) {
        // As a JVM does: NoSuchMethodError is pending.
        pendingException = newObject(Object::Kind::throwable);
        return nullptr;
    }
    return methodId(clazz, name, signature);
}

jmethodID JNICALL getMethodID(JNIEnv*, jclass clazz, const char* name, const char* signature) {
    recordCall("GetMethodID", {escaped(classNameOf(clazz)), escaped(name), escaped(signature)});
    return methodId(clazz, name, signature);
}

jobjectArray JNICALL newObjectArray(JNIEnv*, jsize length, jclass elementClass, jobject initial) {
    recordCall("NewObjectArray", {std::to_string(length), escaped(classNameOf(elementClass)), initial ? "init" : "-"});
    Object* array = newObject(Object::Kind::array);
    array->elements.assign(static_cast<std::size_t>(length), object(initial));
    return reinterpret_cast<jobjectArray>(array);
}

Object* newString(const jchar* units, std::size_t count) {
    Object* string = newObject(Object::Kind::string);
    string->text.reserve(1);  // never a null character pointer, even when empty
    string->text.assign(units, units + count);
    return string;
}

jstring JNICALL newStringJni(JNIEnv*, const jchar* units, jsize length) {
    recordCall("NewString", {escaped(units, static_cast<std::size_t>(length))});
    return reinterpret_cast<jstring>(newString(units, static_cast<std::size_t>(length)));
}

void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
    recordCall("SetObjectArrayElement", {std::to_string(index)});
    Object* target = object(array);
    if (index >= 0 && static_cast<std::size_t>(index) < target->elements.size())
        target->elements[static_cast<std::size_t>(index)] = object(value);
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// What a Java program prints: once through the standard output handle (as
// System.out does) and once through the C runtime's stdout.
void printOutputLine() {
    std::wstring text;
    if (!environmentValue(standin::kOutputVariable, text) || text.empty()) return;
    const std::string line = utf8(text);
    const std::string handleLine = line + " (handle)\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), handleLine.data(), static_cast<DWORD>(handleLine.size()), &written,
              nullptr);
    std::fputs((line + " (stream)\n").c_str(), stdout);
    std::fflush(stdout);
}

void waitForRelease() {
    std::wstring releaseFile;
    if (!environmentValue(standin::kReleaseFileVariable, releaseFile)) return;
    HANDLE held = CreateFileW((releaseFile + standin::kHeldSuffix).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    for (unsigned waited = 0; waited < standin::kReleaseWaitMs; waited += 50) {
        if (GetFileAttributesW(releaseFile.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
}

// ---- What the process's manifest gave it ------------------------------------------

std::string hexNumber(unsigned long value) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%lX", value);
    return hex;
}

std::string guidText(const GUID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                  id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

template <typename Function>
Function systemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The comctl32 that a plain LoadLibraryW gets with no context activated: the
// process default context's choice. Its path tells version 6 (the side-by-side
// copy) from the system's; DllGetVersion is written down beside it.
void recordCommonControls() {
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (!module) {
        record({standin::kCommonControls, standin::kNotAnswered + hexNumber(GetLastError())});
        return;
    }
    wchar_t path[32768];
    DWORD length = GetModuleFileNameW(module, path, 32768);
    std::string version = "-";
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (getVersion && SUCCEEDED(getVersion(&info)))
        version = std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion);
    record({standin::kCommonControls, escaped(std::wstring(path, length < 32768 ? length : 0)), version});
}

void recordDpiAwareness() {
    using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto threadContext = systemFunction<ThreadContext>(L"user32.dll", "GetThreadDpiAwarenessContext");
    auto awareness = systemFunction<Awareness>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    record({standin::kDpiAwareness, threadContext && awareness
                                        ? std::to_string(static_cast<int>(awareness(threadContext())))
                                        : standin::kNotAnswered + std::string("-")});
}

// A windowsSettings value of the process default context (handle null).
void recordSetting(const wchar_t* settingsNamespace, const wchar_t* name) {
    wchar_t value[256] = {};  // one unit more than offered: always terminated
    SIZE_T written = 0;
    SetLastError(0);
    std::string answer = QueryActCtxSettingsW(0, nullptr, settingsNamespace, name, value, 255, &written)
                             ? escaped(std::wstring(value))
                             : standin::kNotAnswered + hexNumber(GetLastError());
    record({standin::kSetting, escaped(std::wstring(name)), answer});
}

// The supportedOS entries of the process default context. The element grew
// a MaxVersionTested field in Windows 10: which form came follows from the
// answer's size.
struct CompatibilityElement {
    GUID id;
    DWORD type;
};
struct GrownCompatibilityElement {
    GUID id;
    DWORD type;
    ULONGLONG maxVersionTested;
};
template <typename Element>
struct CompatibilityList {
    DWORD count;
    Element elements[1];
};

template <typename Element>
std::string supportedSystems(const unsigned char* answer, SIZE_T size) {
    DWORD count = 0;
    std::memcpy(&count, answer, sizeof count);
    const std::size_t start = offsetof(CompatibilityList<Element>, elements);
    std::string systems;
    for (DWORD i = 0; i < count && start + (i + 1) * sizeof(Element) <= size; ++i) {
        Element element;
        std::memcpy(&element, answer + start + i * sizeof(Element), sizeof element);
        if (element.type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
        if (!systems.empty()) systems += ',';
        systems += guidText(element.id);
    }
    return systems.empty() ? "-" : systems;
}

void recordSupportedSystems() {
    alignas(8) unsigned char answer[1024];
    SIZE_T written = 0;
    if (!QueryActCtxW(0, nullptr, nullptr, CompatibilityInformationInActivationContext, answer, sizeof answer,
                      &written)) {
        record({standin::kSupportedSystems, standin::kNotAnswered + hexNumber(GetLastError())});
        return;
    }
    DWORD count = 0;
    std::memcpy(&count, answer, sizeof count);
    const bool grown = written == offsetof(CompatibilityList<GrownCompatibilityElement>, elements) +
                                      count * sizeof(GrownCompatibilityElement);
    record({standin::kSupportedSystems, grown ? supportedSystems<GrownCompatibilityElement>(answer, written)
                                              : supportedSystems<CompatibilityElement>(answer, written)});
}

void recordManifestEffects() {
    recordCommonControls();
    recordDpiAwareness();
    recordSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    recordSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");
    recordSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"longPathAware");
    recordSupportedSystems();
}

// mainVK: writes down the array it was given, then returns, throws or waits as asked.
jint JNICALL callStaticIntMethodV(JNIEnv*, jclass clazz, jmethodID method, va_list args) {
    const Method* called = reinterpret_cast<const Method*>(method);
    recordCall("CallStaticIntMethodV", {escaped(classNameOf(clazz)), escaped(called->name), escaped(called->signature)});
    // No Java method may be called with an exception pending.
    if (pendingException) record({standin::kUnexpected, "pending-exception", escaped(called->name)});
    const Object* array = object(va_arg(args, jobject));
    if (!array) {
        record({standin::kArgumentCount, "null"});
    } else {
        record({standin::kArgumentCount, std::to_string(array->elements.size())});
        for (const Object* element : array->elements) {
            record({standin::kArgument,
                    element ? escaped(element->text.data(), element->text.size()) : standin::kNullElement});
        }
    }
    if (environmentIs(standin::kProbeManifestVariable, L"1")) recordManifestEffects();
    printOutputLine();
    waitForRelease();
    std::wstring exceptionText;
    if (environmentValue(standin::kExceptionVariable, exceptionText)) {
        pendingException = newObject(Object::Kind::throwable);
        pendingException->text.assign(exceptionText.begin(), exceptionText.end());
        return 0;
    }
    return static_cast<jint>(environmentNumber(standin::kMainResultVariable));
}

std::string textOf(const Object* string) {
    return string ? escaped(string->text.data(), string->text.size()) : std::string(standin::kNullElement);
}

void waitForReleaseFile() {
    std::wstring releaseFile;
    if (!environmentValue(standin::kReleaseFileVariable, releaseFile)) return;
    for (unsigned waited = 0; waited < standin::kReleaseWaitMs; waited += 50) {
        if (GetFileAttributesW(releaseFile.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
}

// openVK: writes down, in one line, the directory and the arguments, then
// returns, waits, throws or ends the process as asked.
void JNICALL callStaticVoidMethodV(JNIEnv*, jclass clazz, jmethodID method, va_list args) {
    const Method* called = reinterpret_cast<const Method*>(method);
    recordCall("CallStaticVoidMethodV", {escaped(classNameOf(clazz)), escaped(called->name), escaped(called->signature)});
    const Object* array = object(va_arg(args, jobject));
    const Object* directory = object(va_arg(args, jobject));
    std::string line = standin::kOpen;
    line.push_back(' ');
    line += textOf(directory);
    for (const Object* element : array ? array->elements : std::vector<Object*>{}) {
        line.push_back(' ');
        line += textOf(element);
    }
    record({line});
    if (environmentIs(standin::kOpenVariable, standin::kOpenBlocks)) waitForReleaseFile();
    if (environmentIs(standin::kOpenVariable, standin::kOpenThrows)) pendingException = newObject(Object::Kind::throwable);
    if (environmentIs(standin::kOpenVariable, standin::kOpenExits)) ExitProcess(standin::kOpenExitCode);
}

jobject JNICALL newGlobalRef(JNIEnv*, jobject target) {
    recordCall("NewGlobalRef", {classNameOf(reinterpret_cast<jclass>(target))});
    return target;  // objects are never collected here
}

jint JNICALL pushLocalFrame(JNIEnv*, jint capacity) {
    recordCall("PushLocalFrame", {std::to_string(capacity)});
    return 0;
}

jobject JNICALL popLocalFrame(JNIEnv*, jobject result) {
    recordCall("PopLocalFrame");
    return result;
}

jthrowable JNICALL exceptionOccurred(JNIEnv*) {
    recordCall("ExceptionOccurred");
    return reinterpret_cast<jthrowable>(pendingException);
}

void JNICALL exceptionDescribe(JNIEnv*) { recordCall("ExceptionDescribe"); }

void JNICALL exceptionClear(JNIEnv*) {
    recordCall("ExceptionClear");
    pendingException = nullptr;
}

jboolean JNICALL exceptionCheck(JNIEnv*) {
    recordCall("ExceptionCheck");
    return pendingException ? JNI_TRUE : JNI_FALSE;
}

// toString() of the thrown exception gives the text the test asked for.
jobject JNICALL callObjectMethodV(JNIEnv*, jobject target, jmethodID method, va_list) {
    const Method* called = reinterpret_cast<const Method*>(method);
    const Object* self = object(target);
    bool onThrowable = self && self->kind == Object::Kind::throwable;
    recordCall("CallObjectMethodV", {escaped(called->className), escaped(called->name), escaped(called->signature),
                                     onThrowable ? "throwable" : "other"});
    if (!onThrowable || called->name != kToString) return nullptr;
    return reinterpret_cast<jobject>(newString(self->text.data(), self->text.size()));
}

jsize JNICALL getStringLength(JNIEnv*, jstring string) {
    recordCall("GetStringLength");
    return static_cast<jsize>(object(string)->text.size());
}

const jchar* JNICALL getStringChars(JNIEnv*, jstring string, jboolean* isCopy) {
    recordCall("GetStringChars");
    if (isCopy) *isCopy = JNI_FALSE;
    return object(string)->text.data();
}

// ---- JavaVM functions -----------------------------------------------------------------

JNIEnv_ theEnv{};

jint JNICALL attachCurrentThreadAsDaemon(JavaVM*, void** penv, void*) {
    attachedThread = GetCurrentThreadId();
    record({standin::kAttached, "daemon"});
    *penv = &theEnv;
    return JNI_OK;
}

jint JNICALL destroyJavaVM(JavaVM*) {
    recordCall("DestroyJavaVM");
    return static_cast<jint>(environmentNumber(standin::kDestroyResultVariable));
}

// ---- Every other slot -----------------------------------------------------------------

[[noreturn]] void unexpectedCall(const char* table, std::size_t slot) {
    record({standin::kUnexpected, table, std::to_string(slot)});
    TerminateProcess(GetCurrentProcess(), standin::kUnexpectedCallExitCode);
    for (;;) Sleep(INFINITE);
}

constexpr char kEnvTableName[] = "env";
constexpr char kVmTableName[] = "vm";
template <const char* kTableName, std::size_t Slot>
void JNICALL unexpectedSlotCall() { unexpectedCall(kTableName, Slot); }

using AnySlot = void(JNICALL*)();

// Both tables are plain arrays of pointers: every slot first gets its own
// "unexpected" function, then the expected ones are put in place.
template <typename Table, const char* kTableName, std::size_t... Slot>
Table unexpectedCallTable(std::index_sequence<Slot...>) {
    const std::array<AnySlot, sizeof...(Slot)> slots{&unexpectedSlotCall<kTableName, Slot>...};
    static_assert(sizeof(slots) == sizeof(Table));
    Table table;
    std::memcpy(&table, slots.data(), sizeof table);
    return table;
}
template <typename Table, const char* kTableName>
Table unexpectedCallTable() {
    return unexpectedCallTable<Table, kTableName>(std::make_index_sequence<sizeof(Table) / sizeof(AnySlot)>{});
}

JNINativeInterface_ makeEnvTable() {
    auto table = unexpectedCallTable<JNINativeInterface_, kEnvTableName>();
    table.FindClass = findClass;
    table.GetStaticMethodID = getStaticMethodID;
    table.GetMethodID = getMethodID;
    table.NewObjectArray = newObjectArray;
    table.NewString = newStringJni;
    table.SetObjectArrayElement = setObjectArrayElement;
    table.CallStaticIntMethodV = callStaticIntMethodV;
    table.ExceptionOccurred = exceptionOccurred;
    table.ExceptionDescribe = exceptionDescribe;
    table.ExceptionClear = exceptionClear;
    table.ExceptionCheck = exceptionCheck;
    table.CallObjectMethodV = callObjectMethodV;
    table.GetStringLength = getStringLength;
    table.GetStringChars = getStringChars;
    table.CallStaticVoidMethodV = callStaticVoidMethodV;
    table.NewGlobalRef = newGlobalRef;
    table.PushLocalFrame = pushLocalFrame;
    table.PopLocalFrame = popLocalFrame;
    return table;
}

JNIInvokeInterface_ makeVmTable() {
    auto table = unexpectedCallTable<JNIInvokeInterface_, kVmTableName>();
    table.DestroyJavaVM = destroyJavaVM;
    table.AttachCurrentThreadAsDaemon = attachCurrentThreadAsDaemon;
    return table;
}

const JNINativeInterface_ envTable = makeEnvTable();
const JNIInvokeInterface_ vmTable = makeVmTable();
JavaVM_ theVm{};

// ---- What the process looked like when the stand-in was loaded ----------------------

std::wstring dllDirectoryAtLoad;
std::wstring ownPath;

std::wstring currentDirectory() {
    std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
    buffer.resize(GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data()));
    return buffer;
}

void recordProcess() {
    record({standin::kProcess, std::to_string(sizeof(void*) * 8), std::to_string(GetCurrentProcessId())});
    record({standin::kCommandLine, escaped(std::wstring(GetCommandLineW()))});
    record({standin::kDirectory, escaped(currentDirectory())});
    record({standin::kDllDirectory, escaped(dllDirectoryAtLoad)});
    record({standin::kModule, escaped(ownPath)});
    record({standin::kVersionLibrary, GetModuleHandleW(L"version.dll") ? "loaded" : "-"});
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        // The launcher sets the DLL directory before it loads the JVM.
        wchar_t buffer[32768];
        DWORD length = GetDllDirectoryW(32768, buffer);
        dllDirectoryAtLoad.assign(buffer, length < 32768 ? length : 0);
        length = GetModuleFileNameW(instance, buffer, 32768);
        ownPath.assign(buffer, length < 32768 ? length : 0);
    }
    return TRUE;
}

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args) {
    openRecord();
    creatingThread = GetCurrentThreadId();
    recordProcess();
    recordCall("JNI_CreateJavaVM");
    if (const auto* vmArgs = static_cast<const JavaVMInitArgs*>(args)) {
        record({standin::kVersion, std::to_string(vmArgs->version)});
        record({standin::kOptionCount, std::to_string(vmArgs->nOptions)});
        for (jint i = 0; i < vmArgs->nOptions; ++i) {
            const JavaVMOption& option = vmArgs->options[i];
            record({standin::kOption, escaped(option.optionString), option.extraInfo ? "extra" : "-"});
        }
        record({standin::kIgnoreUnrecognized, std::to_string(static_cast<int>(vmArgs->ignoreUnrecognized))});
    }
    jint result = static_cast<jint>(environmentNumber(standin::kCreateResultVariable));
    if (result != 0) return result;
    theEnv.functions = &envTable;
    theVm.functions = &vmTable;
    *pvm = &theVm;
    *penv = &theEnv;
    return 0;
}
