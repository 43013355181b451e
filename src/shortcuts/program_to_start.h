// What starts when the user names a program: the file itself, or, for a
// shortcut (.lnk), the program it points at with the shortcut's arguments
// and working folder, as Explorer starts it.
#pragma once

#include <string>
#include <string_view>

#include "base/errors.h"

namespace tavrel {

class IFiles;
class IShortcuts;

inline constexpr std::string_view kLinkExtension = ".lnk";

// Why a program given cannot be started with the font.
enum class ProgramRefusal {
  None,
  LinkUnreadable,  // the shortcut file cannot be read as one
  NotAProgram,     // it points at a folder, a document, an address or another shortcut
  TargetMissing,   // what it points at is not there
};

struct ProgramToStart {
  std::string program;    // full path of the program file (UTF-8)
  std::string arguments;  // the shortcut's; empty for a program given itself
  std::string folder;     // where it starts: the shortcut's folder, else its own
  ProgramRefusal refusal = ProgramRefusal::None;
  std::string target;          // what a refused shortcut points at, as it holds it
  ErrorCode error = kSuccess;  // LinkUnreadable: why
  bool operator==(const ProgramToStart&) const = default;
};

bool IsLinkPath(std::string_view path);

// `given` is a full path. A file that is no shortcut starts as it is, in its
// own folder.
ProgramToStart ResolveProgram(std::string_view given, IShortcuts& shortcuts, IFiles& files);

// The shortcut's arguments followed by those given beside it ("-- ..."),
// one blank between.
std::string JoinArguments(std::string_view first, std::string_view second);

}  // namespace tavrel
