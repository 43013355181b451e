#include "suites/file_system_suite.h"
#include "wine/win32_backends.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemSuite, Win32FilesBackend);

}  // namespace tavrel::testing
