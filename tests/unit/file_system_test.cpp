#include "suites/fake_backends.h"
#include "suites/file_system_suite.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemSuite, FakeFilesBackend);

}  // namespace tavrel::testing
