// The parts of a Windows path, for UTF-8 inside and for the UTF-16 of the
// wide entry points alike. A path's folder ends at its last backslash.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// The name after the last backslash (the whole path without one).
template <typename Char>
std::basic_string_view<Char> FileNameOf(std::basic_string_view<Char> path) {
  return path.substr(path.rfind(Char('\\')) + 1);
}
inline std::string_view FileNameOf(std::string_view path) { return FileNameOf<char>(path); }

// The path without the extension of its name ("C:\A\t.x.exe" -> "C:\A\t.x").
template <typename Char>
std::basic_string_view<Char> WithoutExtension(std::basic_string_view<Char> path) {
  const std::size_t dot = path.rfind(Char('.'));
  const std::size_t slash = path.rfind(Char('\\'));
  const bool inName = dot != path.npos && (slash == path.npos || dot > slash);
  return inName ? path.substr(0, dot) : path;
}
inline std::string_view WithoutExtension(std::string_view path) { return WithoutExtension<char>(path); }

// The folder with its closing backslash ("C:\Apps\"); empty for a bare name.
inline std::string DirectoryOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == path.npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// The folder as a working folder is written: without its closing backslash,
// but for a drive's root ("C:\").
inline std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == path.npos) return {};
  return std::string(path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash));
}

}  // namespace tavrel
