#include "platform/win32/win32_variant.h"

#include <windows.h>
// oleauto.h needs the declarations of windows.h.
#include <oleauto.h>

#include <memory>
#include <type_traits>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(std::is_same_v<tavrel::SHORT, ::SHORT> && std::is_same_v<tavrel::LCID, ::LCID> &&
              std::is_same_v<tavrel::ULONG, ::ULONG>);
static_assert(kLocaleUserDefault == LOCALE_USER_DEFAULT);
static_assert(kSOk == S_OK && kEInvalidArg == E_INVALIDARG &&
              kDispETypeMismatch == DISP_E_TYPEMISMATCH && kDispEOverflow == DISP_E_OVERFLOW);
static_assert(sizeof(OleDate) == sizeof(DATE));

namespace {

struct BstrFree {
  void operator()(OLECHAR* s) const { SysFreeString(s); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

// MinGW declares the input strings of these calls without const; oleaut32
// only reads them.
OLECHAR* InputText(const char16_t* s) { return const_cast<OLECHAR*>(AsWide(s)); }

}  // namespace

HRESULT Win32VariantConversions::VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                                              SHORT* psOut) {
  return ::VarI2FromStr(InputText(strIn), lcid, dwFlags, psOut);
}

HRESULT Win32VariantConversions::VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                                                OleDate* pdateOut) {
  if (!pdateOut) return E_INVALIDARG;
  return ::VarDateFromStr(InputText(strIn), lcid, dwFlags, &pdateOut->value);
}

HRESULT Win32VariantConversions::VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                                                 std::u16string* pbstrOut) {
  if (!pbstrOut) return E_INVALIDARG;
  BSTR raw = nullptr;
  const HRESULT hr = ::VarBstrFromDate(dateIn.value, lcid, dwFlags, &raw);
  const UniqueBstr text(raw);
  if (SUCCEEDED(hr)) {
    pbstrOut->assign(reinterpret_cast<const char16_t*>(text.get()), SysStringLen(text.get()));
  }
  return hr;
}

OleDate Win32VariantConversions::Now() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  OleDate now;
  SystemTimeToVariantTime(&local, &now.value);
  return now;
}

}  // namespace tavrel
