// The order in which installed Java versions are tried: the highest first.
//
// Installers name their registry keys after the version they installed
// ("17.0.12.7", "1.8.0_402", "21") or after the product and its version
// ("zulu-21", "jdk-17"). Such names compare by their numbers, part by part,
// never as text: "17.0.12.7" is above "17.0.9", "1.8.0_402" above "1.8.0_92".
#pragma once

#include <span>
#include <vector>

#include "text.h"

namespace varkel {

// Sorts key names from the highest version to the lowest. A name is a version
// when, after a leading part without digits (the product, as in "zulu-"), it
// is made of numbers joined by single ".", "_", "-" or "+". Names that are no
// version come after every version, by name (letter case aside). Equal
// versions keep a fixed order, by name as well.
void sortHighestVersionFirst(std::vector<WideString>& names);

// The same order as positions into names (each name is taken apart once).
std::vector<std::size_t> highestVersionFirst(const std::vector<WideString>& names);

// Two versions given as their numbers (decimal digits without leading zeros),
// compared part by part as numbers of any length; where one goes on after the
// other ends, the further part makes it the higher ("17.0.1" above "17").
// Negative when a is the lower, 0 when equal, positive when a is the higher.
int compareVersionNumbers(std::span<const WideView> a, std::span<const WideView> b);

}  // namespace varkel
