#include "fake_jvm.h"

#include <cstring>
#include <deque>

namespace fakejvm {

namespace {

Behaviour theBehaviour;
Record theRecord;

// Java objects are addresses of entries in these stores.
std::deque<std::u16string> strings;
std::deque<std::vector<jobject>> arrays;
char mainClass, stringClass, objectClass, throwable, mainMethod, openMethod, toStringMethod;
bool exceptionPending = false;

void call(const char* name) { theRecord.calls.emplace_back(name); }

jclass JNICALL findClass(JNIEnv*, const char* name) {
    theRecord.calls.push_back(std::string("FindClass ") + name);
    if (std::strcmp(name, "com/orvane/varkel/Varkel") == 0)
        return theBehaviour.missingMainClass ? nullptr : reinterpret_cast<jclass>(&mainClass);
    if (std::strcmp(name, "java/lang/String") == 0) return reinterpret_cast<jclass>(&stringClass);
    if (std::strcmp(name, "java/lang/Object") == 0) return reinterpret_cast<jclass>(&objectClass);
    return nullptr;
}

jmethodID JNICALL getStaticMethodID(JNIEnv*, jclass, const char* name, const char* signature) {
    theRecord.calls.push_back(std::string("GetStaticMethodID ") + name + " " + signature);
    if (std::strcmp(name, "openVK") == 0) {
        exceptionPending = theBehaviour.missingOpenMethod;  // NoSuchMethodError
        return theBehaviour.missingOpenMethod ? nullptr : reinterpret_cast<jmethodID>(&openMethod);
    }
    return theBehaviour.missingMainMethod ? nullptr : reinterpret_cast<jmethodID>(&mainMethod);
}

jmethodID JNICALL getMethodID(JNIEnv*, jclass, const char* name, const char* signature) {
    theRecord.calls.push_back(std::string("GetMethodID ") + name + " " + signature);
    return reinterpret_cast<jmethodID>(&toStringMethod);
}

jobjectArray JNICALL newObjectArray(JNIEnv*, jsize length, jclass, jobject) {
    call("NewObjectArray");
    if (theBehaviour.argumentArrayFails) {
        exceptionPending = true;  // OutOfMemoryError, as a JVM would throw
        return nullptr;
    }
    arrays.emplace_back(static_cast<std::size_t>(length), nullptr);
    return reinterpret_cast<jobjectArray>(&arrays.back());
}

jstring JNICALL newString(JNIEnv*, const jchar* chars, jsize length) {
    call("NewString");
    strings.emplace_back(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length));
    return reinterpret_cast<jstring>(&strings.back());
}

jstring JNICALL newStringUTF(JNIEnv*, const char* bytes) {
    call("NewStringUTF");
    strings.emplace_back(bytes, bytes + std::strlen(bytes));
    return reinterpret_cast<jstring>(&strings.back());
}

void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
    call("SetObjectArrayElement");
    (*reinterpret_cast<std::vector<jobject>*>(array))[static_cast<std::size_t>(index)] = value;
}

jobject JNICALL newGlobalRef(JNIEnv*, jobject object) {
    call("NewGlobalRef");
    return object;
}

jint JNICALL callStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list args) {
    call("CallStaticIntMethod");
    if (exceptionPending) call("CallStaticIntMethod with an exception pending");
    auto* array = reinterpret_cast<std::vector<jobject>*>(va_arg(args, jobjectArray));
    theRecord.argumentsWereNull = array == nullptr;
    if (array)
        for (jobject element : *array) theRecord.arguments.push_back(*reinterpret_cast<std::u16string*>(element));
    if (theBehaviour.exceptionText) {
        exceptionPending = true;
        return 0;
    }
    return theBehaviour.mainResult;
}

jthrowable JNICALL exceptionOccurred(JNIEnv*) {
    call("ExceptionOccurred");
    return exceptionPending ? reinterpret_cast<jthrowable>(&throwable) : nullptr;
}
jboolean JNICALL exceptionCheck(JNIEnv*) { return exceptionPending ? JNI_TRUE : JNI_FALSE; }
void JNICALL exceptionDescribe(JNIEnv*) { call("ExceptionDescribe"); }
void JNICALL exceptionClear(JNIEnv*) {
    call("ExceptionClear");
    exceptionPending = false;
}

jobject JNICALL callObjectMethodV(JNIEnv*, jobject, jmethodID, va_list) {
    call("CallObjectMethod");
    strings.push_back(theBehaviour.exceptionText.value_or(u""));
    return reinterpret_cast<jobject>(&strings.back());
}

jsize JNICALL getStringLength(JNIEnv*, jstring s) {
    return static_cast<jsize>(reinterpret_cast<std::u16string*>(s)->size());
}
const jchar* JNICALL getStringChars(JNIEnv*, jstring s, jboolean* isCopy) {
    if (isCopy) *isCopy = JNI_FALSE;
    return reinterpret_cast<const jchar*>(reinterpret_cast<std::u16string*>(s)->data());
}

jint JNICALL destroyJavaVm(JavaVM*) {
    call("DestroyJavaVM");
    return theBehaviour.destroyResult;
}

JNINativeInterface_ makeEnvTable() {
    JNINativeInterface_ t{};
    t.FindClass = findClass;
    t.GetStaticMethodID = getStaticMethodID;
    t.GetMethodID = getMethodID;
    t.NewObjectArray = newObjectArray;
    t.NewString = newString;
    t.NewStringUTF = newStringUTF;
    t.SetObjectArrayElement = setObjectArrayElement;
    t.CallStaticIntMethodV = callStaticIntMethodV;
    t.ExceptionOccurred = exceptionOccurred;
    t.ExceptionCheck = exceptionCheck;
    t.ExceptionDescribe = exceptionDescribe;
    t.ExceptionClear = exceptionClear;
    t.CallObjectMethodV = callObjectMethodV;
    t.GetStringLength = getStringLength;
    t.GetStringChars = getStringChars;
    t.NewGlobalRef = newGlobalRef;
    return t;
}

JNINativeInterface_ envTable = makeEnvTable();
JNIEnv theEnv{&envTable};
JNIInvokeInterface_ vmTable = [] {
    JNIInvokeInterface_ t{};
    t.DestroyJavaVM = destroyJavaVm;
    return t;
}();
JavaVM theVm{&vmTable};

}  // namespace

Behaviour& behaviour() { return theBehaviour; }
Record& record() { return theRecord; }
void reset() {
    theBehaviour = Behaviour{};
    theRecord = Record{};
    strings.clear();
    arrays.clear();
    exceptionPending = false;
}

jint JNICALL createJavaVm(JavaVM** vm, void** env, void* args) {
    auto* initArgs = static_cast<JavaVMInitArgs*>(args);
    theRecord.created = true;
    theRecord.version = initArgs->version;
    theRecord.ignoreUnrecognized = initArgs->ignoreUnrecognized == JNI_TRUE;
    for (jint i = 0; i < initArgs->nOptions; ++i) theRecord.options.emplace_back(initArgs->options[i].optionString);
    if (theBehaviour.createResult != 0) return theBehaviour.createResult;
    *vm = &theVm;
    *env = &theEnv;
    return 0;
}

}  // namespace fakejvm
