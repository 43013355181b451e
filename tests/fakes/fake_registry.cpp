#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr LSTATUS kErrorKeyDeleted = 1018;
constexpr REGSAM kReadRights = 0x20019;  // KEY_READ: query, enumerate, notify, read control

bool IsText(DWORD type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::u16string FromAnsi(const char* s) { return s ? Utf8ToUtf16(AnsiToUtf8(s)) : std::u16string(); }
std::u16string FromWide(const char16_t* s) { return s ? std::u16string(s) : std::u16string(); }
std::string ToAnsi(std::u16string_view s) { return Utf8ToAnsi(Utf16ToUtf8(s)); }

// The bytes an ANSI call hands out for a value: text types converted to the
// code page (the NUL, when stored, converts with the rest), others as stored.
std::vector<BYTE> AnsiBytes(const FakeRegistry::Value& v) {
  if (!IsText(v.type)) return v.data;
  const std::string ansi = ToAnsi(Utf16FromBytes(v.data));
  return std::vector<BYTE>(ansi.begin(), ansi.end());
}

std::vector<std::u16string> SplitPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::u16string part;
  for (char16_t c : path) {
    if (c == u'\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

// Copies `bytes` to the caller's buffer under the registry's size rules.
LSTATUS CopyData(const std::vector<BYTE>& bytes, BYTE* data, DWORD* dataSize) {
  const auto needed = static_cast<DWORD>(bytes.size());
  if (!data) {
    if (dataSize) *dataSize = needed;
    return kErrorSuccess;
  }
  if (!dataSize) return kErrorInvalidParameter;
  if (*dataSize < needed) {
    *dataSize = needed;
    return kErrorMoreData;
  }
  if (needed) std::memcpy(data, bytes.data(), needed);
  *dataSize = needed;
  return kErrorSuccess;
}

}  // namespace

FakeRegistry::FakeRegistry() = default;

Hkey FakeRegistry::CurrentUser() const {
  // HKEY_CURRENT_USER is (HKEY)(ULONG_PTR)(LONG)0x80000001: sign-extended on 64-bit.
  return reinterpret_cast<Hkey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001)));
}

LSTATUS FakeRegistry::Enter(Hkey handle, std::string_view call, std::u16string_view name) {
  std::string what(call);
  what += " " + PathOf(handle);
  if (!name.empty()) what += " " + Utf16ToUtf8(name);
  callLog.push_back(what);
  const size_t index = calls_++;
  if (const auto it = faults_.find(index); it != faults_.end()) return it->second;
  for (NamedFault& fault : namedFaults_) {
    if (what.find(fault.call) != std::string::npos && --fault.occurrence == 0) return fault.error;
  }
  return kErrorSuccess;
}

std::string FakeRegistry::PathOf(Hkey handle) const {
  if (handle == CurrentUser()) return "HKCU";
  const auto it = handles_.find(handle);
  return it == handles_.end() ? "?" : "HKCU\\" + it->second.key->path;
}

void FakeRegistry::InjectFault(std::string call, LSTATUS error, int occurrence) {
  namedFaults_.push_back(NamedFault{std::move(call), error, occurrence});
}

void FakeRegistry::InjectFault(size_t callIndex, LSTATUS error) { faults_[callIndex] = error; }

std::shared_ptr<FakeRegistry::Key> FakeRegistry::Find(const std::shared_ptr<Key>& from,
                                                      std::u16string_view path) const {
  std::shared_ptr<Key> key = from;
  for (const auto& part : SplitPath(path)) {
    const auto it = key->subkeys.find(UpperCase(part));
    if (it == key->subkeys.end()) return nullptr;
    key = it->second;
  }
  return key;
}

std::shared_ptr<FakeRegistry::Key> FakeRegistry::Resolve(Hkey handle, REGSAM need,
                                                         LSTATUS& error) const {
  error = kErrorSuccess;
  if (handle == CurrentUser()) return root_;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  if (it->second.key->deleted) {
    error = kErrorKeyDeleted;
    return nullptr;
  }
  if ((it->second.access & need) != need) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  return it->second.key;
}

Hkey FakeRegistry::NewHandle(std::shared_ptr<Key> key, REGSAM access) {
  const auto handle = reinterpret_cast<Hkey>(nextHandle_);
  nextHandle_ += 0x10;
  handles_[handle] = OpenKey{std::move(key), access};
  return handle;
}

