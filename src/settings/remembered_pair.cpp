#include "settings/remembered_pair.h"

#include <optional>

#include "files/file_kind.h"
#include "base/text.h"
#include "files/files.h"
#include "settings/settings.h"

namespace tavrel {
namespace {

constexpr std::string_view kProgramName = "Program";
constexpr std::string_view kFontName = "Font";

}  // namespace

RememberedPair::RememberedPair(ISettings& settings, IFiles& files, std::string appFolder)
    : settings_(settings), files_(files), appFolder_(std::move(appFolder)) {}

std::string RememberedPair::Program() {
  const std::optional<std::string> stored = settings_.Read(kProgramName);
  const std::string path = stored ? FullPathOf(*stored) : std::string();
  if (path.empty() || IsFontPath(path) || !files_.IsFile(Utf8ToUtf16(path))) return {};
  return path;
}

std::string RememberedPair::Font() {
  const std::optional<std::string> stored = settings_.Read(kFontName);
  const std::string path = stored ? FullPathOf(*stored) : std::string();
  if (path.empty() || !IsFontPath(path) || !files_.IsFile(Utf8ToUtf16(path)) || !IsFontFile(files_, path)) {
    return {};
  }
  return path;
}

bool RememberedPair::Store(std::string_view program, std::string_view font) {
  return settings_.Write(kProgramName, StoredFormOf(program)) && settings_.Write(kFontName, StoredFormOf(font));
}

std::string RememberedPair::FullPathOf(std::string_view stored) {
  std::string path;
  if (stored.empty()) return {};
  if (IsFullPath(stored)) {
    path = stored;
  } else if (stored.front() == '\\') {
    path = AppRoot() + std::string(stored);  // from the root of Tavrel's drive
  } else if (stored.find(':') != std::string_view::npos) {
    return {};  // "D:game.exe" counts from a drive's current folder: nobody's here
  } else {
    path = appFolder_ + std::string(stored);
  }
  // "..\" and "." as Windows resolves them.
  const std::optional<std::u16string> full = files_.FullPath(Utf8ToUtf16(path));
  return full ? Utf16ToUtf8(*full) : std::string();
}

std::string RememberedPair::StoredFormOf(std::string_view path) const {
  const std::u16string wide = Utf8ToUtf16(path);
  const std::u16string folder = Utf8ToUtf16(appFolder_);
  if (folder.empty() || wide.size() <= folder.size() ||
      !EqualIgnoringCase(std::u16string_view(wide).substr(0, folder.size()), folder)) {
    return std::string(path);
  }
  return Utf16ToUtf8(std::u16string_view(wide).substr(folder.size()));
}

std::string RememberedPair::AppRoot() const {
  if (!appFolder_.starts_with("\\\\")) return appFolder_.substr(0, 2);
  // \\server\share: up to the backslash after the share's name.
  const size_t share = appFolder_.find('\\', 2);
  const size_t end = share == std::string::npos ? share : appFolder_.find('\\', share + 1);
  return appFolder_.substr(0, end);
}

}  // namespace tavrel
