// Java versions: as an installation asks for one (JAVA_MIN_VERSION), as a
// Java home's "release" file states its own, and as a JVM library's version
// resource gives it.
//
// Java has numbered its versions in two ways: "1.8.0_392" up to Java 8, where
// "1.x" is Java x, and "17.0.9" since Java 9. Both compare as numbers, part by
// part, once "1.x" is read as x: "1.8.0_392" is below "11", "11" below
// "11.0.2". A pre-release or build suffix ("21-ea", "17.0.9+9") does not
// change the release a runtime implements, so it is not compared.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "text.h"

namespace varkel {

struct JavaVersion {
    WideString text;                  // as it was written: "1.8.0_392", "17.0.9", "21-ea"
    std::vector<WideString> numbers;  // the release first ("1.8" counts as 8), no leading zeros, no trailing zero parts
};

// A version is numbers joined by single "." or "_", optionally followed by
// "-" or "+" and a suffix of letters, digits, ".", "_", "-" and "+". Absent
// for any other text, the empty text included.
std::optional<JavaVersion> parseJavaVersion(WideView text);

// Negative when a is older than b, 0 when they are the same release, positive
// when a is newer. "17" and "17.0.0" are the same; "17" is older than "17.0.1".
int compareJavaVersions(const JavaVersion& a, const JavaVersion& b);

// The JAVA_VERSION line of a "release" file (JAVA_VERSION="17.0.9"); absent
// when the file has none or its value is no version.
std::optional<JavaVersion> releaseFileJavaVersion(std::string_view bytes);

// The version a JVM library's product version states (the four numbers of
// its version resource): "17.0.9.0" is Java 17.0.9; from Java 8 and older,
// whose libraries count their updates in a form of their own, only the
// release is taken ("8.0.3920.8" is Java 1.8). Absent for a product version
// that names no Java release (0.x).
std::optional<JavaVersion> productVersionJavaVersion(const std::array<std::uint16_t, 4>& parts);

}  // namespace varkel
