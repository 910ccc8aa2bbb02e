// The JVM option strings that the launch sequence builds from the configuration.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// "-Djava.class.path=" + default class path + ";" + the "lib" archives
// (joined by ";") [+ ";" + ADDITIONAL_CLASSPATH when not empty]. An archive
// whose name cannot be converted to 8-bit text is left out alone.
std::string buildClassPathOption(const StartupConfig& config, const std::vector<WideString>& libraryJars);
// "-Dconfig.file=" + CONFIG_FILE, or the empty string when none is set.
std::string buildConfigFileOption(const StartupConfig& config);
// "-Xmx" + the MAX_MEMORY text.
std::string buildMaxHeapOption(const StartupConfig& config);
// The logging option when INTERNAL_LOGGING is on.
std::optional<std::string> buildLoggingOption(const StartupConfig& config);
// JVM_EXTRA_OPTIONS split like a command line.
std::vector<std::string> buildExtraOptions(const StartupConfig& config);

// A trailing backslash, then a trailing "\bin", removed (each once,
// case-sensitive), so JAVA_PATH may name the Java home or its "bin".
void normaliseJavaPath(std::optional<WideString>& javaPath);

}  // namespace varkel
