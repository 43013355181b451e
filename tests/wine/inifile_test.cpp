#include "suites/inifile_suite.h"
#include "wine/win32_inifile_backend.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, InifileSuite, Win32InifileBackend);

}  // namespace tavrel::testing
