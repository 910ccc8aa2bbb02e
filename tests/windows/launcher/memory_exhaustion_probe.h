// What memory_exhaustion_probe.exe and its test share.
#pragma once

namespace probe {

inline constexpr unsigned kHandledExitCode = 42;

// The routes by which the probe runs out of memory, as its argument.
inline constexpr const wchar_t* kOperatorNew = L"new";
inline constexpr const wchar_t* kStringBeyondMaxSize = L"string";
inline constexpr const wchar_t* kVectorBeyondMaxSize = L"vector";
inline constexpr const wchar_t* kSmallAllocations = L"small";

}  // namespace probe
