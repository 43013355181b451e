// IVariantConversions over oleaut32, under whatever locale the caller names.
#pragma once

#include "platform/variant_api.h"

namespace tavrel {

class Win32VariantConversions final : public IVariantConversions {
 public:
  HRESULT VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags, SHORT* psOut) override;
  HRESULT VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                         OleDate* pdateOut) override;
  HRESULT VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                          std::u16string* pbstrOut) override;
  OleDate Now() override;
};

}  // namespace tavrel
