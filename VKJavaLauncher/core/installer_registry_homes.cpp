// Java homes from the keys that current Java installers write. Since Java 9,
// Oracle's installers no longer write "Java Runtime Environment"'s
// CurrentVersion, and most vendors write keys of their own and no JavaSoft
// key at all; without this source such a Java is found only through
// JAVA_HOME or PATH, which their installers leave unset by default.
#include <algorithm>

#include "java_homes.h"
#include "platform.h"
#include "version_order.h"

namespace varkel {

namespace {

using platform::RegistryRoot;
using platform::RegistryView;

// A key whose subkeys are installed versions, and where below each version
// the installer wrote the Java home.
struct InstallerKey {
    const char16_t* key;
    const char16_t* belowVersion;  // the path from a version subkey to the values
    const char16_t* homeValue;
    bool javaSoft;                 // "CurrentVersion" first, and "RuntimeLib" beside the home
};

constexpr const char16_t* kHotspotMsi = u"\\hotspot\\MSI";

// Oracle's keys, under HKEY_LOCAL_MACHINE only: Java 9 and later, then the
// development kits of Java 8 and older.
constexpr InstallerKey kJavaSoftKeys[] = {
    {u"SOFTWARE\\JavaSoft\\JDK", u"", u"JavaHome", true},
    {u"SOFTWARE\\JavaSoft\\JRE", u"", u"JavaHome", true},
    {u"SOFTWARE\\JavaSoft\\Java Development Kit", u"", u"JavaHome", true},
};

// The vendors' own keys, under HKEY_LOCAL_MACHINE and then HKEY_CURRENT_USER,
// where per-user installs write.
constexpr InstallerKey kVendorKeys[] = {
    {u"SOFTWARE\\Eclipse Adoptium\\JDK", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\Eclipse Adoptium\\JRE", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\AdoptOpenJDK\\JDK", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\AdoptOpenJDK\\JRE", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\Eclipse Foundation\\JDK", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\Eclipse Foundation\\JRE", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\Microsoft\\JDK", kHotspotMsi, u"Path", false},
    {u"SOFTWARE\\Azul Systems\\Zulu", u"", u"InstallationPath", false},
    {u"SOFTWARE\\BellSoft\\Liberica", u"", u"InstallationPath", false},
};

constexpr const char16_t* kCurrentVersion = u"CurrentVersion";
constexpr const char16_t* kRuntimeLib = u"RuntimeLib";

// A text value as a path: an empty one counts as missing, and trailing
// backslashes go, so that the library paths built from it are well formed.
std::optional<WideString> asPath(std::optional<WideString> value, bool trimBackslashes) {
    if (!value) return std::nullopt;
    if (trimBackslashes)
        while (!value->empty() && value->back() == u'\\') value->pop_back();
    if (value->empty()) return std::nullopt;
    return value;
}

// The installed versions with their values, highest first; for Oracle's keys
// the version named by "CurrentVersion" goes first when it is installed (a
// name that matches no subkey changes nothing).
std::vector<platform::RegistrySubkeyTexts> versionsInOrder(RegistryRoot root, RegistryView view,
                                                           const InstallerKey& installer) {
    std::vector<WideString> valueNames{installer.homeValue};
    if (installer.javaSoft) valueNames.emplace_back(kRuntimeLib);
    auto versions = platform::readSubkeyTexts(root, view, installer.key, installer.belowVersion, valueNames);
    std::vector<WideString> names;
    names.reserve(versions.size());
    for (const auto& version : versions) names.push_back(version.name);
    std::vector<platform::RegistrySubkeyTexts> ordered;
    ordered.reserve(versions.size());
    for (std::size_t i : highestVersionFirst(names)) ordered.push_back(std::move(versions[i]));
    if (!installer.javaSoft || ordered.empty()) return ordered;
    auto current = platform::readRegistryText(root, view, installer.key, kCurrentVersion);
    if (!current) return ordered;
    // Key names are compared without regard to letter case, as the registry does.
    auto named = std::find_if(ordered.begin(), ordered.end(),
                              [&](const platform::RegistrySubkeyTexts& v) { return equalsIgnoreCase(v.name, *current); });
    std::rotate(ordered.begin(), named, named == ordered.end() ? named : named + 1);
    return ordered;
}

void appendInstallerKey(std::vector<JavaHomeCandidate>& found, RegistryRoot root, RegistryView view,
                        const InstallerKey& installer) {
    for (auto& version : versionsInOrder(root, view, installer)) {
        JavaHomeCandidate candidate;
        candidate.javaHome = asPath(std::move(version.values[0]), true);
        if (installer.javaSoft) candidate.runtimeLib = asPath(std::move(version.values[1]), false);
        if (!candidate.javaHome && !candidate.runtimeLib) continue;
        candidate.bitness = view == RegistryView::view32 ? JavaBitness::bits32 : JavaBitness::bits64;
        candidate.source = JavaHomeSource::registry;
        found.push_back(std::move(candidate));
    }
}

template <std::size_t N>
void appendKeys(std::vector<JavaHomeCandidate>& found, RegistryRoot root, const InstallerKey (&keys)[N]) {
    for (const InstallerKey& installer : keys)
        for (RegistryView view : {RegistryView::view32, RegistryView::view64})
            appendInstallerKey(found, root, view, installer);
}

}  // namespace

std::vector<JavaHomeCandidate> javaPathsFromInstallerRegistry() {
    std::vector<JavaHomeCandidate> found;
    appendKeys(found, RegistryRoot::localMachine, kJavaSoftKeys);
    appendKeys(found, RegistryRoot::localMachine, kVendorKeys);
    appendKeys(found, RegistryRoot::currentUser, kVendorKeys);
    return found;
}

}  // namespace varkel
