// SINGLE_INSTANCE=1: a later launch of an installation hands its working
// directory and arguments to the instance already running for the same user
// and logon session, which passes them to the Java program's openVK; without
// the key none of this runs.
//
// A later launch that is not answered "delivered" within a few seconds (no
// instance, a broken or hanging one, a failure) starts its own JVM with the
// same arguments: a file the user opened is never lost. The price is that an
// openVK that returns only after the later launch gave up (it waits about
// five seconds) leaves the file opened twice; twice, never not at all.
#pragma once

#include <jni.h>

#include <string>
#include <string_view>

#include "hand_over_request.h"
#include "launch_context.h"

namespace varkel {

// Whether this launch may hand over: the key is "1", and no console was asked
// for on the command line ("--console", "--help").
bool handOverWanted(const LaunchContext& ctx);

// With SINGLE_INSTANCE=1, names the installation's pipe (handOverPipeName);
// then, when handOverWanted, hands the launch over and, once the running
// instance answers that openVK took it, deletes the extension's lists and
// ends the process with 0. Returns in every other case, for a normal launch.
// It reads no registry and looks for no Java.
void handOverToRunningInstance(LaunchContext& ctx);

// The first instance, once the JVM exists and mainVK has been found: when the
// pipe was named and the main class has openVK, serves hand-overs on a thread
// of its own for as long as the process lives. Does nothing otherwise, and
// when another instance already serves.
void serveHandOvers(const LaunchContext& ctx, JavaVM* jvm, JNIEnv* env, jclass mainClass);

// One request, on the serving thread: decoded, delivered by one openVK call
// on that thread (attached to the JVM as a daemon on first use), answered.
// The target is what serveHandOvers prepared. Exposed for tests.
std::string answerHandOver(void* target, std::string_view request);

}  // namespace varkel
