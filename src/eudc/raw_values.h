// Byte-exact access to every value of one key through the wide registry calls:
// a value's name, stored type and data come back whatever their length and
// whatever characters they hold, and are written back the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace tavrel {

struct RawValue {
  std::u16string name;
  DWORD type = kRegNone;
  std::vector<BYTE> data;
  bool operator==(const RawValue&) const = default;
};

enum class ListOutcome {
  Listed,     // every value of the key
  KeyAbsent,  // the key does not exist
  Failed,     // the key could not be read whole
};

struct ValueListing {
  ListOutcome outcome = ListOutcome::Failed;
  std::vector<RawValue> values;  // in the registry's order
  LSTATUS error = kErrorSuccess;  // why it Failed
};

ValueListing ListValues(IRegistry& registry, Hkey root, std::u16string_view subKey);

// Creates the key when missing and stores the value; the registry's status.
LSTATUS WriteValue(IRegistry& registry, Hkey root, std::u16string_view subKey,
                   const RawValue& value);

// REG_SZ data holding `text` and its NUL.
RawValue TextValue(std::u16string name, std::u16string_view text);

// The text of REG_SZ or REG_EXPAND_SZ data up to its first NUL; nothing for
// other types.
std::optional<std::u16string> TextOf(const RawValue& value);

}  // namespace tavrel
