#include "suites/journal_suite.h"
#include "wine/win32_backends.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, JournalSuite, Win32RegistryBackend);

}  // namespace tavrel::testing
