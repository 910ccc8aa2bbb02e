// A minimal stand-in for a Java runtime's "jvm.dll" for the console and
// splash-screen tests: JNI_CreateJavaVM succeeds, the main class and mainVK
// exist, and mainVK writes a line, returns a value or throws, as the test's
// environment says (standin_protocol.h). It records nothing.
#define _JNI_IMPLEMENTATION_  // JNI_CreateJavaVM is exported, not imported
#include <windows.h>

#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "standin_protocol.h"

namespace {

using namespace consoletest;

// Java objects are the addresses of these markers.
char mainClass, stringClass, objectClass, mainMethod, toStringMethod, argumentArray, argumentString, throwable,
    throwableText;
bool exceptionPending = false;
std::u16string exceptionText;

std::wstring environmentText(const wchar_t* name) {
    wchar_t value[4096] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length < 4096 ? std::wstring(value, length) : std::wstring();
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// What a Java program prints: once through the standard output handle (as
// System.out does) and once through the C runtime's stdout, which the launcher
// shares with this module.
void printOutputLine() {
    std::string line = utf8(environmentText(kOutputVariable));
    if (line.empty()) return;
    std::string handleLine = line + " (handle)\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), handleLine.data(), static_cast<DWORD>(handleLine.size()), &written,
              nullptr);
    std::fputs((line + " (stream)\n").c_str(), stdout);
    std::fflush(stdout);
}

void holdWhileAsked() {
    std::wstring holdFile = environmentText(kHoldFileVariable);
    if (holdFile.empty()) return;
    HANDLE held = CreateFileW((holdFile + kHeldSuffix).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    for (unsigned waited = 0; waited < kHoldLimitMs; waited += 50) {
        if (GetFileAttributesW(holdFile.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
}

jint runMain() {
    printOutputLine();
    holdWhileAsked();
    std::wstring exception = environmentText(kExceptionVariable);
    if (!exception.empty()) {
        exceptionText.assign(exception.begin(), exception.end());
        exceptionPending = true;
        return 0;
    }
    return static_cast<jint>(std::wcstol(environmentText(kMainResultVariable).c_str(), nullptr, 0));
}

// ---- JNI functions the launcher calls -------------------------------------------------

jclass JNICALL findClass(JNIEnv*, const char* name) {
    if (std::strcmp(name, "com/orvane/varkel/Varkel") == 0)
        return environmentText(kMissingClassVariable) == L"1" ? nullptr : reinterpret_cast<jclass>(&mainClass);
    if (std::strcmp(name, "java/lang/String") == 0) return reinterpret_cast<jclass>(&stringClass);
    if (std::strcmp(name, "java/lang/Object") == 0) return reinterpret_cast<jclass>(&objectClass);
    return nullptr;
}
jmethodID JNICALL getStaticMethodID(JNIEnv*, jclass, const char*, const char*) {
    return reinterpret_cast<jmethodID>(&mainMethod);
}
jmethodID JNICALL getMethodID(JNIEnv*, jclass, const char*, const char*) {
    return reinterpret_cast<jmethodID>(&toStringMethod);
}
jobjectArray JNICALL newObjectArray(JNIEnv*, jsize, jclass, jobject) {
    return reinterpret_cast<jobjectArray>(&argumentArray);
}
jstring JNICALL newString(JNIEnv*, const jchar*, jsize) { return reinterpret_cast<jstring>(&argumentString); }
jstring JNICALL newStringUTF(JNIEnv*, const char*) { return reinterpret_cast<jstring>(&argumentString); }
void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}
// The launcher's C++ calls with "..." arrive here, at the va_list forms.
jint JNICALL callStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list) { return runMain(); }
jthrowable JNICALL exceptionOccurred(JNIEnv*) {
    return exceptionPending ? reinterpret_cast<jthrowable>(&throwable) : nullptr;
}
jboolean JNICALL exceptionCheck(JNIEnv*) { return exceptionPending ? JNI_TRUE : JNI_FALSE; }
void JNICALL exceptionDescribe(JNIEnv*) {}
void JNICALL exceptionClear(JNIEnv*) { exceptionPending = false; }
jobject JNICALL callObjectMethodV(JNIEnv*, jobject, jmethodID, va_list) {
    return reinterpret_cast<jobject>(&throwableText);
}
jsize JNICALL getStringLength(JNIEnv*, jstring) { return static_cast<jsize>(exceptionText.size()); }
const jchar* JNICALL getStringChars(JNIEnv*, jstring, jboolean* isCopy) {
    if (isCopy) *isCopy = JNI_FALSE;
    return reinterpret_cast<const jchar*>(exceptionText.c_str());
}
jint JNICALL destroyJavaVM(JavaVM*) { return 0; }

JNINativeInterface_ makeEnvFunctions() {
    JNINativeInterface_ f{};
    f.FindClass = findClass;
    f.GetStaticMethodID = getStaticMethodID;
    f.GetMethodID = getMethodID;
    f.NewObjectArray = newObjectArray;
    f.NewString = newString;
    f.NewStringUTF = newStringUTF;
    f.SetObjectArrayElement = setObjectArrayElement;
    f.CallStaticIntMethodV = callStaticIntMethodV;
    f.ExceptionOccurred = exceptionOccurred;
    f.ExceptionCheck = exceptionCheck;
    f.ExceptionDescribe = exceptionDescribe;
    f.ExceptionClear = exceptionClear;
    f.CallObjectMethodV = callObjectMethodV;
    f.GetStringLength = getStringLength;
    f.GetStringChars = getStringChars;
    return f;
}

JNIInvokeInterface_ makeVmFunctions() {
    JNIInvokeInterface_ f{};
    f.DestroyJavaVM = destroyJavaVM;
    return f;
}

const JNINativeInterface_ envFunctions = makeEnvFunctions();
const JNIInvokeInterface_ vmFunctions = makeVmFunctions();
JNIEnv theEnv{&envFunctions};
JavaVM theVm{&vmFunctions};

}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void*) {
    *vm = &theVm;
    *env = &theEnv;
    return JNI_OK;
}
