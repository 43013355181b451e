// The profile and variant fakes in the shape InifileSuite expects.
#pragma once

#include <string>
#include <string_view>

#include "fakes/fake_profile.h"
#include "fakes/fake_variant.h"

namespace tavrel::testing {

struct FakeInifileBackend {
  fakes::FakeProfile profileFake;
  fakes::FakeVariantConversions variantsFake;

  // The fakes answer as Windows documents it.
  static bool UnderWine() { return false; }
  IProfile& profile() { return profileFake; }
  IVariantConversions& variants() { return variantsFake; }
  std::string PathOf(std::string_view name) const {
    return "C:\\Tavrel Tests\\" + std::string(name);
  }
  bool FileExists(std::string_view path) const { return profileFake.FileExists(path); }
};

}  // namespace tavrel::testing
