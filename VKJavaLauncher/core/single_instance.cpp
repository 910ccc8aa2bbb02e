#include "single_instance.h"

#include "file_lists.h"
#include "java_program.h"
#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

// What the serving thread needs of the JVM, set up on the main thread before
// the thread starts; it lives as long as the process, as the thread may.
struct HandOverTarget {
    JavaVM* jvm = nullptr;
    jclass mainClass = nullptr;  // a global reference
    jmethodID openVk = nullptr;
    JNIEnv* env = nullptr;       // the serving thread's, once attached
};
HandOverTarget handOverTarget;  // one process serves one JVM

// openVK's local references (the array, its strings, the directory) are
// dropped with one frame after each call: the serving thread never returns
// to Java, where they would otherwise be freed.
constexpr jint kLocalFrameCapacity = 16;

HandOverStatus deliver(HandOverTarget& target, const HandOverRequest& request) {
    if (!target.env && target.jvm->AttachCurrentThreadAsDaemon(reinterpret_cast<void**>(&target.env), nullptr) != JNI_OK) {
        target.env = nullptr;
        return HandOverStatus::failed;
    }
    JNIEnv* env = target.env;
    if (env->PushLocalFrame(kLocalFrameCapacity) != 0) {
        env->ExceptionClear();
        return HandOverStatus::failed;
    }
    HandOverStatus status = HandOverStatus::failed;
    jobjectArray arguments = javaStringArray(env, request.arguments);
    jstring directory = arguments ? javaString(env, request.workingDirectory) : nullptr;
    if (directory) {
        env->CallStaticVoidMethod(target.mainClass, target.openVk, arguments, directory);
        if (!env->ExceptionCheck()) status = HandOverStatus::delivered;
    }
    // An exception (openVK's, or out of memory for the strings) ends here:
    // the serving thread goes on with the next request.
    if (env->ExceptionCheck()) env->ExceptionClear();
    env->PopLocalFrame(nullptr);
    return status;
}

}  // namespace

bool handOverWanted(const LaunchContext& ctx) { return ctx.config.singleInstance == 1 && ctx.consoleRequested == 0; }

void handOverToRunningInstance(LaunchContext& ctx) {
    if (ctx.config.singleInstance != 1) return;
    std::optional<platform::UserIdentity> user = platform::currentUser();
    if (!user) return;  // no identity, no pipe: this instance neither hands over nor serves
    ctx.handOverPipeName = handOverPipeName(platform::fullPathName(ctx.exeDirectory), user->sid, user->sessionId);
    if (!handOverWanted(ctx)) return;
    // A selection beyond the request's limits is opened by this launch itself.
    std::optional<std::string> request = encodeHandOverRequest({ctx.workingDirectory, ctx.javaArgs});
    if (!request) return;
    std::optional<std::string> answer = platform::exchangeWithRunningInstance(*ctx.handOverPipeName, *request);
    if (!answer || decodeHandOverAnswer(*answer) != HandOverStatus::delivered) return;
    deleteSelectionLists(ctx);
    platform::exitProcess(kExitHandedOver);
}

void serveHandOvers(const LaunchContext& ctx, JavaVM* jvm, JNIEnv* env, jclass mainClass) {
    if (!ctx.handOverPipeName) return;
    jmethodID openVk = env->GetStaticMethodID(mainClass, text::kOpenMethod, text::kOpenSignature);
    if (!openVk) {
        // A program without openVK: every launch starts its own JVM, as
        // without the key. The lookup's NoSuchMethodError must not reach mainVK.
        env->ExceptionClear();
        return;
    }
    handOverTarget = HandOverTarget{jvm, static_cast<jclass>(env->NewGlobalRef(mainClass)), openVk, nullptr};
    if (!handOverTarget.mainClass) {
        env->ExceptionClear();
        return;
    }
    // False when another instance serves already (two first launches at
    // once): this one runs unserved, and nothing is lost either way.
    platform::startHandOverServer(*ctx.handOverPipeName, answerHandOver, &handOverTarget);
}

std::string answerHandOver(void* target, std::string_view request) {
    std::optional<HandOverRequest> decoded = decodeHandOverRequest(request);
    if (!decoded) return encodeHandOverAnswer(HandOverStatus::refused);
    return encodeHandOverAnswer(deliver(*static_cast<HandOverTarget*>(target), *decoded));
}

}  // namespace varkel
