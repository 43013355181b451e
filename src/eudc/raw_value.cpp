#include "eudc/raw_value.h"

#include <algorithm>

#include "base/text.h"

namespace tavrel {

RawValue TextValue(std::u16string name, std::u16string_view text) {
  return RawValue{std::move(name), kRegSz, Utf16Bytes(text)};
}

std::optional<std::u16string> TextOf(const RawValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return std::nullopt;
  std::u16string text = Utf16FromBytes(value.data);
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

const RawValue* FindValue(std::span<const RawValue> values, std::u16string_view name) {
  const auto found = std::find_if(values.begin(), values.end(), [&](const RawValue& v) {
    return EqualIgnoringCase(v.name, name);
  });
  return found == values.end() ? nullptr : &*found;
}

}  // namespace tavrel
