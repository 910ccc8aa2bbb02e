// Where Java may be installed: the candidate Java homes, in search order.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// Fills ctx.javaHomeCandidates: JAVA_PATH alone when it is set; otherwise the
// private "jre" beside the executable, the registry (32-bit view, then 64-bit
// view), JAVA_HOME, the PATH entries that hold "java.exe" and, last, the
// keys that current Java installers write.
void collectJavaHomes(LaunchContext& ctx);

// The sources one by one (each gives its records in its own order).
std::vector<JavaHomeCandidate> javaPathFromStartupConf(const StartupConfig& config);
std::vector<JavaHomeCandidate> javaPathFromPrivateJRE(const WideString& exeDirectory);
std::vector<JavaHomeCandidate> javaPathsFromRegistry();
std::vector<JavaHomeCandidate> javaPathFromJAVAHOME();
std::vector<JavaHomeCandidate> javaPathsFromPATH();
// Oracle's "JDK", "JRE" and "Java Development Kit" keys, then the vendors' own
// keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; each key in its 32-bit
// and then its 64-bit view, its versions highest first
// (installer_registry_homes.cpp).
std::vector<JavaHomeCandidate> javaPathsFromInstallerRegistry();

}  // namespace varkel
