// JAVA_MIN_VERSION: the oldest Java an installation accepts. With it set, the
// launcher tells the Java version of each JVM library before it loads one,
// from the "release" file of its Java home or, where there is none, from the
// library's version resource, and passes over every library that is older or
// whose version cannot be told. Without it, nothing of this is read.
#pragma once

#include <optional>
#include <vector>

#include "launch_context.h"

namespace varkel {

// Reads JAVA_MIN_VERSION into config.requiredJavaVersion (left absent when
// the key is absent or empty). Returns the message for a value that is no
// Java version; the launch sequence ends with it, as for MAX_MEMORY.
std::optional<WideString> parseJavaMinVersion(StartupConfig& config, const WideString& configFilePath);

// The Java homes whose "release" file may state a library's version, in the
// order they are read: the folder above "bin" ("<home>\bin\server\jvm.dll"),
// and, when that folder is a "jre" (a JDK 8's "<jdk>\jre\bin\server\jvm.dll"),
// the folder above it. None for a library outside a "bin" folder.
std::vector<WideString> javaHomesOfLibrary(WideView libraryPath);

// A library's Java version and the folder it was told from (the home whose
// release file states it; for the version resource, the folder above "bin").
struct LibraryJavaVersion {
    std::optional<JavaVersion> version;
    WideString home;
};
LibraryJavaVersion libraryJavaVersion(const WideString& libraryPath);

// A Java whose version was told, for the summary when none could be loaded.
struct FoundJava {
    WideString version;
    WideString home;
};

// Whether the library may be loaded: nothing when it meets the minimum;
// otherwise the reason the report gives for it in its place. A library that
// is not there is reported as a load would report it. Each Java whose version
// was told is noted in found (once for the libraries of one home).
std::optional<WideString> versionRefusal(const WideString& libraryPath, const JavaVersion& required,
                                         std::vector<FoundJava>& found);

}  // namespace varkel
