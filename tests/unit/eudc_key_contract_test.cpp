#include "fakes/fakes.h"
#include "suites/eudc_key_suite.h"

namespace tavrel::testing {

struct FakeEudcBackend {
  fakes::FakeEudcKey key;
  IEudcKey& seam() { return key; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, EudcKeyContract, FakeEudcBackend);

}  // namespace tavrel::testing
