#include "fakes/fake_profile.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr BOOL kFalse = 0;
constexpr BOOL kTrue = 1;
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kWhiteSpace) - first + 1);
}

// A value enclosed in a matching pair of single or double quotes loses them.
std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

// Trailing blanks of the default are cut; tabs and quotes stay, as documented
// (Wine unquotes the default as well).
std::string_view DefaultText(const char* lpDefault) {
  std::string_view s = lpDefault ? lpDefault : "";
  const size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string FromAnsi(const char* s) { return s ? AnsiToUtf8(s) : std::string(); }

std::u16string FileKey(std::string_view fileName) { return UpperCase(Utf8ToUtf16(fileName)); }
std::u16string NameKey(std::string_view name) { return UpperCase(Utf8ToUtf16(Trim(name))); }

template <typename Sections>
auto FindSection(Sections& sections, std::string_view name) {
  return std::find_if(sections.begin(), sections.end(),
                      [&](const auto& s) { return NameKey(s.name) == NameKey(name); });
}

template <typename Entries>
auto FindEntry(Entries& entries, std::string_view key) {
  return std::find_if(entries.begin(), entries.end(),
                      [&](const auto& e) { return NameKey(e.key) == NameKey(key); });
}

// The value cut to nSize - 1 bytes and NUL-terminated; the bytes copied. The
// cut may split a double-byte character, as documented; Wine cuts before the
// character instead but still counts (and leaves unwritten) its first byte.
DWORD CopyText(std::string_view text, char* out, DWORD nSize) {
  if (!out || nSize == 0) return 0;
  const size_t n = std::min<size_t>(text.size(), nSize - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

// Names each followed by a NUL, one more NUL after the last. Cut short, the
// list ends in two NULs at the end of the buffer and nSize - 2 is returned, as
// documented; Wine writes only the first of those two NULs.
DWORD CopyList(const std::vector<std::string>& names, char* out, DWORD nSize) {
  if (!out || nSize == 0) return 0;
  std::string joined;
  for (const auto& name : names) joined += Utf8ToAnsi(name) + '\0';
  if (joined.size() < nSize) {
    std::memcpy(out, joined.data(), joined.size());
    out[joined.size()] = '\0';
    if (joined.empty() && nSize > 1) out[1] = '\0';
    return static_cast<DWORD>(joined.size());
  }
  if (nSize < 2) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, joined.data(), nSize - 2);
  out[nSize - 2] = out[nSize - 1] = '\0';
  return nSize - 2;
}

}  // namespace

const FakeProfile::File* FakeProfile::FindFile(std::string_view fileName) const {
  const auto it = files_.find(FileKey(fileName));
  return it == files_.end() ? nullptr : &it->second;
}

FakeProfile::File* FakeProfile::FindFile(std::string_view fileName) {
  const auto it = files_.find(FileKey(fileName));
  return it == files_.end() ? nullptr : &it->second;
}

bool FakeProfile::FileExists(std::string_view fileName) const {
  return FindFile(fileName) != nullptr;
}

std::optional<std::string> FakeProfile::StoredValue(std::string_view fileName,
                                                    std::string_view section,
                                                    std::string_view key) const {
  const File* file = FindFile(fileName);
  if (!file) return std::nullopt;
  const auto s = FindSection(*file, section);
  if (s == file->end()) return std::nullopt;
  const auto e = FindEntry(s->entries, key);
  if (e == s->entries.end()) return std::nullopt;
  return e->value;
}

DWORD FakeProfile::GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                            const char* lpDefault, char* lpReturnedString,
                                            DWORD nSize, const char* lpFileName) {
  const File* file = FindFile(lpFileName ? FromAnsi(lpFileName) : "win.ini");
  if (!lpAppName) {
    std::vector<std::string> names;
    if (file) {
      for (const Section& s : *file) names.push_back(s.name);
    }
    return CopyList(names, lpReturnedString, nSize);
  }
  const Section* section = nullptr;
  if (file) {
    const auto it = FindSection(*file, FromAnsi(lpAppName));
    if (it != file->end()) section = &*it;
  }
  if (section && !lpKeyName && !section->entries.empty()) {
    std::vector<std::string> names;
    for (const Entry& e : section->entries) names.push_back(e.key);
    return CopyList(names, lpReturnedString, nSize);
  }
  if (section && lpKeyName) {
    const auto it = FindEntry(section->entries, FromAnsi(lpKeyName));
    if (it != section->entries.end()) {
      return CopyText(Utf8ToAnsi(Unquote(Trim(it->value))), lpReturnedString, nSize);
    }
  }
  // A missing file, section or key, and (as under Wine) a section without keys.
  return CopyText(DefaultText(lpDefault), lpReturnedString, nSize);
}

BOOL FakeProfile::WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                             const char* lpString, const char* lpFileName) {
  // Flushing the cache (all three null) returns FALSE; so does a key without
  // a section.
  if (!lpAppName) return kFalse;
  const std::string fileName = lpFileName ? FromAnsi(lpFileName) : "win.ini";
  if (fileName.empty()) return kFalse;  // ERROR_ACCESS_DENIED on the Windows directory
  if (!lpKeyName) {
    RemoveSection(fileName, FromAnsi(lpAppName));
  } else if (!lpString) {
    RemoveKey(fileName, FromAnsi(lpAppName), FromAnsi(lpKeyName));
  } else {
    SetValue(fileName, FromAnsi(lpAppName), FromAnsi(lpKeyName), FromAnsi(lpString));
  }
  return kTrue;
}

// Removing from a missing file succeeds and creates nothing.
void FakeProfile::RemoveSection(std::string_view fileName, std::string_view section) {
  File* file = FindFile(fileName);
  if (!file) return;
  const auto it = FindSection(*file, section);
  if (it != file->end()) file->erase(it);
}

void FakeProfile::RemoveKey(std::string_view fileName, std::string_view section,
                            std::string_view key) {
  File* file = FindFile(fileName);
  if (!file) return;
  const auto s = FindSection(*file, section);
  if (s == file->end()) return;
  const auto e = FindEntry(s->entries, key);
  if (e != s->entries.end()) s->entries.erase(e);
}

void FakeProfile::SetValue(std::string_view fileName, std::string_view section,
                           std::string_view key, std::string_view value) {
  File& file = files_[FileKey(fileName)];
  auto s = FindSection(file, section);
  if (s == file.end()) s = file.insert(file.end(), Section{std::string(Trim(section)), {}});
  auto e = FindEntry(s->entries, key);
  if (e == s->entries.end()) {
    s->entries.push_back(Entry{std::string(Trim(key)), std::string(value)});
  } else {
    e->value = value;
  }
}

}  // namespace tavrel::fakes
