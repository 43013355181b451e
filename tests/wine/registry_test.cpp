#include "suites/raw_values_suite.h"
#include "suites/registry_helpers_suite.h"
#include "wine/win32_backends.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryHelpersSuite, Win32RegistryBackend);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RawValuesSuite, Win32RegistryBackend);

}  // namespace tavrel::testing
