// Whole keys of HKEY_CURRENT_USER read into memory and written back exactly,
// and the guard that puts Tavrel's keys back whatever a check leaves behind.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavrel::native {

struct RegValue {
  std::wstring name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const RegValue&) const = default;
};

// A key with every value and subkey, as the registry lists them.
struct KeyTree {
  bool exists = false;
  std::vector<RegValue> values;
  std::vector<std::pair<std::wstring, KeyTree>> subkeys;
  bool operator==(const KeyTree&) const = default;
};

KeyTree ReadKeyTree(const std::wstring& path);
// Deletes HKCU\path with everything below it, then writes the tree back.
bool WriteKeyTree(const std::wstring& path, const KeyTree& tree);
std::optional<RegValue> ReadValue(const std::wstring& path, const std::wstring& name);
// Writes the value, or deletes it when there is none.
bool PutValue(const std::wstring& path, const std::wstring& name, const std::optional<RegValue>& value);
bool DeleteKeyTree(const std::wstring& path);

inline constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr wchar_t kRunOnceValue[] = L"!Tavrel";
inline constexpr wchar_t kTavrelKey[] = L"Software\\Tavrel";
inline constexpr wchar_t kJournalKey[] = L"Software\\Tavrel\\Journal";

// The trees named (HKCU\EUDC\<code page>, HKCU\Software\Tavrel) and the
// RunOnce value !Tavrel as they were at construction, put back at destruction.
class TavrelRegistryBackup {
 public:
  explicit TavrelRegistryBackup(std::vector<std::wstring> trees);
  ~TavrelRegistryBackup();
  TavrelRegistryBackup(const TavrelRegistryBackup&) = delete;
  TavrelRegistryBackup& operator=(const TavrelRegistryBackup&) = delete;

 private:
  std::vector<std::pair<std::wstring, KeyTree>> trees_;
  std::optional<RegValue> run_once_;
};

}  // namespace tavrel::native
