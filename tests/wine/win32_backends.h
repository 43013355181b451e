// The real Win32 backends in the shape the typed suites expect.
#pragma once

#include "platform/win32/win32_registry.h"

namespace tavrel::testing {

struct Win32RegistryBackend {
  Win32Registry real;
  IRegistry& registry() { return real; }
};

}  // namespace tavrel::testing