LSTATUS FakeRegistry::Open(Hkey root, std::u16string_view path, REGSAM access, bool create,
                           Hkey* result, DWORD* disposition) {
  if (!result) return kErrorInvalidParameter;
  *result = nullptr;
  if (const LSTATUS fault = Enter(root, create ? "RegCreateKeyEx" : "RegOpenKeyEx", path)) {
    return fault;
  }
  LSTATUS error;
  std::shared_ptr<Key> key = Resolve(root, 0, error);
  if (!key) return error;
  bool created = false;
  for (const auto& part : SplitPath(path)) {
    if (!key->subkeys.count(UpperCase(part))) {
      if (!create) return kErrorFileNotFound;
      if (key->readOnly) return kErrorAccessDenied;
      created = true;
    }
    key = Subkey(*key, part);
  }
  if (key->readOnly && (access & ~kReadRights) != 0) return kErrorAccessDenied;
  if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
  *result = NewHandle(key, access);
  return kErrorSuccess;
}

LSTATUS FakeRegistry::RegOpenKeyExA(Hkey root, const char* subKey, DWORD, REGSAM access,
                                    Hkey* result) {
  return Open(root, FromAnsi(subKey), access, false, result, nullptr);
}

LSTATUS FakeRegistry::RegCreateKeyExA(Hkey root, const char* subKey, REGSAM access, Hkey* result,
                                      DWORD* disposition) {
  return Open(root, FromAnsi(subKey), access, true, result, disposition);
}

LSTATUS FakeRegistry::RegOpenKeyExW(Hkey root, const char16_t* subKey, DWORD, REGSAM access,
                                    Hkey* result) {
  return Open(root, FromWide(subKey), access, false, result, nullptr);
}

LSTATUS FakeRegistry::RegCreateKeyExW(Hkey root, const char16_t* subKey, REGSAM access,
                                      Hkey* result, DWORD* disposition) {
  return Open(root, FromWide(subKey), access, true, result, disposition);
}

LSTATUS FakeRegistry::Enum(Hkey handle, DWORD index, bool ansi, void* name, DWORD* nameSize,
                           DWORD* type, BYTE* data, DWORD* dataSize) {
  if (const LSTATUS fault = Enter(handle, "RegEnumValue")) return fault;
  LSTATUS error;
  const auto key = Resolve(handle, kKeyQueryValue, error);
  if (!key) return error;
  if (!name || !nameSize) return kErrorInvalidParameter;
  if (index >= key->values.size()) return kErrorNoMoreItems;
  const Value& v = key->values[index];
  if (ansi) {
    const std::string n = ToAnsi(v.name);
    if (n.size() + 1 > *nameSize) return kErrorMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    *nameSize = static_cast<DWORD>(n.size());
  } else {
    if (v.name.size() + 1 > *nameSize) return kErrorMoreData;
    std::memcpy(name, v.name.c_str(), (v.name.size() + 1) * sizeof(char16_t));
    *nameSize = static_cast<DWORD>(v.name.size());
  }
  if (type) *type = v.type;
  return CopyData(ansi ? AnsiBytes(v) : v.data, data, dataSize);
}

LSTATUS FakeRegistry::RegEnumValueA(Hkey key, DWORD index, char* valueName, DWORD* valueNameSize,
                                    DWORD* type, BYTE* data, DWORD* dataSize) {
  return Enum(key, index, true, valueName, valueNameSize, type, data, dataSize);
}

LSTATUS FakeRegistry::RegEnumValueW(Hkey key, DWORD index, char16_t* valueName,
                                    DWORD* valueNameLen, DWORD* type, BYTE* data,
                                    DWORD* dataSize) {
  return Enum(key, index, false, valueName, valueNameLen, type, data, dataSize);
}

LSTATUS FakeRegistry::Query(Hkey handle, std::u16string_view name, bool ansi, DWORD* type,
                            BYTE* data, DWORD* dataSize) {
  if (const LSTATUS fault = Enter(handle, "RegQueryValueEx", name)) return fault;
  LSTATUS error;
  const auto key = Resolve(handle, kKeyQueryValue, error);
  if (!key) return error;
  const auto folded = UpperCase(name);
  const auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const Value& v) { return UpperCase(v.name) == folded; });
  if (it == key->values.end()) return kErrorFileNotFound;
  if (type) *type = it->type;
  return CopyData(ansi ? AnsiBytes(*it) : it->data, data, dataSize);
}

