#include "java_program.h"

#include <jni.h>

#include "build_constants.h"
#include "console_mode.h"
#include "file_lists.h"
#include "format.h"
#include "messages.h"
#include "platform.h"
#include "single_instance.h"
#include "splash_screen.h"
#include "user_messages.h"

namespace varkel {

namespace {

using CreateJavaVmFn = jint(JNICALL*)(JavaVM**, void**, void*);

constexpr std::int32_t kJniVersionError = -3;  // JNI_EVERSION
constexpr std::int32_t kMemoryNoteMegabytes = 1000;

[[noreturn]] void failAfterClosingSplash(LaunchContext& ctx, const WideString& message, std::uint32_t code) {
    closeSplashScreen(ctx);
    showFatalError(ctx, message, code);
}

WideString memoryNote(const LaunchContext& ctx) {
    if (kIs32BitBuild && ctx.config.maxMemoryMegabytes >= kMemoryNoteMegabytes) return text::kMemoryNote32Bit;
    return WideString();
}

// The text of a Java string, whole and in UTF-16.
WideString javaStringText(JNIEnv* env, jstring string) {
    if (!string) return WideString();
    jsize length = env->GetStringLength(string);
    const jchar* chars = env->GetStringChars(string, nullptr);
    if (!chars) return WideString();
    // Not released: the process ends right after the report.
    return WideString(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length));
}

WideString describeThrowable(JNIEnv* env, jthrowable throwable) {
    jclass objectClass = env->FindClass(text::kObjectClass);
    jmethodID toString = objectClass ? env->GetMethodID(objectClass, text::kToStringName, text::kToStringSignature)
                                     : nullptr;
    WideString description;
    if (toString) description = javaStringText(env, static_cast<jstring>(env->CallObjectMethod(throwable, toString)));
    // A toString that throws in turn leaves nothing more to say.
    if (env->ExceptionCheck()) env->ExceptionClear();
    return description;
}

[[noreturn]] void reportMainException(LaunchContext& ctx, JNIEnv* env, jthrowable throwable) {
    closeSplashScreen(ctx);
    env->ExceptionDescribe();
    env->ExceptionClear();
    WideString message = formatMessage(text::kErrorInMainMethod, {describeThrowable(env, throwable)});
    if (waitsForConsoleKey(ctx)) {
        // The message is printed as text, never used as a format.
        printToConsole(u"\n");
        printToConsole(message);
        waitForConsoleKey();
        platform::exitProcess(kExitConsoleOrException);
    }
    showFatalError(ctx, message, kExitConsoleOrException);
}

}  // namespace

jstring javaString(JNIEnv* env, const WideString& text) {
    return env->NewString(reinterpret_cast<const jchar*>(text.data()), static_cast<jsize>(text.size()));
}

jobjectArray javaStringArray(JNIEnv* env, const std::vector<WideString>& texts) {
    jclass stringClass = env->FindClass(text::kStringClass);
    if (!stringClass) return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), stringClass, nullptr);
    for (std::size_t i = 0; i < texts.size() && array; ++i) {
        jstring element = javaString(env, texts[i]);
        if (!element) return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
    }
    return array;
}

const char16_t* jvmErrorName(std::int32_t code) {
    switch (code) {
        case -1: return u"Unknown JNI error";
        case -2: return u"Thread detached from the VM";
        case -3: return u"JNI version error";
        case -4: return u"Not enough memory";
        case -5: return u"VM already created";
        case -6: return u"Invalid arguments";
        default: return u"Unknown error";
    }
}

WideString jvmCreationFailureMessage(const LaunchContext& ctx, std::int32_t result) {
    if (result == kJniVersionError) {
        return formatMessage(text::kJavaVersionTooOld,
                             {ctx.jvmLibraryPath, ctx.startupConfigPath, text::kCreateJavaVmNameWide, result});
    }
    return formatMessage(text::kUnableToStartJava, {ctx.jvmLibraryPath, text::kCreateJavaVmNameWide, result,
                                                    jvmErrorName(result), ctx.startupConfigPath, memoryNote(ctx)});
}

std::int32_t runJavaProgram(LaunchContext& ctx) {
    std::vector<JavaVMOption> options(ctx.jvmOptions.size());
    for (std::size_t i = 0; i < ctx.jvmOptions.size(); ++i) options[i] = {ctx.jvmOptions[i].data(), nullptr};
    JavaVMInitArgs vmArgs{};
    vmArgs.version = JNI_VERSION_1_6;
    vmArgs.nOptions = static_cast<jint>(options.size());
    vmArgs.options = options.data();
    vmArgs.ignoreUnrecognized = JNI_TRUE;

    auto createJavaVm = reinterpret_cast<CreateJavaVmFn>(platform::findFunction(ctx.jvmModule, text::kCreateJavaVmName));
    if (!createJavaVm) {
        WideString error = lastErrorText();
        failAfterClosingSplash(
            ctx, formatMessage(text::kUnableToLoadFunction, {text::kCreateJavaVmNameWide, ctx.jvmLibraryPath, error}),
            kExitStartupFailure);
    }

    JavaVM* jvm = nullptr;
    JNIEnv* jniEnv = nullptr;
    std::int32_t created = createJavaVm(&jvm, reinterpret_cast<void**>(&jniEnv), &vmArgs);
    if (created != 0) failAfterClosingSplash(ctx, jvmCreationFailureMessage(ctx, created), kExitJvmCreationFailed);

    jclass mainClass = jniEnv->FindClass(text::kMainClass);
    if (!mainClass) failAfterClosingSplash(ctx, text::kMainClassMissing, kExitStartupFailure);
    jmethodID mainMethod = jniEnv->GetStaticMethodID(mainClass, text::kMainMethod, text::kMainSignature);
    if (!mainMethod) failAfterClosingSplash(ctx, text::kMainMethodMissing, kExitStartupFailure);

    // With SINGLE_INSTANCE=1, later launches are served from here on.
    serveHandOvers(ctx, jvm, jniEnv, mainClass);
    jobjectArray args = javaStringArray(jniEnv, ctx.javaArgs);
    if (!args) failAfterClosingSplash(ctx, text::kJavaArgumentsFailed, kExitStartupFailure);
    // The Java program holds its arguments now: the extension's lists are done.
    deleteSelectionLists(ctx);
    std::int32_t result = jniEnv->CallStaticIntMethod(mainClass, mainMethod, args);
    if (jthrowable throwable = jniEnv->ExceptionOccurred()) reportMainException(ctx, jniEnv, throwable);

    // Returns once the program's last non-daemon thread has ended.
    std::int32_t destroyed = jvm->DestroyJavaVM();
    if (destroyed != 0)
        failAfterClosingSplash(ctx, formatMessage(text::kUnableToStopJvm, {destroyed}), kExitStartupFailure);
    return result;
}

}  // namespace varkel
