#include "fakes/fake_session.h"
#include "suites/command_line_suite.h"

namespace tavrel::testing {

struct FakeSessionBackend {
  fakes::FakeSession fake;
  ISession& session() { return fake; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, CommandLineSuite, FakeSessionBackend);

}  // namespace tavrel::testing
