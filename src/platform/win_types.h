// Win32 scalar and handle types as the portable code sees them.
//
// The handle types are the SDK's own opaque pointer types (the SDK declares
// `struct HKEY__` and `typedef HKEY__* HKEY`), so on Windows a tavrel::Hkey *is*
// an HKEY and crosses into the platform backends without a cast. The host build
// never completes these structs; its fakes hand out made-up pointer values.
//
// Constants carry a k-prefix so they cannot collide with the SDK's macros in
// the backends, which static_assert that each one matches its SDK twin.
#pragma once

#include <cstdint>

struct HKEY__;
struct HWND__;
struct HICON__;
struct HINSTANCE__;

namespace tavrel {

// 32 bits on both builds; on Windows the very types of the SDK (long is
// 32-bit there), so pointers to them pass straight into the SDK's calls.
#if defined(_WIN32)
using DWORD = unsigned long;
using LONG = long;
using HRESULT = long;
#else
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using HRESULT = std::int32_t;
#endif
static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4);
using LSTATUS = LONG;
using BOOL = int;
using BYTE = std::uint8_t;
using UINT = unsigned int;
using REGSAM = DWORD;
using Hkey = HKEY__*;
using Hwnd = HWND__*;
using Hicon = HICON__*;
using Hinstance = HINSTANCE__*;
using Handle = void*;  // kernel object (process, mutex, event)

// System error codes used by the logic and by the fakes.
inline constexpr LSTATUS kErrorSuccess = 0;
inline constexpr LSTATUS kErrorFileNotFound = 2;
inline constexpr LSTATUS kErrorPathNotFound = 3;
inline constexpr LSTATUS kErrorAccessDenied = 5;
inline constexpr LSTATUS kErrorInvalidHandle = 6;
inline constexpr LSTATUS kErrorNotEnoughMemory = 8;
inline constexpr LSTATUS kErrorNoMoreFiles = 18;
inline constexpr LSTATUS kErrorInvalidParameter = 87;
inline constexpr LSTATUS kErrorInvalidName = 123;
inline constexpr LSTATUS kErrorAlreadyExists = 183;
inline constexpr LSTATUS kErrorMoreData = 234;
inline constexpr LSTATUS kErrorNoMoreItems = 259;
inline constexpr LSTATUS kErrorIoDevice = 1117;

// Registry value types.
inline constexpr DWORD kRegNone = 0;
inline constexpr DWORD kRegSz = 1;
inline constexpr DWORD kRegExpandSz = 2;
inline constexpr DWORD kRegBinary = 3;
inline constexpr DWORD kRegDword = 4;
inline constexpr DWORD kRegMultiSz = 7;

// Registry dispositions of RegCreateKeyEx.
inline constexpr DWORD kRegCreatedNewKey = 1;
inline constexpr DWORD kRegOpenedExistingKey = 2;

// File attributes.
inline constexpr DWORD kFileAttributeReadonly = 0x01;
inline constexpr DWORD kFileAttributeHidden = 0x02;
inline constexpr DWORD kFileAttributeSystem = 0x04;
inline constexpr DWORD kFileAttributeDirectory = 0x10;
inline constexpr DWORD kFileAttributeArchive = 0x20;
inline constexpr DWORD kFileAttributeNormal = 0x80;
inline constexpr DWORD kInvalidFileAttributes = 0xFFFFFFFF;

// Show-window codes.
inline constexpr int kSwShowNormal = 1;

// Message-box styles and results.
inline constexpr UINT kMbOk = 0x0;
inline constexpr UINT kMbYesNo = 0x4;
inline constexpr UINT kMbIconError = 0x10;
inline constexpr UINT kMbIconQuestion = 0x20;
inline constexpr UINT kMbIconWarning = 0x30;
inline constexpr UINT kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// WM_COMMAND notification codes of buttons and of static controls (the two
// kinds share 0 for a click).
inline constexpr int kBnClicked = 0;
inline constexpr int kBnDoubleClicked = 5;
inline constexpr int kStnClicked = 0;
inline constexpr int kStnDblClk = 1;

// Drop effects answered to a drag source.
inline constexpr DWORD kDropEffectNone = 0;
inline constexpr DWORD kDropEffectCopy = 1;

// GetWindow commands.
inline constexpr UINT kGwHwndNext = 2;
inline constexpr UINT kGwChild = 5;
inline constexpr UINT kGaRoot = 2;

}  // namespace tavrel
