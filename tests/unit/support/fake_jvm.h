// A stand-in for a JVM library for native tests of the launch sequence: its
// JNI_CreateJavaVM records the start arguments and the calls the launcher
// makes, and behaves as the test asks.
#pragma once

#include <jni.h>

#include <optional>
#include <string>
#include <vector>

namespace fakejvm {

struct Behaviour {
    jint createResult = 0;
    bool missingMainClass = false;
    bool missingMainMethod = false;
    bool argumentArrayFails = false;  // NewObjectArray runs out of memory
    jint mainResult = 0;
    std::optional<std::u16string> exceptionText;  // mainVK throws; toString gives this
    jint destroyResult = 0;
    bool missingOpenMethod = false;  // the main class has no openVK
};

struct Record {
    bool created = false;
    jint version = 0;
    std::vector<std::string> options;
    bool ignoreUnrecognized = false;
    bool argumentsWereNull = false;
    std::vector<std::u16string> arguments;
    std::vector<std::string> calls;  // JNI calls in order
};

Behaviour& behaviour();
Record& record();
void reset();

jint JNICALL createJavaVm(JavaVM** vm, void** env, void* args);

}  // namespace fakejvm
