// IVariantConversions over oleaut32, under whatever locale the caller names.
// oleaut32 (and the COM libraries it brings) loads at the first conversion,
// from the system folder: start-up never converts anything.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>

#include "platform/variant_api.h"
#include "platform/win32/win32_handles.h"

namespace tavrel {

class Win32VariantConversions final : public IVariantConversions {
 public:
  HRESULT VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags, SHORT* psOut) override;
  HRESULT VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                         OleDate* pdateOut) override;
  HRESULT VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                          std::u16string* pbstrOut) override;
  OleDate Now() override;

 private:
  // oleaut32's entry points, called through these pointers rather than a
  // delay-load thunk: this toolchain's thunk (binutils 2.40) loses a DATE
  // passed in XMM0.
  struct Calls {
    decltype(::VarI2FromStr)* varI2FromStr = nullptr;
    decltype(::VarDateFromStr)* varDateFromStr = nullptr;
    decltype(::VarBstrFromDate)* varBstrFromDate = nullptr;
    decltype(::SysStringLen)* sysStringLen = nullptr;
    decltype(::SysFreeString)* sysFreeString = nullptr;
    decltype(::SystemTimeToVariantTime)* systemTimeToVariantTime = nullptr;
  };
  // Loads oleaut32 at the first call; null when it cannot be loaded.
  const Calls* Loaded();

  UniqueLibrary library_;
  std::optional<Calls> calls_;
  bool tried_ = false;
};

}  // namespace tavrel
