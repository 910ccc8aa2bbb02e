// A stand-in "jvm.dll" that does nothing: JNI_CreateJavaVM succeeds at once,
// every JNI call the launcher makes succeeds, mainVK returns kMainResult at
// once and DestroyJavaVM returns 0. The launcher exits with mainVK's result,
// so that exit code proves a start went all the way. With it, starting the launcher measures the
// launcher's own work and nothing of a Java runtime's.
#define _JNI_IMPLEMENTATION_  // JNI_CreateJavaVM is exported, not imported
#include <jni.h>

namespace {

constexpr jint kMainResult = 17;  // must match scripts/benchmark.sh

// Distinct non-null handles: the launcher only tests them for null.
_jobject theClass, theMethodHolder, theArray, theString;
jmethodID const kMainMethod = reinterpret_cast<jmethodID>(&theMethodHolder);

jclass JNICALL findClass(JNIEnv*, const char*) { return static_cast<jclass>(&theClass); }
jmethodID JNICALL getStaticMethodId(JNIEnv*, jclass, const char*, const char*) { return kMainMethod; }
jobjectArray JNICALL newObjectArray(JNIEnv*, jsize, jclass, jobject) { return static_cast<jobjectArray>(&theArray); }
jstring JNICALL newString(JNIEnv*, const jchar*, jsize) { return static_cast<jstring>(&theString); }
void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}
jint JNICALL callStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list) { return kMainResult; }
jint JNICALL callStaticIntMethodA(JNIEnv*, jclass, jmethodID, const jvalue*) { return kMainResult; }
jthrowable JNICALL exceptionOccurred(JNIEnv*) { return nullptr; }
jboolean JNICALL exceptionCheck(JNIEnv*) { return JNI_FALSE; }
void JNICALL exceptionClear(JNIEnv*) {}
jint JNICALL destroyJavaVm(JavaVM*) { return 0; }

JNINativeInterface_ makeFunctions() {
    JNINativeInterface_ f{};
    f.FindClass = findClass;
    f.GetStaticMethodID = getStaticMethodId;
    f.NewObjectArray = newObjectArray;
    f.NewString = newString;
    f.SetObjectArrayElement = setObjectArrayElement;
    f.CallStaticIntMethodV = callStaticIntMethodV;
    f.CallStaticIntMethodA = callStaticIntMethodA;
    f.ExceptionOccurred = exceptionOccurred;
    f.ExceptionCheck = exceptionCheck;
    f.ExceptionClear = exceptionClear;
    return f;
}

JNIInvokeInterface_ makeInvoke() {
    JNIInvokeInterface_ i{};
    i.DestroyJavaVM = destroyJavaVm;
    return i;
}

const JNINativeInterface_ theFunctions = makeFunctions();
const JNIInvokeInterface_ theInvoke = makeInvoke();
JNIEnv theEnv{&theFunctions};
JavaVM theVm{&theInvoke};

}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void*) {
    *vm = &theVm;
    *env = &theEnv;
    return JNI_OK;
}
