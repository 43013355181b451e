#include "eudc/raw_values.h"

#include <algorithm>

#include "platform/text.h"

namespace tavrel {
namespace {

// The key may change between sizing the buffers and reading a value; a few
// fresh attempts settle that, and a key that keeps changing counts as unread.
constexpr int kAttemptsPerValue = 3;

struct Buffers {
  std::u16string name;
  std::vector<BYTE> data;
};

LSTATUS SizeBuffers(IRegistry& registry, Hkey key, Buffers& buffers) {
  DWORD longestName = 0;
  DWORD largestData = 0;
  const LSTATUS status = registry.RegQueryInfoKeyW(key, nullptr, &longestName, &largestData);
  if (status == kErrorSuccess) {
    buffers.name.assign(longestName + 1, u'\0');
    // Never an empty buffer: a null data pointer would make the call report
    // only the size, as if the value had been read.
    buffers.data.assign(std::max<DWORD>(largestData, 1), 0);
  }
  return status;
}

// Reads the value at `index` into `out`; kErrorNoMoreItems past the last one.
LSTATUS ReadValueAt(IRegistry& registry, Hkey key, DWORD index, Buffers& buffers, RawValue& out) {
  LSTATUS status = kErrorMoreData;
  for (int attempt = 0; attempt < kAttemptsPerValue && status == kErrorMoreData; ++attempt) {
    DWORD nameLen = static_cast<DWORD>(buffers.name.size());
    DWORD dataSize = static_cast<DWORD>(buffers.data.size());
    DWORD type = kRegNone;
    status = registry.RegEnumValueW(key, index, buffers.name.data(), &nameLen, &type,
                                    buffers.data.data(), &dataSize);
    if (status == kErrorSuccess && dataSize > buffers.data.size()) status = kErrorMoreData;
    if (status == kErrorSuccess) {
      out = RawValue{buffers.name.substr(0, nameLen), type,
                     std::vector<BYTE>(buffers.data.begin(), buffers.data.begin() + dataSize)};
    } else if (status == kErrorMoreData) {
      const LSTATUS resized = SizeBuffers(registry, key, buffers);
      if (resized != kErrorSuccess) return resized;
    }
  }
  return status;
}

}  // namespace

ValueListing ListValues(IRegistry& registry, Hkey root, std::u16string_view subKey) {
  ValueListing listing;
  UniqueRegKey key = MakeRegKey(registry);
  const LSTATUS opened =
      registry.RegOpenKeyExW(root, std::u16string(subKey).c_str(), 0, kKeyQueryValue, key.put());
  if (opened == kErrorFileNotFound) {
    listing.outcome = ListOutcome::KeyAbsent;
    return listing;
  }
  Buffers buffers;
  if (opened != kErrorSuccess) {
    listing.error = opened;
    return listing;
  }
  if (const LSTATUS sized = SizeBuffers(registry, key.get(), buffers); sized != kErrorSuccess) {
    listing.error = sized;
    return listing;
  }
  for (DWORD index = 0;; ++index) {
    RawValue value;
    const LSTATUS status = ReadValueAt(registry, key.get(), index, buffers, value);
    if (status == kErrorNoMoreItems) break;
    if (status != kErrorSuccess) {
      listing.values.clear();
      listing.error = status;
      return listing;
    }
    listing.values.push_back(std::move(value));
  }
  listing.outcome = ListOutcome::Listed;
  return listing;
}

LSTATUS WriteValue(IRegistry& registry, Hkey root, std::u16string_view subKey,
                   const RawValue& value) {
  UniqueRegKey key = MakeRegKey(registry);
  const LSTATUS created = registry.RegCreateKeyExW(root, std::u16string(subKey).c_str(),
                                                   kKeySetValue, key.put(), nullptr);
  if (created != kErrorSuccess) return created;
  // For text types Windows also stores a NUL that follows the data in memory
  // when the size leaves it out; a guard after the data keeps the size exact.
  std::vector<BYTE> guarded = value.data;
  guarded.insert(guarded.end(), {0xFF, 0xFF});
  return registry.RegSetValueExW(key.get(), value.name.c_str(), value.type, guarded.data(),
                                 static_cast<DWORD>(value.data.size()));
}

RawValue TextValue(std::u16string name, std::u16string_view text) {
  return RawValue{std::move(name), kRegSz, Utf16Bytes(text)};
}

std::optional<std::u16string> TextOf(const RawValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return std::nullopt;
  std::u16string text = Utf16FromBytes(value.data);
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

}  // namespace tavrel
