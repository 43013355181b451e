#include "suites/registry_kit.h"

#include "platform/text.h"

namespace tavrel::testing {

void PutRaw(IRegistry& reg, std::string_view keyPath, std::string_view name, DWORD type,
            const std::vector<BYTE>& data) {
  UniqueRegKey key = MakeRegKey(reg);
  if (reg.RegCreateKeyExW(reg.CurrentUser(), Utf8ToUtf16(keyPath).c_str(), kKeyRights0x3F,
                          key.put(), nullptr) != kErrorSuccess) {
    return;
  }
  reg.RegSetValueExW(key.get(), Utf8ToUtf16(name).c_str(), type, data.data(),
                     static_cast<DWORD>(data.size()));
}

void PutText(IRegistry& reg, std::string_view keyPath, std::string_view name,
             std::string_view text, DWORD type) {
  PutRaw(reg, keyPath, name, type, Utf16Bytes(Utf8ToUtf16(text)));
}

std::vector<std::pair<std::string, StoredValue>> FetchAll(IRegistry& reg,
                                                          std::string_view keyPath) {
  std::vector<std::pair<std::string, StoredValue>> out;
  UniqueRegKey key = MakeRegKey(reg);
  if (reg.RegOpenKeyExW(reg.CurrentUser(), Utf8ToUtf16(keyPath).c_str(), 0, kKeyQueryValue,
                        key.put()) != kErrorSuccess) {
    return out;
  }
  for (DWORD i = 0;; ++i) {
    std::u16string name(16384, u'\0');
    std::vector<BYTE> data(64 * 1024);
    DWORD nameLen = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (reg.RegEnumValueW(key.get(), i, name.data(), &nameLen, &type, data.data(), &size) !=
        kErrorSuccess) {
      break;
    }
    name.resize(nameLen);
    data.resize(size);
    out.emplace_back(Utf16ToUtf8(name), StoredValue{type, data});
  }
  return out;
}

std::optional<StoredValue> Fetch(IRegistry& reg, std::string_view keyPath, std::string_view name) {
  for (auto& [n, v] : FetchAll(reg, keyPath)) {
    if (EqualIgnoringCase(n, name)) return v;
  }
  return std::nullopt;
}

std::optional<DWORD> AnsiSize(IRegistry& reg, std::string_view keyPath, std::string_view name) {
  UniqueRegKey key = MakeRegKey(reg);
  if (reg.RegOpenKeyExA(reg.CurrentUser(), Utf8ToAnsi(keyPath).c_str(), 0, kKeyQueryValue,
                        key.put()) != kErrorSuccess) {
    return std::nullopt;
  }
  std::vector<BYTE> data(64 * 1024);
  DWORD size = static_cast<DWORD>(data.size());
  DWORD type = 0;
  if (reg.RegQueryValueExA(key.get(), Utf8ToAnsi(name).c_str(), &type, data.data(), &size) !=
      kErrorSuccess) {
    return std::nullopt;
  }
  return size;
}

bool KeyExists(IRegistry& reg, std::string_view keyPath) {
  UniqueRegKey key = MakeRegKey(reg);
  return reg.RegOpenKeyExW(reg.CurrentUser(), Utf8ToUtf16(keyPath).c_str(), 0, kKeyQueryValue,
                           key.put()) == kErrorSuccess;
}

void DeleteTree(IRegistry& reg, std::string_view keyPath) {
  reg.RegDeleteTreeW(reg.CurrentUser(), Utf8ToUtf16(keyPath).c_str());
}

}  // namespace tavrel::testing
