// The program and font of the last launch, kept in Tavrel.ini. A path under
// Tavrel's folder is kept relative to it, so that a copy on a removable
// drive finds its files under another drive letter; a relative path counts
// from Tavrel's folder, whatever the current folder is.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

class IFiles;
class ISettings;

class RememberedPair {
 public:
  // `appFolder`: Tavrel's folder, full, with its closing backslash.
  RememberedPair(ISettings& settings, IFiles& files, std::string appFolder);

  // Full path of the remembered program while it is a file and no font
  // file; empty otherwise.
  std::string Program();
  // Full path of the remembered font while it is a .tte file that begins as
  // a font does; empty otherwise.
  std::string Font();
  // False when the settings file cannot be written (nothing is then kept).
  bool Store(std::string_view program, std::string_view font);

 private:
  // The stored path made full; empty for one that cannot be.
  std::string FullPathOf(std::string_view stored);
  std::string StoredFormOf(std::string_view path) const;
  // The drive ("C:") or share ("\\server\share") Tavrel's folder is on.
  std::string AppRoot() const;

  ISettings& settings_;
  IFiles& files_;
  std::string appFolder_;
};

}  // namespace tavrel
