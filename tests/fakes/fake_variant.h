// oleaut32's text conversions under one fixed locale with Japanese
// conventions, whatever LCID is passed (dwFlags are ignored):
//  - numbers: "." decimal and "," thousands separators, an exponent, a sign
//    before or after, or parentheses for a negative value; surrounding white
//    space; a fraction rounded half to even; DISP_E_OVERFLOW outside the
//    16-bit range, DISP_E_TYPEMISMATCH for anything else (no hexadecimal,
//    octal or currency forms);
//  - dates: short date yyyy/MM/dd and time H:mm:ss; read back are y/M/d or
//    y-M-d (a one- or two-digit year falls in 1930..2029) and H:mm or
//    H:mm:ss, each alone or date then time; days within 100/01/01..9999/12/31.
// "Now" is whatever the test sets.
#pragma once

#include "platform/variant_api.h"

namespace tavrel::fakes {

// The DATE of a local date and time.
OleDate MakeOleDate(int year, int month, int day, int hour = 0, int minute = 0,
                    double second = 0.0);

class FakeVariantConversions final : public IVariantConversions {
 public:
  void SetNow(OleDate now) { now_ = now; }

  HRESULT VarI2FromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags, SHORT* psOut) override;
  HRESULT VarDateFromStr(const char16_t* strIn, LCID lcid, ULONG dwFlags,
                         OleDate* pdateOut) override;
  HRESULT VarBstrFromDate(OleDate dateIn, LCID lcid, ULONG dwFlags,
                          std::u16string* pbstrOut) override;
  OleDate Now() override { return now_; }

 private:
  OleDate now_ = MakeOleDate(2024, 5, 6, 7, 8, 9);
};

}  // namespace tavrel::fakes
