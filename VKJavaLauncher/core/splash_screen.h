// The Java runtime's splash screen, shown through its own library
// ("splashscreen.dll") while the JVM starts.
#pragma once

#include <string>
#include <vector>

#include "launch_context.h"

namespace varkel {

// Candidate library paths: for each Java home, in order, "<home>\bin\splashscreen.dll"
// and "<home>\jre\bin\splashscreen.dll".
std::vector<WideString> listSplashLibraryCandidates(const LaunchContext& ctx);

// Keeps the candidates, loads the first that loads, and calls SplashInit,
// SplashLoadFile(imagePath) and SplashSetFileJarName(imagePath, none).
void showSplashScreen(LaunchContext& ctx, const std::string& imagePath, std::vector<WideString> libraryPaths);

// SplashClose when the library is loaded; otherwise nothing.
void closeSplashScreen(LaunchContext& ctx);

// The address of an entry point of the splash library, loading the library on
// first use; null when no library loads or the entry point is missing.
void* getSplashFunction(LaunchContext& ctx, const char* name);

}  // namespace varkel
