// Constants fixed when the launcher is built: the same sources make the 32-bit
// "Varkel.exe" and the 64-bit "Varkel-64.exe". VARKEL_BITS is set by the build
// (the native tests build the portable code once for each value).
#pragma once

#ifndef VARKEL_BITS
#if defined(_WIN64) || defined(__x86_64__) || defined(__aarch64__)
#define VARKEL_BITS 64
#else
#define VARKEL_BITS 32
#endif
#endif

namespace varkel {

inline constexpr int kProcessBits = VARKEL_BITS;
inline constexpr int kOtherBits = kProcessBits == 32 ? 64 : 32;
inline constexpr bool kIs32BitBuild = kProcessBits == 32;
// INVALID_HANDLE_VALUE as the build's pointer sees it (all bits set).
inline constexpr unsigned long long kInvalidHandleValue = kProcessBits == 32 ? 0xFFFFFFFFull : ~0ull;

}  // namespace varkel
