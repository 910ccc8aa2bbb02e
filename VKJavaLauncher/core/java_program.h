// Hosting the Java program: create the JVM in this process, call mainVK with
// the arguments, report an exception, destroy the JVM.
#pragma once

#include <cstdint>

#include "launch_context.h"

namespace varkel {

// Runs the Java program and returns mainVK's result once the JVM has been
// destroyed (after the program's last non-daemon thread ended). Every failure
// ends the process with its message and exit code.
std::int32_t runJavaProgram(LaunchContext& ctx);

// The text for a JNI_CreateJavaVM result.
const char16_t* jvmErrorName(std::int32_t code);

// The message for a failed JNI_CreateJavaVM, for tests.
WideString jvmCreationFailureMessage(const LaunchContext& ctx, std::int32_t result);

}  // namespace varkel
