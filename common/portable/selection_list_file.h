// The file through which the shell extension hands a large selection to the
// launcher: a command line holds at most 32,767 characters, so a selection
// that does not fit goes into a list file in the user's temporary folder, and
// the launcher is started with "--file-list=" and that file's path. The
// launcher deletes such a list once the Java program holds its arguments; it
// knows the extension's lists by their folder and by these names alone.
//
// Both deliverables include this header; it holds names only.
#pragma once

#include <string_view>

namespace varkel::selection_list {

inline constexpr std::u16string_view kFileListOption = u"--file-list=";
inline constexpr std::u16string_view kNamePrefix = u"Varkel-selection-";
inline constexpr std::u16string_view kNameSuffix = u".txt";

}  // namespace varkel::selection_list
