#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/window_search.h"
#include "platform/text.h"

namespace tavrel::fakes {
namespace {

std::u16string Key(std::string_view path) { return UpperCase(Utf8ToUtf16(path)); }

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string NameOf(std::string_view path) { return std::string(path.substr(path.rfind('\\') + 1)); }

bool IsAbsolute(std::string_view path) { return path.size() >= 3 && path[1] == ':'; }

bool StartsWithDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// As GetFullPathNameW answers, measured under Wine: "/" is "\", "." and ".."
// go (".." never above the root), repeated separators become one, the last
// element loses trailing dots and spaces. "\name" is on the current drive;
// "D:name" is in the current folder when that is on D:, else in D:'s root.
std::string MakeFull(std::string path, const std::string& current) {
  std::replace(path.begin(), path.end(), '/', '\\');
  std::string root = current.substr(0, 2);
  std::string rest;
  if (path.starts_with("\\\\")) {
    const size_t server = path.find('\\', 2);
    const size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
    root = path.substr(0, share);
    rest = share == std::string::npos ? std::string() : path.substr(share);
  } else if (StartsWithDrive(path)) {
    root = path.substr(0, 2);
    const bool relative = path.size() == 2 || path[2] != '\\';
    const bool onCurrentDrive = std::toupper(path[0]) == std::toupper(current[0]);
    rest = (relative && onCurrentDrive ? current.substr(2) : std::string()) + "\\" + path.substr(2);
  } else {
    rest = (path.starts_with('\\') ? std::string() : current.substr(2) + "\\") + path;
  }
  std::vector<std::string> parts;
  for (size_t start = 0; start <= rest.size();) {
    const size_t end = std::min(rest.find('\\', start), rest.size());
    const std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  if (!parts.empty()) {
    std::string& last = parts.back();
    while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
  }
  std::string full = root;
  for (const std::string& part : parts) full += "\\" + part;
  return parts.empty() ? full + "\\" : full;
}

}  // namespace

void FakeFileSystem::AddFile(std::string_view path, DWORD attributes, std::vector<BYTE> content) {
  Put(Entry{std::string(path), attributes, std::move(content)});
}

void FakeFileSystem::AddFont(std::string_view path) {
  AddFile(path, kFileAttributeArchive, {0x00, 0x01, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x80});
}

void FakeFileSystem::AddFolder(std::string_view path) {
  Put(Entry{std::string(path), kFileAttributeDirectory, {}});
}

void FakeFileSystem::Put(Entry entry) {
  if (Entry* existing = FindEntry(entry.path)) {
    *existing = std::move(entry);  // a file replaced keeps its place in the folder
  } else {
    entries_.push_back(std::move(entry));
  }
}

void FakeFileSystem::Remove(std::string_view path) {
  if (const Entry* entry = Find(path)) entries_.erase(entries_.begin() + (entry - entries_.data()));
}

DWORD FakeFileSystem::MissingError(std::string_view path) const {
  const std::string folder = FolderOf(path);
  const bool folderThere =
      folder.size() <= 2 || Exists(folder) ||
      std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return EqualIgnoringCase(FolderOf(entry.path), folder);
      });
  return folderThere ? static_cast<DWORD>(kErrorFileNotFound)
                     : static_cast<DWORD>(kErrorPathNotFound);
}

void FakeFileSystem::AddShortName(std::string_view shortPath, std::string_view longPath) {
  shortNames_[Key(shortPath)] = Key(longPath);
}

FakeFileSystem::Entry* FakeFileSystem::FindEntry(std::string_view path) {
  const auto alias = shortNames_.find(Key(path));
  const std::u16string key = alias == shortNames_.end() ? Key(path) : alias->second;
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& entry) { return Key(entry.path) == key; });
  return it == entries_.end() ? nullptr : &*it;
}

const FakeFileSystem::Entry* FakeFileSystem::Find(std::string_view path) const {
  return const_cast<FakeFileSystem*>(this)->FindEntry(path);
}

// The short (8.3) name of an entry, when it has one.
std::string FakeFileSystem::ShortNameOf(const Entry& entry) const {
  for (const auto& [shortPath, longPath] : shortNames_) {
    if (longPath == Key(entry.path)) return NameOf(Utf16ToUtf8(shortPath));
  }
  return {};
}

DWORD FakeFileSystem::Enter() {
  const auto it = faults_.find(calls_++);
  return it == faults_.end() ? 0 : it->second;
}

bool FakeFileSystem::Exists(std::string_view path) const { return Find(path) != nullptr; }

DWORD FakeFileSystem::AttributesOf(std::string_view path) const {
  const Entry* entry = Find(path);
  return entry ? entry->attributes : kInvalidFileAttributes;
}

void FakeFileSystem::Fill(const Entry& entry, FindDataW* data) {
  data->dwFileAttributes = entry.attributes;
  data->cFileName = Utf8ToUtf16(NameOf(entry.path));
}

Handle FakeFileSystem::FindFirstFileW(const char16_t* pattern, FindDataW* data) {
  if (const DWORD fault = Enter()) return Fail<Handle>(nullptr, fault);
  const std::string full = Utf16ToUtf8(pattern);
  Search search;
  if (full.find_first_of("*?") == std::string::npos) {
    // A plain path: the one file it names, by its long name.
    if (const Entry* entry = Find(full)) search.matches.push_back(*entry);
  } else {
    const std::string folder = UpperCase(FolderOf(full));
    const std::string namePattern = UpperCase(NameOf(full));
    // In directory order; like Windows on a volume with 8.3 names, a pattern
    // matches a file by its long name or by its short one.
    for (const Entry& entry : entries_) {
      const std::string shortName = ShortNameOf(entry);
      if (UpperCase(FolderOf(entry.path)) == folder &&
          (MatchesPattern(UpperCase(NameOf(entry.path)), namePattern) ||
           (!shortName.empty() && MatchesPattern(UpperCase(shortName), namePattern)))) {
        search.matches.push_back(entry);
      }
    }
  }
  if (search.matches.empty()) return Fail<Handle>(nullptr, MissingError(full));
  Fill(search.matches[0], data);
  search.next = 1;
  const auto handle = reinterpret_cast<Handle>(nextHandle_);
  nextHandle_ += 0x10;
  searches_[handle] = std::move(search);
  return handle;
}

