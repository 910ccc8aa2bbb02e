#include "library_jars.h"

#include "format.h"
#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

constexpr std::uint32_t kErrorNoMoreFiles = 18;

// Listing failures are not fatal: the main archive's manifest also names the
// archives the program needs, so the launch goes on after the message.
void reportListingProblem(const WideString& message) {
    platform::messageBox(message, text::kCaption, text::kStyleFatal);
}

}  // namespace

std::vector<WideString> listLibraryJarEntries(const WideString& directory) {
    platform::DirectoryListing listing = platform::listDirectory(directory + u"\\*");
    if (!listing.started) {
        reportListingProblem(formatMessage(text::kUnableToListJars, {FormatArg::pointer(listing.searchHandle)}));
        return {};
    }
    if (listing.endError != kErrorNoMoreFiles) {
        reportListingProblem(
            formatMessage(text::kFailedToListJars, {static_cast<std::int32_t>(listing.endError)}));
        return {};
    }
    std::vector<WideString> jars;
    for (const platform::DirectoryEntry& entry : listing.entries) {
        if (entry.isDirectory || !endsWithIgnoreCase(entry.name, text::kJarSuffix)) continue;
        jars.push_back(directory + u"\\" + entry.name);
    }
    return jars;
}

WideString listLibraryJars(const WideString& directory) {
    WideString list;
    for (const WideString& jar : listLibraryJarEntries(directory)) {
        if (!list.empty()) list += u';';
        list += jar;
    }
    return list;
}

}  // namespace varkel
