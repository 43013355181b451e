// An in-memory registry that answers like advapi32: names compared without
// regard to case, values kept in creation order with their type and raw bytes
// (text as UTF-16, as Windows stores it), ANSI calls converting names and text
// through code page 932 and counting in its bytes, ERROR_MORE_DATA and
// ERROR_NO_MORE_ITEMS where Windows gives them, access rights checked per handle.
//
// Tests can make a key read-only, inject an error at the n-th registry call,
// count the handles still open, see the registry as the last RegFlushKey left
// it on disk, and look at it just before any value changes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace tavrel::fakes {

class FakeRegistry final : public IRegistry {
 public:
  struct Value {
    std::u16string name;
    DWORD type = kRegNone;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
  };

  FakeRegistry();

  // --- set-up and inspection for tests (paths below HKEY_CURRENT_USER, UTF-8) ---
  void SetRaw(std::string_view keyPath, std::string_view name, DWORD type, std::vector<BYTE> data);
  // Stores text as Windows does: UTF-16 with its terminating NUL.
  void SetText(std::string_view keyPath, std::string_view name, std::string_view text,
               DWORD type = kRegSz);
  std::optional<Value> Get(std::string_view keyPath, std::string_view name) const;
  // The text of a string value (UTF-16 data up to its first NUL), if present.
  std::optional<std::string> GetText(std::string_view keyPath, std::string_view name) const;
  std::vector<Value> Values(std::string_view keyPath) const;
  bool KeyExists(std::string_view keyPath) const;
  void RemoveKey(std::string_view keyPath);
  // Opening the key with any right beyond reading fails with access denied.
  void SetReadOnly(std::string_view keyPath, bool readOnly = true);
  // The registry call numbered `callIndex` (from 0, RegCloseKey not counted)
  // fails with `error` and changes nothing.
  void InjectFault(size_t callIndex, LSTATUS error);
  // The `occurrence`-th call whose description (see callLog) contains `call`
  // fails with `error`: "RegFlushKey HKCU\\Software\\Tavrel\\Journal".
  void InjectFault(std::string call, LSTATUS error, int occurrence = 1);
  void ClearFaults() {
    faults_.clear();
    namedFaults_.clear();
  }
  // Every counted call: the function without A/W, the key ("HKCU\\EUDC\\932"
  // for a handle, "HKCU" for the root) and the subkey or value name.
  std::vector<std::string> callLog;
  size_t CallCount() const { return calls_; }
  size_t OpenHandleCount() const { return handles_.size(); }
  // A value as the last RegFlushKey wrote it to disk (nothing before any flush).
  std::optional<Value> GetDurable(std::string_view keyPath, std::string_view name) const;
  // Runs before a value of a key is set or deleted, with the key's path.
  std::function<void(const std::string& keyPath)> beforeChange;

  // --- IRegistry ---
  Hkey CurrentUser() const override;
  LSTATUS RegOpenKeyExA(Hkey root, const char* subKey, DWORD options, REGSAM access,
                        Hkey* result) override;
  LSTATUS RegCreateKeyExA(Hkey root, const char* subKey, REGSAM access, Hkey* result,
                          DWORD* disposition) override;
  LSTATUS RegEnumValueA(Hkey key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* type,
                        BYTE* data, DWORD* dataSize) override;
  LSTATUS RegQueryValueExA(Hkey key, const char* valueName, DWORD* type, BYTE* data,
                           DWORD* dataSize) override;
  LSTATUS RegSetValueExA(Hkey key, const char* valueName, DWORD type, const BYTE* data,
                         DWORD dataSize) override;
  LSTATUS RegOpenKeyExW(Hkey root, const char16_t* subKey, DWORD options, REGSAM access,
                        Hkey* result) override;
  LSTATUS RegCreateKeyExW(Hkey root, const char16_t* subKey, REGSAM access, Hkey* result,
                          DWORD* disposition) override;
  LSTATUS RegQueryInfoKeyW(Hkey key, DWORD* values, DWORD* maxValueNameLen,
                           DWORD* maxValueLen) override;
  LSTATUS RegEnumValueW(Hkey key, DWORD index, char16_t* valueName, DWORD* valueNameLen,
                        DWORD* type, BYTE* data, DWORD* dataSize) override;
  LSTATUS RegQueryValueExW(Hkey key, const char16_t* valueName, DWORD* type, BYTE* data,
                           DWORD* dataSize) override;
  LSTATUS RegSetValueExW(Hkey key, const char16_t* valueName, DWORD type, const BYTE* data,
                         DWORD dataSize) override;
  LSTATUS RegDeleteValueW(Hkey key, const char16_t* valueName) override;
  LSTATUS RegDeleteTreeW(Hkey root, const char16_t* subKey) override;
  LSTATUS RegFlushKey(Hkey key) override;
  LSTATUS RegCloseKey(Hkey key) override;

 private:
  struct Key {
    std::string path;  // below HKEY_CURRENT_USER, as first named
    std::vector<Value> values;
    std::map<std::u16string, std::shared_ptr<Key>> subkeys;  // by folded name
    bool readOnly = false;
    bool deleted = false;
  };
  struct OpenKey {
    std::shared_ptr<Key> key;
    REGSAM access = 0;
  };

  struct NamedFault {
    std::string call;
    LSTATUS error;
    int occurrence;
  };
  // Counts and logs the call; returns the injected error for it, or success.
  LSTATUS Enter(Hkey handle, std::string_view call, std::u16string_view name = {});
  std::string PathOf(Hkey handle) const;
  std::shared_ptr<Key> Resolve(Hkey handle, REGSAM need, LSTATUS& error) const;
  std::shared_ptr<Key> EnsureKey(std::string_view keyPath);
  // The subkey of that name, created when missing.
  static std::shared_ptr<Key> Subkey(Key& parent, std::u16string_view name);
  std::shared_ptr<Key> Find(const std::shared_ptr<Key>& from, std::u16string_view path) const;
  LSTATUS Open(Hkey root, std::u16string_view path, REGSAM access, bool create, Hkey* result,
               DWORD* disposition);
  Hkey NewHandle(std::shared_ptr<Key> key, REGSAM access);
  LSTATUS Query(Hkey key, std::u16string_view name, bool ansi, DWORD* type, BYTE* data,
                DWORD* dataSize);
  LSTATUS Set(Hkey key, std::u16string_view name, DWORD type, std::vector<BYTE> data);
  LSTATUS Enum(Hkey key, DWORD index, bool ansi, void* name, DWORD* nameSize, DWORD* type,
               BYTE* data, DWORD* dataSize);

  static std::shared_ptr<Key> DeepCopy(const Key& key);

  std::shared_ptr<Key> root_ = std::make_shared<Key>();
  std::shared_ptr<Key> durable_;
  std::map<Hkey, OpenKey> handles_;
  std::map<size_t, LSTATUS> faults_;
  std::vector<NamedFault> namedFaults_;
  size_t calls_ = 0;
  std::uintptr_t nextHandle_ = 0x1000;
};

}  // namespace tavrel::fakes