LSTATUS FakeRegistry::RegQueryValueExA(Hkey key, const char* valueName, DWORD* type, BYTE* data,
                                       DWORD* dataSize) {
  return Query(key, FromAnsi(valueName), true, type, data, dataSize);
}

LSTATUS FakeRegistry::RegQueryInfoKeyW(Hkey handle, DWORD* values, DWORD* maxValueNameLen,
                                       DWORD* maxValueLen) {
  if (const LSTATUS fault = Enter(handle, "RegQueryInfoKey")) return fault;
  LSTATUS error;
  const auto key = Resolve(handle, kKeyQueryValue, error);
  if (!key) return error;
  DWORD longestName = 0;
  DWORD largestData = 0;
  for (const Value& v : key->values) {
    longestName = std::max(longestName, static_cast<DWORD>(v.name.size()));
    largestData = std::max(largestData, static_cast<DWORD>(v.data.size()));
  }
  if (values) *values = static_cast<DWORD>(key->values.size());
  if (maxValueNameLen) *maxValueNameLen = longestName;
  if (maxValueLen) *maxValueLen = largestData;
  return kErrorSuccess;
}

LSTATUS FakeRegistry::Set(Hkey handle, std::u16string_view name, DWORD type,
                          std::vector<BYTE> data) {
  if (const LSTATUS fault = Enter(handle, "RegSetValueEx", name)) return fault;
  LSTATUS error;
  const auto key = Resolve(handle, kKeySetValue, error);
  if (!key) return error;
  if (beforeChange) beforeChange(key->path);
  const auto folded = UpperCase(name);
  const auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const Value& v) { return UpperCase(v.name) == folded; });
  if (it != key->values.end()) {
    it->type = type;
    it->data = std::move(data);
  } else {
    key->values.push_back(Value{std::u16string(name), type, std::move(data)});
  }
  return kErrorSuccess;
}

LSTATUS FakeRegistry::RegSetValueExA(Hkey key, const char* valueName, DWORD type,
                                     const BYTE* data, DWORD dataSize) {
  std::vector<BYTE> bytes(data, data + (data ? dataSize : 0));
  if (IsText(type)) {
    // The ANSI call converts exactly the bytes given, NUL included when counted.
    bytes = Utf16Bytes(Utf8ToUtf16(AnsiToUtf8(std::string(bytes.begin(), bytes.end()))), false);
  }
  return Set(key, FromAnsi(valueName), type, std::move(bytes));
}

LSTATUS FakeRegistry::RegQueryValueExW(Hkey key, const char16_t* valueName, DWORD* type,
                                       BYTE* data, DWORD* dataSize) {
  return Query(key, FromWide(valueName), false, type, data, dataSize);
}

LSTATUS FakeRegistry::RegSetValueExW(Hkey key, const char16_t* valueName, DWORD type,
                                     const BYTE* data, DWORD dataSize) {
  return Set(key, FromWide(valueName), type,
             std::vector<BYTE>(data, data + (data ? dataSize : 0)));
}

LSTATUS FakeRegistry::RegDeleteValueW(Hkey handle, const char16_t* valueName) {
  if (const LSTATUS fault = Enter(handle, "RegDeleteValue", FromWide(valueName))) return fault;
  LSTATUS error;
  const auto key = Resolve(handle, kKeySetValue, error);
  if (!key) return error;
  const auto folded = UpperCase(FromWide(valueName));
  if (beforeChange) beforeChange(key->path);
  const auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const Value& v) { return UpperCase(v.name) == folded; });
  if (it == key->values.end()) return kErrorFileNotFound;
  key->values.erase(it);
  return kErrorSuccess;
}

LSTATUS FakeRegistry::RegDeleteTreeW(Hkey root, const char16_t* subKey) {
  if (const LSTATUS fault = Enter(root, "RegDeleteTree", FromWide(subKey))) return fault;
  LSTATUS error;
  const auto base = Resolve(root, 0, error);
  if (!base) return error;
  const auto parts = SplitPath(FromWide(subKey));
  if (parts.empty()) return kErrorInvalidParameter;
  std::u16string parentPath;
  for (size_t i = 0; i + 1 < parts.size(); ++i) parentPath += parts[i] + u"\\";
  const auto parent = Find(base, parentPath);
  if (!parent) return kErrorFileNotFound;
  const auto it = parent->subkeys.find(UpperCase(parts.back()));
  if (it == parent->subkeys.end()) return kErrorFileNotFound;
  it->second->deleted = true;
  parent->subkeys.erase(it);
  return kErrorSuccess;
}

