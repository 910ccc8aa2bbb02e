// Hosting the Java program: create the JVM in this process, call mainVK with
// the arguments, report an exception, destroy the JVM.
#pragma once

#include <jni.h>

#include <cstdint>
#include <vector>

#include "launch_context.h"

namespace varkel {

// Runs the Java program and returns mainVK's result once the JVM has been
// destroyed (after the program's last non-daemon thread ended). Every failure
// ends the process with its message and exit code.
std::int32_t runJavaProgram(LaunchContext& ctx);

// Java strings made from UTF-16, exactly (NewString): names in any script
// arrive unchanged. Null when the JVM could not make the array or one of its
// strings: it is out of memory, and an exception is pending, with which no
// Java method may be called.
jstring javaString(JNIEnv* env, const WideString& text);
jobjectArray javaStringArray(JNIEnv* env, const std::vector<WideString>& texts);

// The text for a JNI_CreateJavaVM result.
const char16_t* jvmErrorName(std::int32_t code);

// The message for a failed JNI_CreateJavaVM, for tests.
WideString jvmCreationFailureMessage(const LaunchContext& ctx, std::int32_t result);

}  // namespace varkel
