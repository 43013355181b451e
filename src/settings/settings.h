// What Tavrel remembers between starts: a few named strings in the settings
// file beside tavrel.exe (Tavrel.ini).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

class ISettings {
 public:
  virtual ~ISettings() = default;
  // The string stored under this name (UTF-8); nothing when there is none.
  [[nodiscard]] virtual std::optional<std::string> Read(std::string_view name) = 0;
  // False when it could not be stored (a folder Tavrel may not write to).
  [[nodiscard]] virtual bool Write(std::string_view name, std::string_view value) = 0;
};

}  // namespace tavrel
