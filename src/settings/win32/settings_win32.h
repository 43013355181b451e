// The settings in an INI file, through the wide profile calls.
#pragma once

#include <string>

#include "settings/settings.h"

namespace tavrel {

class Win32Settings final : public ISettings {
 public:
  // The file beside the executable, named after it: "<folder>\Tavrel.ini".
  static std::wstring BesideExecutable();
  explicit Win32Settings(std::wstring file) : file_(std::move(file)) {}

  std::optional<std::string> Read(std::string_view name) override;
  bool Write(std::string_view name, std::string_view value) override;

 private:
  bool CreateAsUtf16();
  std::wstring file_;
};

}  // namespace tavrel
