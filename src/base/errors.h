// What a failed call reports across Tavrel's seams: a Windows system error
// code, 0 for success. The logic tells only these apart; any other code is
// shown to the user with the system's text for it.
#pragma once

#include <cstdint>

struct HWND__;

namespace tavrel {

using ErrorCode = std::uint32_t;

inline constexpr ErrorCode kSuccess = 0;
inline constexpr ErrorCode kFileNotFound = 2;
inline constexpr ErrorCode kPathNotFound = 3;
inline constexpr ErrorCode kAccessDenied = 5;
inline constexpr ErrorCode kAlreadyExists = 183;
inline constexpr ErrorCode kCancelled = 1223;

// A window of the Win32 shell, opaque below it: the owner of a message box or
// of the shell's own prompts. The SDK declares HWND as HWND__*, so on Windows
// this is an HWND.
using WindowHandle = ::HWND__*;

}  // namespace tavrel
