// An in-memory store of INI files that answers like the kernel32 profile calls:
// files keyed by name, section and key names compared without regard to case
// and trimmed of surrounding white space, values trimmed and unquoted on
// reading, nothing created by a read, a file and section created by the first
// write into them. Text crosses the calls in code page 932 and is kept as
// UTF-8.
//
// The empty file name names no file (Windows resolves it to the Windows
// directory itself): reads give the default and writes fail. Every other name
// is a file of its own; folders are not modelled.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_api.h"

namespace tavrel::fakes {

class FakeProfile final : public IProfile {
 public:
  // --- inspection for tests (UTF-8) ---
  bool FileExists(std::string_view fileName) const;
  // The value as written, before a read trims and unquotes it.
  std::optional<std::string> StoredValue(std::string_view fileName, std::string_view section,
                                         std::string_view key) const;

  // --- IProfile ---
  DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                 const char* lpDefault, char* lpReturnedString, DWORD nSize,
                                 const char* lpFileName) override;
  BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                  const char* lpString, const char* lpFileName) override;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  using File = std::vector<Section>;

  const File* FindFile(std::string_view fileName) const;
  File* FindFile(std::string_view fileName);
  void RemoveSection(std::string_view fileName, std::string_view section);
  void RemoveKey(std::string_view fileName, std::string_view section, std::string_view key);
  void SetValue(std::string_view fileName, std::string_view section, std::string_view key,
                std::string_view value);

  std::map<std::u16string, File> files_;  // by folded file name
};

}  // namespace tavrel::fakes