BOOL FakeFileSystem::FindNextFileW(Handle handle, FindDataW* data) {
  const auto it = searches_.find(handle);
  if (it == searches_.end()) return Fail(0, kErrorInvalidHandle);
  if (it->second.next >= it->second.matches.size()) return Fail(0, kErrorNoMoreFiles);
  Fill(it->second.matches[it->second.next++], data);
  return 1;
}

BOOL FakeFileSystem::FindClose(Handle handle) { return searches_.erase(handle) ? 1 : 0; }

DWORD FakeFileSystem::GetFileAttributesW(const char16_t* path) {
  if (const DWORD fault = Enter()) return Fail(kInvalidFileAttributes, fault);
  const std::string name = Utf16ToUtf8(path);
  const Entry* entry = Find(name);
  return entry ? entry->attributes : Fail(kInvalidFileAttributes, MissingError(name));
}

DWORD FakeFileSystem::GetFullPathNameW(const char16_t* fileName, DWORD bufferLength,
                                       char16_t* buffer) {
  if (const DWORD fault = Enter()) return Fail(0u, fault);
  const std::string name = Utf16ToUtf8(fileName);
  if (name.empty()) return Fail(0u, kErrorInvalidName);
  const std::u16string full = Utf8ToUtf16(MakeFull(name, currentDirectory_));
  if (full.size() + 1 > bufferLength) return static_cast<DWORD>(full.size() + 1);
  std::copy(full.begin(), full.end(), buffer);
  buffer[full.size()] = u'\0';
  return static_cast<DWORD>(full.size());
}

DWORD FakeFileSystem::SearchPathW(const char16_t* path, const char16_t* fileName,
                                  const char16_t* extension, DWORD bufferLength,
                                  char16_t* buffer) {
  if (const DWORD fault = Enter()) return Fail(0u, fault);
  std::string name = Utf16ToUtf8(fileName);
  if (extension && NameOf(name).find('.') == std::string::npos) name += Utf16ToUtf8(extension);
  std::vector<std::string> candidates;
  if (IsAbsolute(name)) {
    candidates.push_back(name);
  } else {
    for (const auto& folder : path ? std::vector<std::string>{Utf16ToUtf8(path)} : searchPath_) {
      candidates.push_back(folder + "\\" + name);
    }
  }
  for (const auto& candidate : candidates) {
    const Entry* entry = Find(candidate);
    if (!entry) continue;  // folders are found too, as SearchPath finds them
    const std::u16string found = Utf8ToUtf16(entry->path);
    if (found.size() + 1 > bufferLength) return static_cast<DWORD>(found.size() + 1);
    std::copy(found.begin(), found.end(), buffer);
    buffer[found.size()] = u'\0';
    return static_cast<DWORD>(found.size());
  }
  return Fail(0u, kErrorFileNotFound);
}

UINT FakeFileSystem::GetWindowsDirectoryW(char16_t* buffer, UINT size) {
  if (const DWORD fault = Enter()) return Fail(0u, fault);
  const std::u16string dir = Utf8ToUtf16(windowsDir_);
  if (dir.size() + 1 > size) return static_cast<UINT>(dir.size() + 1);
  std::copy(dir.begin(), dir.end(), buffer);
  buffer[dir.size()] = u'\0';
  return static_cast<UINT>(dir.size());
}

Handle FakeFileSystem::CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD,
                                   DWORD creationDisposition) {
  if (const DWORD fault = Enter()) return Fail<Handle>(nullptr, fault);
  const std::string name = Utf16ToUtf8(fileName);
  if (creationDisposition != kOpenExisting || desiredAccess != kGenericRead) {
    return Fail<Handle>(nullptr, kErrorInvalidParameter);  // only what Tavrel asks for
  }
  const Entry* entry = Find(name);
  if (!entry) return Fail<Handle>(nullptr, MissingError(name));
  // A folder cannot be opened as a file without backup semantics.
  if (entry->attributes & kFileAttributeDirectory) return Fail<Handle>(nullptr, kErrorAccessDenied);
  const auto handle = reinterpret_cast<Handle>(nextHandle_);
  nextHandle_ += 0x10;
  openFiles_[handle] = OpenFile{entry->content, 0};
  return handle;
}

BOOL FakeFileSystem::ReadFile(Handle file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
  if (const DWORD fault = Enter()) return Fail(0, fault);
  const auto it = openFiles_.find(file);
  if (it == openFiles_.end()) return Fail(0, kErrorInvalidHandle);
  OpenFile& open = it->second;
  const size_t n = std::min<size_t>(bytesToRead, open.content.size() - open.position);
  std::memcpy(buffer, open.content.data() + open.position, n);
  open.position += n;
  *bytesRead = static_cast<DWORD>(n);  // 0 at the end of the file, and still TRUE
  return 1;
}

BOOL FakeFileSystem::CloseHandle(Handle file) {
  return openFiles_.erase(file) ? 1 : Fail(0, kErrorInvalidHandle);
}

}  // namespace tavrel::fakes
