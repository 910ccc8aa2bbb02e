// What a later launch hands to the running instance of the same installation
// (SINGLE_INSTANCE=1): its working directory and its Java arguments, as one
// versioned, length-prefixed request over a named pipe, and the one answer
// that comes back. Portable: the Windows side (win/hand_over_pipe.cpp) moves
// the bytes, this file gives them their form and their limits.
//
// A request, every number an unsigned 32-bit little-endian value:
//   "VKHO", version (1), payload size in bytes,
//   then the payload: the working directory's length in UTF-16 units and its
//   units, the argument count, and for each argument its length and units.
// An answer: "VKHA", then the status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text.h"

namespace varkel {

inline constexpr std::uint32_t kHandOverVersion = 1;
inline constexpr std::size_t kHandOverHeaderBytes = 12;
inline constexpr std::size_t kHandOverAnswerBytes = 8;
// The limits: a selection of 10,000 paths of 4,000 characters fits; a
// request that does not is never sent (that launch starts the program itself)
// and never read.
inline constexpr std::uint32_t kHandOverMaxArguments = 100000;
inline constexpr std::uint32_t kHandOverMaxTextUnits = 32767;  // the longest path Windows allows
inline constexpr std::uint32_t kHandOverMaxPayloadBytes = 128u * 1024u * 1024u;

struct HandOverRequest {
    WideString workingDirectory;
    std::vector<WideString> arguments;
};

enum class HandOverStatus : std::uint32_t {
    delivered = 0,     // openVK returned normally
    refused = 1,       // a malformed, oversized or unknown request
    failed = 2,        // openVK threw, or the JVM could not take the request
};

// The whole request, or absent when it exceeds a limit.
std::optional<std::string> encodeHandOverRequest(const HandOverRequest& request);
// The payload size a header announces; absent for another magic, another
// version or a size beyond the limit.
std::optional<std::uint32_t> handOverPayloadSize(std::string_view header);
// A whole request (header and payload); absent when anything is malformed:
// a bad header, a length or count beyond its limit, a size that disagrees
// with the content, a NUL inside a text.
std::optional<HandOverRequest> decodeHandOverRequest(std::string_view bytes);

std::string encodeHandOverAnswer(HandOverStatus status);
// Absent unless the bytes are an answer with a known status.
std::optional<HandOverStatus> decodeHandOverAnswer(std::string_view bytes);

// "\\.\pipe\Varkel-<16 hex digits>": a hash of the installation folder (A-Z
// folded, trailing backslashes dropped, so spellings that differ only so
// meet), the user's SID and the logon session. Of bounded length whatever the
// folder's. The name only finds the instance: the pipe's DACL and the
// identity checks on both ends make it safe.
WideString handOverPipeName(WideView installationFolder, std::string_view userSid, std::uint32_t sessionId);

}  // namespace varkel
