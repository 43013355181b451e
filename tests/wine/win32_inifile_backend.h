// kernel32's profile calls and oleaut32 in the shape InifileSuite expects, on
// files in a fresh temporary folder that is removed afterwards. Every folder
// gets a new name: Wine keeps a profile cached after its file is deleted, so a
// reused path could still answer with the last test's values.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_variant.h"

namespace tavrel::testing {

class Win32InifileBackend {
 public:
  Win32InifileBackend() : folder_(MakeFreshFolder()) {}
  ~Win32InifileBackend() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  Win32InifileBackend(const Win32InifileBackend&) = delete;
  Win32InifileBackend& operator=(const Win32InifileBackend&) = delete;

  // Where Wine departs from Windows, the suite expects what Wine was measured
  // to do, so that a change on either side shows.
  static bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  }
  IProfile& profile() { return profile_; }
  IVariantConversions& variants() { return variants_; }
  std::string PathOf(std::string_view name) const {
    return Narrow((folder_ / Wide(name)).wstring());
  }
  bool FileExists(std::string_view path) const {
    return std::filesystem::exists(std::filesystem::path(Wide(path)));
  }

 private:
  static std::filesystem::path MakeFreshFolder() {
    std::random_device random;
    for (;;) {
      const auto folder = std::filesystem::temp_directory_path() /
                          (L"tavrel-ini-" + std::to_wstring(random()) + std::to_wstring(random()));
      if (std::filesystem::create_directory(folder)) return folder;
    }
  }

  Win32Profile profile_;
  Win32VariantConversions variants_;
  std::filesystem::path folder_;
};

}  // namespace tavrel::testing
