// The Java archives of the installation's "lib" directory, for the class path.
#pragma once

#include <vector>

#include "launch_context.h"

namespace varkel {

// Every "*.jar" file (any letter case, no directories, no subdirectories) as
// "<directory>\<name>", in the order the file system lists them. When the
// directory cannot be listed the user is told and the list is empty.
std::vector<WideString> listLibraryJarEntries(const WideString& directory);

// The same entries joined by ";".
WideString listLibraryJars(const WideString& directory);

}  // namespace varkel
