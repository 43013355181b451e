// What Tavrel is started with:
//   tavrel.exe [/run] [/exit] [program] [font.tte] [-- arguments for the program]
// Shortcuts pass it, and so does Explorer for files dropped onto the icon.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrel {

class IDesktop;
class IFiles;

// Why an argument was not taken.
enum class ArgumentFault {
  UnknownSwitch,  // begins with "/" or "-" and is none of Tavrel's
  TooManyFiles,   // a third path
  SecondProgram,  // a second path that is not a .tte file
  SecondFont,     // a second .tte file
  NoSuchFile,     // names nothing, or a folder
  NotAFont,       // a .tte file that cannot be read or is no font
};

struct ArgumentError {
  ArgumentFault fault;
  std::string argument;  // as given (UTF-8)
  std::string fullPath;  // what a path resolved to; empty for a switch
};

struct CommandLine {
  bool run = false;      // /run: launch once the window is shown
  bool exit = false;     // /exit: tick the check box that ends Tavrel with the program
  bool restore = false;  // /restore: the journal's recovery
  std::string program;   // full path (UTF-8), empty when not given
  std::string font;      // full path of the .tte file, empty when not given
  // Everything after "--", for the program: quoted again so that it splits
  // as given (UTF-8); empty without "--".
  std::string programArguments;
  // Set when an argument was not taken; all of the above then stay empty, so
  // the start goes on as without arguments.
  std::optional<ArgumentError> error;
};

// Parses the arguments that follow the program's own name. Relative paths are
// made full against the current folder; each must name an existing file.
// What follows "--" is the program's, whatever it looks like.
CommandLine ParseArguments(const std::vector<std::string>& arguments, IFiles& files);

// The process's own arguments, parsed.
CommandLine ReadCommandLine(IDesktop& desktop, IFiles& files);

// One argument quoted, where it needs it, so that a program splitting its
// command line the usual Windows way gets it back as it is.
std::string QuoteArgument(std::string_view argument);

}  // namespace tavrel
