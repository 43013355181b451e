// The fake backends in the shape the typed suites expect.
#pragma once

#include "fakes/fake_registry.h"

namespace tavrel::testing {

struct FakeRegistryBackend {
  fakes::FakeRegistry fake;
  IRegistry& registry() { return fake; }
};

}  // namespace tavrel::testing
