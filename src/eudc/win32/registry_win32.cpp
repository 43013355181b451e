#include "eudc/win32/registry_win32.h"

#include <algorithm>

#include "base/win32/wide.h"

namespace tavrel {
namespace {

// The key may change between sizing the buffers and reading a value; a few
// fresh attempts settle that, and a key that keeps changing counts as unread.
constexpr int kAttemptsPerValue = 3;

struct Buffers {
  std::wstring name;
  std::vector<BYTE> data;
};

LSTATUS SizeBuffers(HKEY key, Buffers& buffers) {
  DWORD longestName = 0;
  DWORD largestData = 0;
  const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, &longestName, &largestData, nullptr,
                                          nullptr);
  if (status == ERROR_SUCCESS) {
    buffers.name.assign(longestName + 1, L'\0');
    // Never an empty buffer: a null data pointer would make the call report
    // only the size, as if the value had been read.
    buffers.data.assign(std::max<DWORD>(largestData, 1), 0);
  }
  return status;
}

// Reads the value at `index`; ERROR_NO_MORE_ITEMS past the last one.
LSTATUS ReadValueAt(HKEY key, DWORD index, Buffers& buffers, RawValue& out) {
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kAttemptsPerValue && status == ERROR_MORE_DATA; ++attempt) {
    DWORD nameLength = static_cast<DWORD>(buffers.name.size());
    DWORD dataSize = static_cast<DWORD>(buffers.data.size());
    DWORD type = REG_NONE;
    status = RegEnumValueW(key, index, buffers.name.data(), &nameLength, nullptr, &type,
                           buffers.data.data(), &dataSize);
    if (status == ERROR_SUCCESS && dataSize > buffers.data.size()) status = ERROR_MORE_DATA;
    if (status == ERROR_SUCCESS) {
      out = RawValue{Utf16Of(std::wstring_view(buffers.name.data(), nameLength)), type,
                     std::vector<std::uint8_t>(buffers.data.begin(), buffers.data.begin() + dataSize)};
    } else if (status == ERROR_MORE_DATA) {
      if (const LSTATUS resized = SizeBuffers(key, buffers); resized != ERROR_SUCCESS) return resized;
    }
  }
  return status;
}

}  // namespace

OpenedKey OpenKey(std::wstring_view subKey, REGSAM access) {
  OpenedKey opened;
  HKEY key = nullptr;
  opened.error = RegOpenKeyExW(HKEY_CURRENT_USER, std::wstring(subKey).c_str(), 0, access, &key);
  opened.key.reset(opened.error == ERROR_SUCCESS ? key : nullptr);
  return opened;
}

OpenedKey CreateKey(std::wstring_view subKey, REGSAM access) {
  OpenedKey created;
  HKEY key = nullptr;
  // A handle no child process inherits.
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  created.error = RegCreateKeyExW(HKEY_CURRENT_USER, std::wstring(subKey).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, access, &security, &key, nullptr);
  created.key.reset(created.error == ERROR_SUCCESS ? key : nullptr);
  return created;
}

KeyReading ReadAllValues(std::wstring_view subKey) {
  KeyReading reading;
  const OpenedKey opened = OpenKey(subKey, KEY_QUERY_VALUE);
  if (opened.error == ERROR_FILE_NOT_FOUND) {
    reading.outcome = KeyReading::Outcome::Absent;
    return reading;
  }
  Buffers buffers;
  LSTATUS status = opened.error;
  if (status == ERROR_SUCCESS) status = SizeBuffers(opened.key.get(), buffers);
  for (DWORD index = 0; status == ERROR_SUCCESS; ++index) {
    RawValue value;
    status = ReadValueAt(opened.key.get(), index, buffers, value);
    if (status == ERROR_SUCCESS) reading.values.push_back(std::move(value));
  }
  if (status != ERROR_NO_MORE_ITEMS) {
    reading.values.clear();
    reading.error = static_cast<ErrorCode>(status);
    return reading;
  }
  reading.outcome = KeyReading::Outcome::Listed;
  return reading;
}

LSTATUS WriteValue(HKEY key, const RawValue& value) {
  // For text types Windows also stores a NUL that follows the data in memory
  // when the size leaves it out; a guard after the data keeps the size exact.
  std::vector<BYTE> guarded(value.data.begin(), value.data.end());
  guarded.insert(guarded.end(), {0xFF, 0xFF});
  return RegSetValueExW(key, WideOf(value.name).c_str(), 0, value.type, guarded.data(),
                        static_cast<DWORD>(value.data.size()));
}

}  // namespace tavrel
