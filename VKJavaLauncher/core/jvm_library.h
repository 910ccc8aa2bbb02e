// Choosing and loading the JVM library, and explaining why none loaded.
#pragma once

#include <vector>

#include "java_min_version.h"
#include "launch_context.h"

namespace varkel {

// The library paths of the candidates, in order, duplicates removed: for each
// candidate its registered RuntimeLib, then "<home>\bin\client\jvm.dll",
// "\bin\server\jvm.dll", "\jre\bin\client\jvm.dll", "\jre\bin\server\jvm.dll".
std::vector<WideString> jvmLibraryPaths(const std::vector<JavaHomeCandidate>& candidates);

// Loads the first library that loads and returns with ctx.jvmModule and
// ctx.jvmLibraryPath set. Otherwise it ends the process: after starting the
// 64-bit build (exit code 0), or after telling the user (exit code 2).
void loadJvmLibrary(LaunchContext& ctx);

// The texts of the failure report, for tests.
WideString loadErrorItem(std::uint32_t error);
WideString javaNotFoundSummary(bool wrongBitness, const WideString& startupConfigPath);
// With JAVA_MIN_VERSION: the Java needed, the Javas found (the first ten) and
// the same solutions.
WideString javaTooOldSummary(const JavaVersion& required, bool wrongBitness, const std::vector<FoundJava>& found,
                             const WideString& startupConfigPath);

}  // namespace varkel
