// UTF-16 text helpers of the three deliverables.
//
// The launcher's text is UTF-16 everywhere ("wide"); portable code holds it as
// std::u16string so that it means the same on Windows (16-bit wchar_t) and on
// Linux (32-bit wchar_t), where the native tests run. Narrow 8-bit text appears
// only where the JNI Invocation API and the splash-screen library take it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utf8.h"

namespace varkel {

using WideString = std::u16string;
using WideView = std::u16string_view;

// Narrow copy with the C runtime's "C"-locale wcstombs semantics: every
// character up to U+00FF becomes the byte of the same value; a text holding any
// character above U+00FF converts to the empty string.
std::string toNarrow(WideView text);

// Like toNarrow, but says when the text could not be converted instead of
// silently giving an empty string.
std::optional<std::string> toNarrowIfLatin1(WideView text);

// Each byte becomes the UTF-16 code unit of the same value (the configuration
// file's encoding: no UTF-8 decoding, no byte-order mark handling).
WideString widenBytes(std::string_view bytes);

// ASCII-only widening for literals, export names and numbers built in narrow form.
WideString widenAscii(std::string_view ascii);

WideString concatWide(WideView a, WideView b);

bool endsWith(WideView text, WideView suffix);
// Case-insensitive in the manner of _wcsicmp: A-Z fold to a-z, nothing else.
bool endsWithIgnoreCase(WideView text, WideView suffix);
bool equalsIgnoreCase(WideView a, WideView b);
bool startsWith(WideView text, WideView prefix);

// A copy without leading blanks (U+0020 only; tabs stay).
WideString skipLeadingSpaces(WideView text);

// The C runtime's isspace set: blank, tab, LF, VT, FF, CR.
bool isCSpace(char16_t c);
// Trims that white space at both ends.
WideString trimSpaces(WideView text);

// Removes every later exact (case-sensitive) duplicate; the first occurrence
// of each text keeps its place. Returns the new count.
std::size_t removeDuplicates(std::vector<WideString>& texts);

// PathRemoveFileSpecW on a copy: drops the last path component and the
// backslash before it, keeping a drive root's backslash ("C:\x" gives "C:\").
WideString removeFileSpec(WideView path);

}  // namespace varkel