LSTATUS FakeRegistry::RegFlushKey(Hkey handle) {
  if (const LSTATUS fault = Enter(handle, "RegFlushKey")) return fault;
  LSTATUS error;
  if (!Resolve(handle, 0, error)) return error;
  // The whole hive goes to disk, as on Windows.
  durable_ = DeepCopy(*root_);
  return kErrorSuccess;
}

std::shared_ptr<FakeRegistry::Key> FakeRegistry::DeepCopy(const Key& key) {
  auto copy = std::make_shared<Key>(key);
  for (auto& [name, subkey] : copy->subkeys) subkey = DeepCopy(*subkey);
  return copy;
}

std::optional<FakeRegistry::Value> FakeRegistry::GetDurable(std::string_view keyPath,
                                                            std::string_view name) const {
  if (!durable_) return std::nullopt;
  const auto key = Find(durable_, Utf8ToUtf16(keyPath));
  if (!key) return std::nullopt;
  const auto folded = UpperCase(Utf8ToUtf16(name));
  for (const Value& v : key->values) {
    if (UpperCase(v.name) == folded) return v;
  }
  return std::nullopt;
}

LSTATUS FakeRegistry::RegCloseKey(Hkey key) {
  if (key == CurrentUser()) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

// --- test set-up and inspection ---

std::shared_ptr<FakeRegistry::Key> FakeRegistry::EnsureKey(std::string_view keyPath) {
  std::shared_ptr<Key> key = root_;
  for (const auto& part : SplitPath(Utf8ToUtf16(keyPath))) key = Subkey(*key, part);
  return key;
}

std::shared_ptr<FakeRegistry::Key> FakeRegistry::Subkey(Key& parent, std::u16string_view name) {
  auto& slot = parent.subkeys[UpperCase(name)];
  if (!slot) {
    slot = std::make_shared<Key>();
    slot->path = (parent.path.empty() ? "" : parent.path + "\\") + Utf16ToUtf8(name);
  }
  return slot;
}

void FakeRegistry::SetRaw(std::string_view keyPath, std::string_view name, DWORD type,
                          std::vector<BYTE> data) {
  const auto key = EnsureKey(keyPath);
  const auto wideName = Utf8ToUtf16(name);
  const auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const Value& v) { return UpperCase(v.name) == UpperCase(wideName); });
  if (it != key->values.end()) {
    it->type = type;
    it->data = std::move(data);
  } else {
    key->values.push_back(Value{wideName, type, std::move(data)});
  }
}

void FakeRegistry::SetText(std::string_view keyPath, std::string_view name, std::string_view text,
                           DWORD type) {
  SetRaw(keyPath, name, type, Utf16Bytes(Utf8ToUtf16(text)));
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(std::string_view keyPath,
                                                     std::string_view name) const {
  const auto key = Find(root_, Utf8ToUtf16(keyPath));
  if (!key) return std::nullopt;
  const auto folded = UpperCase(Utf8ToUtf16(name));
  for (const Value& v : key->values) {
    if (UpperCase(v.name) == folded) return v;
  }
  return std::nullopt;
}

std::optional<std::string> FakeRegistry::GetText(std::string_view keyPath,
                                                 std::string_view name) const {
  const auto v = Get(keyPath, name);
  if (!v) return std::nullopt;
  std::u16string text = Utf16FromBytes(v->data);
  text = text.substr(0, text.find(u'\0'));
  return Utf16ToUtf8(text);
}

std::vector<FakeRegistry::Value> FakeRegistry::Values(std::string_view keyPath) const {
  const auto key = Find(root_, Utf8ToUtf16(keyPath));
  return key ? key->values : std::vector<Value>{};
}

bool FakeRegistry::KeyExists(std::string_view keyPath) const {
  return Find(root_, Utf8ToUtf16(keyPath)) != nullptr;
}

void FakeRegistry::RemoveKey(std::string_view keyPath) {
  const auto parts = SplitPath(Utf8ToUtf16(keyPath));
  if (parts.empty()) return;
  std::u16string parentPath;
  for (size_t i = 0; i + 1 < parts.size(); ++i) parentPath += parts[i] + u"\\";
  if (const auto parent = Find(root_, parentPath)) parent->subkeys.erase(UpperCase(parts.back()));
}

void FakeRegistry::SetReadOnly(std::string_view keyPath, bool readOnly) {
  EnsureKey(keyPath)->readOnly = readOnly;
}

}  // namespace tavrel::fakes
