#include "shortcuts/program_to_start.h"

#include "files/file_kind.h"
#include "base/text.h"
#include "files/files.h"
#include "shortcuts/shortcuts.h"

namespace tavrel {
namespace {

ProgramToStart Refused(ProgramRefusal refusal, std::string target, ErrorCode error = kSuccess) {
  ProgramToStart refused;
  refused.refusal = refusal;
  refused.target = std::move(target);
  refused.error = error;
  return refused;
}

ProgramToStart Starting(std::string program, std::string arguments, std::string folder) {
  ProgramToStart start;
  start.program = std::move(program);
  start.arguments = std::move(arguments);
  start.folder = std::move(folder);
  return start;
}

}  // namespace

bool IsLinkPath(std::string_view path) { return HasExtension(path, kLinkExtension); }

ProgramToStart ResolveProgram(std::string_view given, IShortcuts& shortcuts, IFiles& files) {
  if (!IsLinkPath(given)) return Starting(std::string(given), {}, FolderOf(given));
  const LinkReading link = shortcuts.Read(Utf8ToUtf16(given));
  if (link.error != kSuccess) return Refused(ProgramRefusal::LinkUnreadable, {}, link.error);
  std::string target = Utf16ToUtf8(link.target);
  // An address or an item of the shell's own has no path; a program is a
  // file, by the same rule as a drop on the program box.
  if (target.empty() || !HasExtension(target, kProgramExtension)) {
    return Refused(ProgramRefusal::NotAProgram, std::move(target));
  }
  if (!files.IsFile(link.target)) {
    // A folder named "x.exe" is still no program.
    const bool folder = !files.List(link.target).empty();
    return Refused(folder ? ProgramRefusal::NotAProgram : ProgramRefusal::TargetMissing, std::move(target));
  }
  // Without a folder of its own, in the program's, as Tavrel starts any.
  std::string folder = link.workingFolder.empty() ? FolderOf(target) : Utf16ToUtf8(link.workingFolder);
  return Starting(std::move(target), Utf16ToUtf8(link.arguments), std::move(folder));
}

std::string JoinArguments(std::string_view first, std::string_view second) {
  if (first.empty()) return std::string(second);
  if (second.empty()) return std::string(first);
  return std::string(first) + " " + std::string(second);
}

}  // namespace tavrel
