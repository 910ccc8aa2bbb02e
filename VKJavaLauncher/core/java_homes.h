// Where Java may be installed: the candidate Java homes, in search order.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// Fills ctx.javaHomeCandidates: JAVA_PATH alone when it is set; otherwise the
// private "jre" beside the executable, the registry (32-bit view, then 64-bit
// view), JAVA_HOME and the PATH entries that hold "java.exe".
void collectJavaHomes(LaunchContext& ctx);

// The sources one by one (each gives its records in its own order).
std::vector<JavaHomeCandidate> javaPathFromStartupConf(const StartupConfig& config);
std::vector<JavaHomeCandidate> javaPathFromPrivateJRE(const WideString& exeDirectory);
std::vector<JavaHomeCandidate> javaPathsFromRegistry();
std::vector<JavaHomeCandidate> javaPathFromJAVAHOME();
std::vector<JavaHomeCandidate> javaPathsFromPATH();

}  // namespace varkel
