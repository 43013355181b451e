#include "window/file_choice.h"

#include "files/file_kind.h"

#include <utility>

namespace tavrel {
namespace {

// "C:\..." or a UNC path "\\server\share\...".
bool IsFullPath(std::string_view path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with("\\\\");
}

// The folder of a file shown by its full path; empty for any other text (a
// prompt). A UNC path needs a server and a share before its file.
std::string StartFolderOf(std::string_view path) {
  if (!IsFullPath(path)) return {};
  if (path.starts_with("\\\\")) {
    const std::size_t share = path.find('\\', 2);
    if (share == std::string_view::npos || path.find('\\', share + 1) == std::string_view::npos) return {};
  }
  return FolderOf(path);
}

}  // namespace

FileChoice ChoiceFor(Control box, std::string_view shown, std::string_view tavrel) {
  FileChoice choice = box == Control::FontBox ? FileChoice{Text::FontFilter, "*.tte", {}}
                                              : FileChoice{Text::ProgramFilter, "*.exe;*.lnk", {}};
  for (const std::string_view path : {shown, tavrel}) {
    std::string folder = StartFolderOf(path);
    if (!folder.empty() && (choice.folders.empty() || choice.folders.front() != folder)) {
      choice.folders.push_back(std::move(folder));
    }
  }
  return choice;
}

}  // namespace tavrel
