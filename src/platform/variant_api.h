// The oleaut32 conversions between text and numbers or dates that Tavrel
// makes, with the SDK's arguments and HRESULTs. Text is UTF-16 as OLECHAR is.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace tavrel {

using SHORT = std::int16_t;
using ULONG = DWORD;
using LCID = DWORD;

inline constexpr LCID kLocaleUserDefault = 0x0400;

inline constexpr HRESULT kSOk = 0;
inline constexpr HRESULT kEInvalidArg = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT kDispETypeMismatch = static_cast<HRESULT>(0x80020005);
inline constexpr HRESULT kDispEOverflow = static_cast<HRESULT>(0x8002000A);

inline constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

// An OLE DATE: days since 1899-12-30 in the integer part, the time of day as
// the fraction of a day. Before that day the value is negative while the
// fraction still counts forward (-1.5 is 1899-12-29 12:00).
struct OleDate {
  double value = 0.0;
  bool operator==(const OleDate&) const = default;
};

class IVariantConversions {
 public:
  virtual ~IVariantConversions() = default;

  // Numeric text to a 16-bit integer under the locale's separators; a fraction
  // is rounded half to even. DISP_E_TYPEMISMATCH for text that is not a
  // number, DISP_E_OVERFLOW outside -32768..32767.
  virtual HRESULT VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags, SHORT* psOut) = 0;
  // Date and/or time text under the locale's rules to a DATE;
  // DISP_E_TYPEMISMATCH when it is not a date.
  virtual HRESULT VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                                 OleDate* pdateOut) = 0;
  // A DATE as text: the locale's short date, then its time format unless the
  // time is midnight (a DATE below one day gives the time alone). The BSTR the
  // call returns is copied to *pbstrOut and freed.
  virtual HRESULT VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                                  std::u16string* pbstrOut) = 0;

  // The current local date and time, to the second.
  virtual OleDate Now() = 0;
};

}  // namespace tavrel
