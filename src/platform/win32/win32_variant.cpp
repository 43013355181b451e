#include "platform/win32/win32_variant.h"

#include <string>
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

// MinGW declares the input strings of these calls without const; oleaut32
// only reads them.
OLECHAR* InputText(const char16_t* s) { return const_cast<OLECHAR*>(AsWide(s)); }

template <typename Function>
bool Resolve(HMODULE library, const char* name, Function*& function) {
  function = reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return function != nullptr;
}

}  // namespace

const Win32VariantConversions::Calls* Win32VariantConversions::Loaded() {
  if (tried_) return calls_ ? &*calls_ : nullptr;
  tried_ = true;
  // By its full path in the system folder, never from beside the executable.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  UniqueLibrary library(LoadLibraryW((std::wstring(system, length) + L"\\oleaut32.dll").c_str()));
  Calls calls;
  if (!library || !Resolve(library.get(), "VarI2FromStr", calls.varI2FromStr) ||
      !Resolve(library.get(), "VarDateFromStr", calls.varDateFromStr) ||
      !Resolve(library.get(), "VarBstrFromDate", calls.varBstrFromDate) ||
      !Resolve(library.get(), "SysStringLen", calls.sysStringLen) ||
      !Resolve(library.get(), "SysFreeString", calls.sysFreeString) ||
      !Resolve(library.get(), "SystemTimeToVariantTime", calls.systemTimeToVariantTime)) {
    return nullptr;
  }
  library_ = std::move(library);
  calls_ = calls;
  return &*calls_;
}

HRESULT Win32VariantConversions::VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                                              SHORT* psOut) {
  const Calls* calls = Loaded();
  if (!calls) return E_FAIL;
  return calls->varI2FromStr(InputText(strIn), lcid, dwFlags, psOut);
}

HRESULT Win32VariantConversions::VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                                                OleDate* pdateOut) {
  if (!pdateOut) return E_INVALIDARG;
  const Calls* calls = Loaded();
  if (!calls) return E_FAIL;
  return calls->varDateFromStr(InputText(strIn), lcid, dwFlags, &pdateOut->value);
}

HRESULT Win32VariantConversions::VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                                                 std::u16string* pbstrOut) {
  if (!pbstrOut) return E_INVALIDARG;
  const Calls* calls = Loaded();
  if (!calls) return E_FAIL;
  BSTR text = nullptr;
  const HRESULT hr = calls->varBstrFromDate(dateIn.value, lcid, dwFlags, &text);
  if (SUCCEEDED(hr)) {
    pbstrOut->assign(reinterpret_cast<const char16_t*>(text), calls->sysStringLen(text));
  }
  calls->sysFreeString(text);  // null is fine
  return hr;
}

OleDate Win32VariantConversions::Now() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  OleDate now;
  const Calls* calls = Loaded();
  if (!calls || !calls->systemTimeToVariantTime(&local, &now.value)) now.value = 0;
  return now;
}

}  // namespace tavrel
