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
std::optional<WideString> readPath(RegistryRoot root, RegistryView view, const WideString& key,
                                   const char16_t* valueName, bool trimBackslashes) {
    auto value = platform::readRegistryText(root, view, key, valueName);
    if (!value) return std::nullopt;
    if (trimBackslashes)
        while (!value->empty() && value->back() == u'\\') value->pop_back();
    if (value->empty()) return std::nullopt;
    return value;
}

// The version subkeys, highest first; for Oracle's keys the version named by
// "CurrentVersion" goes first when it is installed (a name that matches no
// subkey changes nothing).
std::vector<WideString> versionsInOrder(RegistryRoot root, RegistryView view, const InstallerKey& installer) {
    std::vector<WideString> versions = platform::registrySubkeyNames(root, view, installer.key);
    sortHighestVersionFirst(versions);
    if (!installer.javaSoft || versions.empty()) return versions;
    auto current = platform::readRegistryText(root, view, installer.key, kCurrentVersion);
    if (!current) return versions;
    // Key names are compared without regard to letter case, as the registry does.
    auto named = std::find_if(versions.begin(), versions.end(),
                              [&](const WideString& v) { return equalsIgnoreCase(v, *current); });
    std::rotate(versions.begin(), named, named == versions.end() ? named : named + 1);
    return versions;
}

void appendInstallerKey(std::vector<JavaHomeCandidate>& found, RegistryRoot root, RegistryView view,
                        const InstallerKey& installer) {
    for (const WideString& version : versionsInOrder(root, view, installer)) {
        const WideString key = WideString(installer.key) + u"\\" + version + installer.belowVersion;
        JavaHomeCandidate candidate;
        candidate.javaHome = readPath(root, view, key, installer.homeValue, true);
        if (installer.javaSoft) candidate.runtimeLib = readPath(root, view, key, kRuntimeLib, false);
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
