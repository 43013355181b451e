#include "eudc/registry_helpers.h"

#include <charconv>

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr DWORD kFirstNameBufferSize = 80;
// A value name is at most 16,383 UTF-16 units, so at most twice that in bytes.
constexpr DWORD kLargestNameBufferSize = 2 * 16384;
constexpr DWORD kTextBufferSize = 256;

std::string TextOf(const RegVariant& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* n = std::get_if<std::int32_t>(&v)) return std::to_string(*n);
  return {};
}

bool IntegerOf(const RegVariant& v, std::int32_t& out) {
  if (const auto* n = std::get_if<std::int32_t>(&v)) {
    out = *n;
    return true;
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    const auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), out);
    return ec == std::errc() && end == s->data() + s->size();
  }
  return false;
}

}  // namespace

std::string TrimAtNul(std::string_view strText) {
  return std::string(strText.substr(0, strText.find('\0')));
}

LONG RegistryHelpers::EnumRegValueNames(Hkey lngRootKey, std::string_view strSubKey) {
  strRegValueNames.assign(1, std::string());
  UniqueRegKey key = MakeRegKey(registry_);
  if (registry_.RegOpenKeyExA(lngRootKey, Utf8ToAnsi(strSubKey).c_str(), 0, kKeyRights0x3F,
                              key.put()) != kErrorSuccess) {
    return -1;
  }
  std::vector<char> name(kFirstNameBufferSize);
  DWORD index = 0;
  for (;;) {
    DWORD size = static_cast<DWORD>(name.size());
    const LSTATUS status =
        registry_.RegEnumValueA(key.get(), index, name.data(), &size, nullptr, nullptr, nullptr);
    if (status == kErrorMoreData && name.size() < kLargestNameBufferSize) {
      // A long name: try the same index again with a larger buffer.
      name.resize(name.size() * 2);
      continue;
    }
    if (status != kErrorSuccess) break;
    strRegValueNames.resize(index + 1);
    strRegValueNames[index] = AnsiToUtf8(TrimAtNul(std::string_view(name.data(), name.size())));
    ++index;
  }
  return static_cast<LONG>(index) - 1;
}

RegVariant RegistryHelpers::ReadRegValue(Hkey lngRootKey, std::string_view strSubKey,
                                         std::string_view strValueName, DWORD lngType,
                                         RegVariant vDefault) {
  UniqueRegKey key = MakeRegKey(registry_);
  if (registry_.RegOpenKeyExA(lngRootKey, Utf8ToAnsi(strSubKey).c_str(), 0, kKeyRights0x3F,
                              key.put()) != kErrorSuccess) {
    return vDefault;
  }
  const std::string name = Utf8ToAnsi(strValueName);
  if (lngType == kRegTypeText) {
    BYTE buffer[kTextBufferSize] = {};
    DWORD type = kRegTypeText;
    DWORD size = sizeof buffer;
    if (registry_.RegQueryValueExA(key.get(), name.c_str(), &type, buffer, &size) ==
        kErrorSuccess) {
      // Whatever the stored type, the bytes are taken as text up to a NUL.
      return AnsiToUtf8(TrimAtNul(std::string_view(reinterpret_cast<char*>(buffer), sizeof buffer)));
    }
  } else if (lngType == kRegTypeInteger) {
    std::int32_t value = 0;
    DWORD type = kRegTypeInteger;
    DWORD size = sizeof value;
    if (registry_.RegQueryValueExA(key.get(), name.c_str(), &type,
                                   reinterpret_cast<BYTE*>(&value), &size) == kErrorSuccess) {
      return value;
    }
  }
  return vDefault;
}

bool RegistryHelpers::WriteRegValue(Hkey lngRootKey, std::string_view strSubKey,
                                    std::string_view strValueName, DWORD lngType,
                                    const RegVariant& vValue) {
  UniqueRegKey key = MakeRegKey(registry_);
  if (registry_.RegCreateKeyExA(lngRootKey, Utf8ToAnsi(strSubKey).c_str(), kKeyRights0x3F,
                                key.put(), nullptr) != kErrorSuccess) {
    return false;
  }
  const std::string name = Utf8ToAnsi(strValueName);
  if (lngType == kRegTypeText) {
    const std::string text = Utf8ToAnsi(TextOf(vValue));
    // The size counts the code-page bytes and the one NUL after them.
    return registry_.RegSetValueExA(key.get(), name.c_str(), kRegSz,
                                    reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>(text.size() + 1)) == kErrorSuccess;
  }
  if (lngType == kRegTypeInteger) {
    std::int32_t value = 0;
    if (!IntegerOf(vValue, value)) return false;
    return registry_.RegSetValueExA(key.get(), name.c_str(), kRegDword,
                                    reinterpret_cast<const BYTE*>(&value),
                                    sizeof value) == kErrorSuccess;
  }
  return false;
}

}  // namespace tavrel
