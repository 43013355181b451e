// Tavrel's registry helpers: list the value names of a key, read one value,
// write one value. Each call opens (or creates) the key with the six specific
// key rights, does its one job and closes it again. Text crosses the ANSI
// entry points in the ANSI code page; buffer sizes count its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/registry_api.h"

namespace tavrel {

// A tagged value: nothing, text, or a 32-bit signed integer.
using RegVariant = std::variant<std::monostate, std::string, std::int32_t>;

inline constexpr DWORD kRegTypeText = kRegSz;
inline constexpr DWORD kRegTypeInteger = kRegDword;

class RegistryHelpers {
 public:
  explicit RegistryHelpers(IRegistry& registry) : registry_(registry) {}

  // Lists the key's value names into strRegValueNames, in the registry's order,
  // whatever their length. Returns the index of the last name (count - 1), or
  // -1 when the key holds none or cannot be opened; the list then holds one
  // empty name.
  LONG EnumRegValueNames(Hkey lngRootKey, std::string_view strSubKey);

  // Type 1: the text before the first NUL of at most 255 bytes of data;
  // type 4: the 32-bit integer. vDefault, tag included, on any failure or type.
  RegVariant ReadRegValue(Hkey lngRootKey, std::string_view strSubKey,
                          std::string_view strValueName, DWORD lngType, RegVariant vDefault);

  // Creates the key path when missing, then stores vValue as REG_SZ (type 1)
  // or REG_DWORD (type 4). True when the value was stored.
  bool WriteRegValue(Hkey lngRootKey, std::string_view strSubKey, std::string_view strValueName,
                     DWORD lngType, const RegVariant& vValue);

  // Names filled by the last EnumRegValueNames.
  std::vector<std::string> strRegValueNames{std::string()};

 private:
  IRegistry& registry_;
};

// The text before the first NUL, or the whole text when it has none.
std::string TrimAtNul(std::string_view strText);

}  // namespace tavrel
