// The EUDC settings of code page 932 as Tavrel needs them: every value of
// HKEY_CURRENT_USER\EUDC\932 exactly, a set of values written back exactly,
// and the system's EUDC fonts released and reloaded around a change.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/errors.h"
#include "eudc/raw_value.h"

namespace tavrel {

inline constexpr char16_t kEudcKeyPath[] = u"EUDC\\932";
inline constexpr char16_t kEudcKeyShown[] = u"HKEY_CURRENT_USER\\EUDC\\932";
inline constexpr char16_t kSystemDefaultEudcFont[] = u"SystemDefaultEUDCFont";

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

class IEudcKey {
 public:
  virtual ~IEudcKey() = default;

  [[nodiscard]] virtual KeyReading ReadAll() = 0;
  // Creates the key when missing and stores each value with its exact type
  // and bytes, in order; the values that could not be written.
  [[nodiscard]] virtual std::vector<WriteFailure> Write(std::span<const RawValue> values) = 0;
  // Returns once the key's changes are on disk.
  [[nodiscard]] virtual ErrorCode Flush() = 0;
  // Releases (false) or reloads (true) the EUDC fonts of the session.
  [[nodiscard]] virtual ErrorCode EnableEudc(bool enable) = 0;
  // The Windows directory, without a trailing backslash; nothing on failure.
  [[nodiscard]] virtual std::optional<std::u16string> WindowsDirectory() = 0;
};

}  // namespace tavrel
