// The Java-version readers on arbitrary input: a version text, a release
// file's JAVA_VERSION line, a version resource's product version. No crash,
// and what they give is a version that reads back the same and orders
// consistently.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "fuzz_text.h"
#include "java_version.h"

namespace {

int sign(int value) { return (value > 0) - (value < 0); }

void checkVersion(const varkel::JavaVersion& version) {
    fuzz::require(!version.numbers.empty(), "a version has a release number");
    for (const varkel::WideString& number : version.numbers)
        fuzz::require(!number.empty() && (number.size() == 1 || number.front() != u'0'), "numbers keep no leading zero");
    const std::optional<varkel::JavaVersion> again = varkel::parseJavaVersion(version.text);
    fuzz::require(again && again->numbers == version.numbers, "a version's own text reads back the same");
    fuzz::require(varkel::compareJavaVersions(version, version) == 0, "a version is its own release");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Two texts, split at the first NUL: each read, and the pair compared both ways.
    const std::size_t nul = bytes.find('\0');
    const varkel::WideString first = fuzz::wideText(bytes.substr(0, nul));
    const varkel::WideString second = nul == std::string_view::npos ? varkel::WideString() : fuzz::wideText(bytes.substr(nul + 1));
    const std::optional<varkel::JavaVersion> a = varkel::parseJavaVersion(first);
    const std::optional<varkel::JavaVersion> b = varkel::parseJavaVersion(second);
    if (a) checkVersion(*a);
    if (b) checkVersion(*b);
    if (a && b)
        fuzz::require(sign(varkel::compareJavaVersions(*a, *b)) == -sign(varkel::compareJavaVersions(*b, *a)),
                      "the order is antisymmetric");

    if (const std::optional<varkel::JavaVersion> release = varkel::releaseFileJavaVersion(bytes)) checkVersion(*release);

    std::array<std::uint16_t, 4> parts{};
    std::memcpy(parts.data(), data, std::min(size, sizeof parts));
    if (const std::optional<varkel::JavaVersion> product = varkel::productVersionJavaVersion(parts)) {
        checkVersion(*product);
        fuzz::require(parts[0] != 0, "a product version 0.x names no Java");
    }
    return 0;
}
