#include "command_line/command_line.h"

#include "files/file_kind.h"
#include "base/text.h"
#include "desktop/desktop.h"
#include "files/files.h"

namespace tavrel {
namespace {

enum class Switch { None, Run, Exit, Restore, Unknown };

bool IsSwitch(std::string_view argument) {
  return !argument.empty() && (argument.front() == '/' || argument.front() == '-');
}

Switch SwitchOf(std::string_view argument) {
  const std::string name = UpperCase(argument.substr(1));
  if (name == "RUN") return Switch::Run;
  if (name == "EXIT") return Switch::Exit;
  if (name == "RESTORE") return Switch::Restore;
  return Switch::Unknown;
}

// Made full against the current folder (and a drive's own current folder
// for "D:name"); nothing is checked. Empty when that fails.
std::string FullPathOf(std::string_view path, IFiles& files) {
  const std::optional<std::u16string> full = files.FullPath(Utf8ToUtf16(path));
  return full ? Utf16ToUtf8(*full) : std::string();
}

CommandLine Rejected(ArgumentFault fault, std::string argument, std::string fullPath = {}) {
  CommandLine rejected;
  rejected.error = ArgumentError{fault, std::move(argument), std::move(fullPath)};
  return rejected;
}

}  // namespace

CommandLine ParseArguments(const std::vector<std::string>& arguments, IFiles& files) {
  CommandLine parsed;
  int paths = 0;
  for (auto at = arguments.begin(); at != arguments.end(); ++at) {
    const std::string& argument = *at;
    if (argument == "--") {
      for (auto rest = at + 1; rest != arguments.end(); ++rest) {
        if (!parsed.programArguments.empty()) parsed.programArguments += ' ';
        parsed.programArguments += QuoteArgument(*rest);
      }
      break;
    }
    if (IsSwitch(argument)) {
      switch (SwitchOf(argument)) {
        case Switch::Run: parsed.run = true; break;
        case Switch::Exit: parsed.exit = true; break;
        case Switch::Restore: parsed.restore = true; break;
        default: return Rejected(ArgumentFault::UnknownSwitch, argument);
      }
      continue;
    }
    std::string fullPath = FullPathOf(argument, files);
    if (++paths > 2) return Rejected(ArgumentFault::TooManyFiles, argument, fullPath);
    if (fullPath.empty()) return Rejected(ArgumentFault::NoSuchFile, argument);  // ""
    // Windows drops a trailing dot or space ("gaiji.tte."), as
    // Windows does when it opens the file: either name tells the kind.
    const bool font = IsFontPath(argument) || IsFontPath(fullPath);
    std::string& slot = font ? parsed.font : parsed.program;
    if (!slot.empty()) {
      return Rejected(font ? ArgumentFault::SecondFont : ArgumentFault::SecondProgram, argument,
                      fullPath);
    }
    if (!files.IsFile(Utf8ToUtf16(fullPath))) {
      return Rejected(ArgumentFault::NoSuchFile, argument, fullPath);
    }
    if (font && !IsFontFile(files, fullPath)) return Rejected(ArgumentFault::NotAFont, argument, fullPath);
    slot = std::move(fullPath);
  }
  return parsed;
}

CommandLine ReadCommandLine(IDesktop& desktop, IFiles& files) {
  return ParseArguments(desktop.Arguments(), files);
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
    return std::string(argument);
  }
  // Backslashes count only before a quote: doubled there, and before the
  // closing quote, so that each stands for itself.
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

}  // namespace tavrel
