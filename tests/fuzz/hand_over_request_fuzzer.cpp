// The hand-over's request and answer decoders on arbitrary bytes: no crash,
// hang or leak, and what they accept is exactly what the encoders write, so
// a request that decodes holds only what its encoding can carry.
#include <cstdint>
#include <string_view>

#include "fuzz_text.h"
#include "hand_over_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<varkel::HandOverRequest> request = varkel::decodeHandOverRequest(bytes);
    if (request) {
        fuzz::require(request->arguments.size() <= varkel::kHandOverMaxArguments, "the argument count is in bounds");
        fuzz::require(varkel::handOverPayloadSize(bytes) == size - varkel::kHandOverHeaderBytes,
                      "an accepted request has the size its header states");
        fuzz::require(varkel::encodeHandOverRequest(*request) == std::string(bytes),
                      "an accepted request encodes back to its own bytes");
    }
    if (const std::optional<varkel::HandOverStatus> status = varkel::decodeHandOverAnswer(bytes))
        fuzz::require(varkel::encodeHandOverAnswer(*status) == bytes, "an accepted answer encodes back to its bytes");
    return 0;
}
