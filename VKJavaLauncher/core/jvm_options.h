// The JVM option list that the launch sequence builds from the configuration.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// Every JVM option in the order the JVM receives it, from the configuration
// (MAX_MEMORY already validated and defaulted) and the "lib" archives: the
// class path, "-Xmx" + MAX_MEMORY, "-Dconfig.file=" + CONFIG_FILE (an empty
// slot when none is set), "-Djava.library.path=lib", JVM_EXTRA_OPTIONS split
// like a command line, and the logging option last when INTERNAL_LOGGING is on.
std::vector<std::string> buildJvmOptions(const StartupConfig& config, const std::vector<WideString>& libraryJars);

// "-Djava.class.path=" + default class path + ";" + the "lib" archives
// (joined by ";") [+ ";" + ADDITIONAL_CLASSPATH when not empty]. An archive
// whose name cannot be converted to 8-bit text is left out alone.
std::string buildClassPathOption(const StartupConfig& config, const std::vector<WideString>& libraryJars);

// A trailing backslash, then a trailing "\bin", removed (each once,
// case-sensitive), so JAVA_PATH may name the Java home or its "bin".
void normaliseJavaPath(std::optional<WideString>& javaPath);

}  // namespace varkel
