// Filling the setup tool's message formats, bounded to the size of its
// message buffer.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace varkel::setup {

// The message buffer holds 1024 characters, terminator included.
inline constexpr std::size_t kMessageBufferChars = 1024;
inline constexpr std::size_t kMaxMessageChars = kMessageBufferChars - 1;

// Replaces each "%s" of format, in order, with the next argument (nothing once
// the arguments run out) and cuts the result to kMaxMessageChars, never in the
// middle of a surrogate pair.
std::u16string FormatSetupMessage(std::u16string_view format, std::initializer_list<std::u16string_view> arguments);

// The usage message for a rejected command line. A command line too long to
// be quoted whole is shortened and marked, so that the usage part, which
// tells the user what to type, always shows in full.
std::u16string usageMessage(std::u16string_view commandLine);

}  // namespace varkel::setup
