#include <windows.h>

#include "base/win32/wide.h"
#include "eudc/win32/eudc_key_win32.h"
#include "suites/eudc_key_suite.h"

namespace tavrel::testing {

// The Wine prefix's own HKEY_CURRENT_USER\EUDC\932 and \1252, removed before
// and after each test.
class Win32EudcBackend {
 public:
  Win32EudcBackend() { Remove(); }
  ~Win32EudcBackend() { Remove(); }
  IEudcKey& seam() { return key_; }

 private:
  static void Remove() {
    for (const CodePage codePage : {kJapanese, kWestern}) {
      RegDeleteTreeW(HKEY_CURRENT_USER, WideOf(EudcKeyPath(codePage)).c_str());
    }
  }
  Win32EudcKey key_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, EudcKeyContract, Win32EudcBackend);

}  // namespace tavrel::testing
