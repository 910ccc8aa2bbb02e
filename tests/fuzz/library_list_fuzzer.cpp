// The library lists: the JVM library paths built from Java-home candidates,
// the "lib" archives listed through the fake platform, and the class-path
// option built from them.
//
// Properties: the JVM library list holds, in first-seen order and without
// repeats, exactly each candidate's registered library followed by its four
// jvm.dll locations; the archive list holds exactly the directory's "*.jar"
// files (any letter case, no directories) in listing order, or nothing, with
// one message, when the listing failed; the class-path option starts with
// the fixed prefix and default class path and holds every archive whose name
// has 8-bit text, in order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <set>

#include "fake_platform.h"
#include "fuzz_text.h"
#include "jvm_library.h"
#include "jvm_options.h"
#include "library_jars.h"

namespace {

using varkel::WideString;

constexpr std::size_t kMaxItems = 64;
constexpr std::size_t kMaxTextBytes = 48;
constexpr std::uint32_t kErrorNoMoreFiles = 18;

WideString someText(FuzzedDataProvider& input) {
    return fuzz::wideText(input.ConsumeRandomLengthString(kMaxTextBytes));
}

bool endsWithJarAnyCase(const WideString& name) {
    if (name.size() < 4) return false;
    WideString tail = name.substr(name.size() - 4);
    for (char16_t& c : tail)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return tail == u".jar";
}

void checkJvmLibraryPaths(FuzzedDataProvider& input) {
    std::vector<varkel::JavaHomeCandidate> candidates(input.ConsumeIntegralInRange<std::size_t>(0, kMaxItems));
    std::vector<WideString> everyPath;
    for (auto& candidate : candidates) {
        if (input.ConsumeBool()) candidate.runtimeLib = someText(input);
        if (input.ConsumeBool()) candidate.javaHome = someText(input);
        if (candidate.runtimeLib) everyPath.push_back(*candidate.runtimeLib);
        if (candidate.javaHome)
            for (const char16_t* tail : {u"\\bin\\client\\jvm.dll", u"\\bin\\server\\jvm.dll",
                                         u"\\jre\\bin\\client\\jvm.dll", u"\\jre\\bin\\server\\jvm.dll"})
                everyPath.push_back(*candidate.javaHome + tail);
    }
    std::vector<WideString> expected;
    std::set<WideString> seen;
    for (const auto& path : everyPath)
        if (seen.insert(path).second) expected.push_back(path);
    fuzz::require(varkel::jvmLibraryPaths(candidates) == expected,
                  "each candidate's libraries, in order, each path once");
}

std::vector<WideString> checkLibraryJars(FuzzedDataProvider& input) {
    fake::reset();
    const WideString directory = input.ConsumeBool() ? WideString(u"lib") : someText(input);
    varkel::platform::DirectoryListing listing;
    listing.started = input.ConsumeBool() || input.ConsumeBool();  // mostly started
    listing.endError = input.ConsumeBool() ? kErrorNoMoreFiles : input.ConsumeIntegral<std::uint32_t>();
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, kMaxItems);
    std::vector<WideString> expected;
    for (std::size_t i = 0; i < count; ++i) {
        varkel::platform::DirectoryEntry entry;
        entry.name = someText(input);
        if (input.ConsumeBool()) entry.name += input.ConsumeBool() ? u".jar" : u".JaR";
        entry.isDirectory = input.ConsumeIntegralInRange<int>(0, 3) == 0;
        if (!entry.isDirectory && endsWithJarAnyCase(entry.name)) expected.push_back(directory + u"\\" + entry.name);
        listing.entries.push_back(std::move(entry));
    }
    const bool listed = listing.started && listing.endError == kErrorNoMoreFiles;
    fake::machine().directories[fake::machine().resolve(directory + u"\\*")] = listing;

    const std::vector<WideString> jars = varkel::listLibraryJarEntries(directory);
    if (listed) {
        fuzz::require(jars == expected, "exactly the directory's archives, in listing order");
        fuzz::require(fake::machine().boxes.empty(), "a listing that worked shows no message");
    } else {
        fuzz::require(jars.empty(), "a failed listing gives no archives");
        fuzz::require(fake::machine().boxes.size() == 1, "a failed listing is reported once");
    }
    return jars;
}

void checkClassPathOption(FuzzedDataProvider& input, const std::vector<WideString>& jars) {
    varkel::StartupConfig config;
    if (input.ConsumeBool()) config.additionalClasspath = someText(input);
    const std::string option = varkel::buildClassPathOption(config, jars);
    const std::string head = "-Djava.class.path=classes;parsers\\classes;managers\\classes;jar\\varkel.jar;";
    fuzz::require(option.compare(0, head.size(), head) == 0, "the option starts with the default class path");
    std::size_t from = head.size();
    for (const auto& jar : jars) {
        auto narrow = varkel::toNarrowIfLatin1(jar);
        if (!narrow) continue;
        const std::size_t at = option.find(*narrow, from);
        fuzz::require(at != std::string::npos, "every 8-bit archive name is on the class path, in order");
        from = at + narrow->size();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    checkJvmLibraryPaths(input);
    const std::vector<WideString> jars = checkLibraryJars(input);
    checkClassPathOption(input, jars);
    return 0;
}
