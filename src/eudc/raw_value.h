// One registry value exactly as stored: its name, its type and its bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

// The registry's value types that Tavrel names.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RawValue {
  std::u16string name;
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
  bool operator==(const RawValue&) const = default;
};

// REG_SZ data holding `text` and its NUL.
RawValue TextValue(std::u16string name, std::u16string_view text);

// The text of REG_SZ or REG_EXPAND_SZ data up to its first NUL; nothing for
// other types.
std::optional<std::u16string> TextOf(const RawValue& value);

// The value of this name, compared as Windows compares value names (without
// regard to case); nothing when there is none.
const RawValue* FindValue(std::span<const RawValue> values, std::u16string_view name);

}  // namespace tavrel
