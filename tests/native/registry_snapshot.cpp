#include "native/registry_snapshot.h"

#include <cstdio>

#include "base/win32/handles.h"

namespace tavrel::native {
namespace {

using UniqueKey = UniqueWin32Key;

UniqueKey OpenKey(const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return UniqueKey(key);
}

std::vector<RegValue> ReadValues(HKEY key) {
  DWORD count = 0, longest_name = 0, longest_data = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest_name,
                       &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<RegValue> values;
  for (DWORD i = 0; i < count; ++i) {
    std::wstring name(longest_name + 1, L'\0');
    DWORD name_length = longest_name + 1;  // characters, with the terminator
    RegValue value;
    value.data.resize(longest_data);
    DWORD bytes = longest_data;
    if (RegEnumValueW(key, i, name.data(), &name_length, nullptr, &value.type, value.data.data(), &bytes) !=
        ERROR_SUCCESS) {
      continue;
    }
    value.name.assign(name.c_str(), name_length);
    value.data.resize(bytes);
    values.push_back(std::move(value));
  }
  return values;
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];  // a key's name has at most 255 characters
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

}  // namespace

KeyTree ReadKeyTree(const std::wstring& path) {
  const UniqueKey key = OpenKey(path, KEY_READ);
  if (!key) return {};
  KeyTree tree{true, ReadValues(key.get()), {}};
  for (const std::wstring& name : SubkeyNames(key.get())) {
    tree.subkeys.emplace_back(name, ReadKeyTree(path + L"\\" + name));
  }
  return tree;
}

bool DeleteKeyTree(const std::wstring& path) {
  // Given a subkey's name, RegDeleteTreeW deletes that key too.
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  return (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) && !OpenKey(path, KEY_READ);
}

bool WriteKeyTree(const std::wstring& path, const KeyTree& tree) {
  if (!DeleteKeyTree(path)) return false;
  if (!tree.exists) return true;
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueKey key(raw);
  bool written = true;
  for (const RegValue& value : tree.values) {
    written &= RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                              static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }
  for (const auto& [name, subkey] : tree.subkeys) written &= WriteKeyTree(path + L"\\" + name, subkey);
  return written;
}

std::optional<RegValue> ReadValue(const std::wstring& path, const std::wstring& name) {
  const UniqueKey key = OpenKey(path, KEY_READ);
  if (!key) return std::nullopt;
  for (RegValue& value : ReadValues(key.get())) {
    if (_wcsicmp(value.name.c_str(), name.c_str()) == 0) return std::move(value);
  }
  return std::nullopt;
}

bool PutValue(const std::wstring& path, const std::wstring& name, const std::optional<RegValue>& value) {
  if (!value) {
    const UniqueKey key = OpenKey(path, KEY_SET_VALUE);
    if (!key) return true;
    const LSTATUS status = RegDeleteValueW(key.get(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueKey key(raw);
  return RegSetValueExW(key.get(), name.c_str(), 0, value->type, value->data.data(),
                        static_cast<DWORD>(value->data.size())) == ERROR_SUCCESS;
}

TavrelRegistryBackup::TavrelRegistryBackup(std::vector<std::wstring> trees)
    : run_once_(ReadValue(kRunOnceKey, kRunOnceValue)) {
  for (std::wstring& path : trees) {
    KeyTree tree = ReadKeyTree(path);
    trees_.emplace_back(std::move(path), std::move(tree));
  }
}

TavrelRegistryBackup::~TavrelRegistryBackup() {
  bool restored = PutValue(kRunOnceKey, kRunOnceValue, run_once_);
  for (const auto& [path, tree] : trees_) restored &= WriteKeyTree(path, tree);
  if (!restored) std::printf("WARNING: the registry could not all be put back as it was\n");
}

}  // namespace tavrel::native
