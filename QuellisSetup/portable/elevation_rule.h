// When and how a failed attempt is repeated by an elevated instance.
#pragma once

#include <string>
#include <string_view>

namespace varkel::setup {

// Only an all-users attempt that got past the command-line check and failed
// (-2 to -6) is repeated, and never by an instance that was itself started
// with "/nofork". A rejected command line (-1) is not repeated: the second
// instance would only reject it again.
bool shouldRestartElevated(int attemptResult, bool allUsers, bool forkAllowed);

// "/nofork", one blank, then the command line this instance received, as it was.
std::u16string elevatedParameters(std::u16string_view commandLine);

}  // namespace varkel::setup
