#include "run/start_failure.h"

#include "texts/texts.h"
#include "base/text.h"
#include "desktop/desktop.h"
#include "files/files.h"

namespace tavrel {
namespace {

// Where the DOS header keeps the offset of the newer header (e_lfanew).
constexpr std::size_t kNewHeaderOffsetAt = 0x3C;

std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool BeginsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view signature) {
  if (at > bytes.size() || bytes.size() - at < signature.size()) return false;
  for (std::size_t i = 0; i < signature.size(); ++i) {
    if (bytes[at + i] != static_cast<std::uint8_t>(signature[i])) return false;
  }
  return true;
}

}  // namespace

// 64-bit Windows starts only PE images. Any other file with an MZ header it
// refuses with ERROR_BAD_EXE_FORMAT: a DOS program, whose e_lfanew is
// whatever its header holds there, and a 16-bit Windows program, whose
// e_lfanew points at an "NE" header.
ExecutableKind KindOfExecutable(std::span<const std::uint8_t> head) {
  if (!BeginsWith(head, 0, "MZ")) return ExecutableKind::Other;
  if (head.size() < kNewHeaderOffsetAt + 4) return ExecutableKind::DosOr16Bit;  // too short for a PE header
  const std::uint32_t newHeader = ReadLittleEndian32(head, kNewHeaderOffsetAt);
  if (BeginsWith(head, newHeader, std::string_view("PE\0\0", 4))) return ExecutableKind::Windows;
  // Past a head that was cut, a PE header may yet follow.
  const bool cut = head.size() >= kExecutableHeadSize;
  return cut && newHeader > head.size() - 4 ? ExecutableKind::Other : ExecutableKind::DosOr16Bit;
}

// 64-bit Windows refuses a DOS or 16-bit program with ERROR_BAD_EXE_FORMAT.
// Wine 8 without its 16-bit support refuses it with ERROR_FILE_NOT_FOUND
// although the file is there. Whatever the code, the file's head tells.
std::string StartFailureText(const Texts& texts, IDesktop& desktop, IFiles& files, std::string_view program,
                             ErrorCode error) {
  const FileHead head = files.ReadHead(Utf8ToUtf16(program), kExecutableHeadSize);
  if (head.error == kSuccess && KindOfExecutable(head.bytes) == ExecutableKind::DosOr16Bit) {
    return texts.ErrorText(texts.Get(Text::DosProgram), error);
  }
  return texts.ErrorText(desktop.ErrorText(error, program), error);
}

}  // namespace tavrel
