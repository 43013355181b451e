// The EUDC key over advapi32, and the EUDC fonts over gdi32.
#pragma once

#include "eudc/eudc_key.h"

namespace tavrel {

class Win32EudcKey final : public IEudcKey {
 public:
  CodePage ActiveCodePage() override;
  KeyReading ReadAll(CodePage codePage) override;
  std::vector<WriteFailure> Write(CodePage codePage, std::span<const RawValue> values) override;
  ErrorCode Flush(CodePage codePage) override;
  ErrorCode EnableEudc(bool enable) override;
  std::optional<std::u16string> WindowsDirectory() override;
};

}  // namespace tavrel
