// The EUDC settings of a code page as Tavrel needs them: every value of
// HKEY_CURRENT_USER\EUDC\<code page> exactly, a set of values written back
// exactly, and the system's EUDC fonts released and reloaded around a change.
// Windows links the EUDC font through the key of the ANSI code page in use
// (EUDC\932 on a Japanese system, EUDC\1252 on a Western one).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/errors.h"
#include "eudc/raw_value.h"

namespace tavrel {

using CodePage = std::uint32_t;
// The code page of a journal written before records named theirs.
inline constexpr CodePage kJapaneseCodePage = 932;
inline constexpr char16_t kSystemDefaultEudcFont[] = u"SystemDefaultEUDCFont";

// The key below HKEY_CURRENT_USER: "EUDC\<code page>".
inline std::u16string EudcKeyPath(CodePage codePage) {
  std::u16string path = u"EUDC\\";
  for (const char digit : std::to_string(codePage)) path += static_cast<char16_t>(digit);
  return path;
}
// The key as the user finds it in the registry editor.
inline std::u16string EudcKeyShown(CodePage codePage) {
  return u"HKEY_CURRENT_USER\\" + EudcKeyPath(codePage);
}

struct [[nodiscard]] KeyReading {
  enum class Outcome {
    Listed,  // every value of the key
    Absent,  // the key does not exist
    Failed,  // the key could not be read whole
  };
  Outcome outcome = Outcome::Failed;
  std::vector<RawValue> values;  // in the registry's order
  ErrorCode error = kSuccess;    // why it Failed
};

// A value that could not be written, with the registry's error.
struct WriteFailure {
  std::u16string name;
  ErrorCode error = kSuccess;
  bool operator==(const WriteFailure&) const = default;
};

// Each read and write names the code page of the key it addresses.
class IEudcKey {
 public:
  virtual ~IEudcKey() = default;

  // The ANSI code page in use: the one whose key programs read.
  [[nodiscard]] virtual CodePage ActiveCodePage() = 0;
  [[nodiscard]] virtual KeyReading ReadAll(CodePage codePage) = 0;
  // Creates the key when missing and stores each value with its exact type
  // and bytes, in order; the values that could not be written.
  [[nodiscard]] virtual std::vector<WriteFailure> Write(CodePage codePage,
                                                        std::span<const RawValue> values) = 0;
  // Returns once the key's changes are on disk.
  [[nodiscard]] virtual ErrorCode Flush(CodePage codePage) = 0;
  // Releases (false) or reloads (true) the EUDC fonts of the session.
  [[nodiscard]] virtual ErrorCode EnableEudc(bool enable) = 0;
  // The Windows directory, without a trailing backslash; nothing on failure.
  [[nodiscard]] virtual std::optional<std::u16string> WindowsDirectory() = 0;
};

}  // namespace tavrel
