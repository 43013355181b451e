// Why Windows would not start a program, told as the user needs it: a DOS or
// 16-bit program by name, any other failure in the system's words with the
// program's path filled in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/errors.h"

namespace tavrel {

class IDesktop;
class IFiles;
class Texts;

enum class ExecutableKind {
  Windows,     // an MZ header pointing at a PE header
  DosOr16Bit,  // an MZ header and no PE header: DOS, or 16-bit Windows (NE) and the like
  Other,       // no MZ header, or a head cut before the place its header points at
};

// How many bytes of a program's head KindOfExecutable needs: the PE header of
// every usual linker's output starts well before.
inline constexpr std::size_t kExecutableHeadSize = 4096;

// The kind of executable these first bytes of a file are, as IFiles::ReadHead
// gives them (the whole file when it is shorter than kExecutableHeadSize).
ExecutableKind KindOfExecutable(std::span<const std::uint8_t> head);

// The reason, with its error code, for a failed start of `program` (UTF-8):
// for a DOS or 16-bit program, that 64-bit Windows cannot run it.
std::string StartFailureText(const Texts& texts, IDesktop& desktop, IFiles& files, std::string_view program,
                             ErrorCode error);

}  // namespace tavrel
