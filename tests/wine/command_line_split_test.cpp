#include "platform/win32/win32_session.h"
#include "suites/command_line_suite.h"

namespace tavrel::testing {

struct Win32SessionBackend {
  Win32Session real;
  ISession& session() { return real; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, CommandLineSuite, Win32SessionBackend);

}  // namespace tavrel::testing
