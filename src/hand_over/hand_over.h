// What a second start of Tavrel hands to the copy that runs already: its
// files, switches and arguments, as bytes for the message between the two.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/process.h"

namespace tavrel {

// What marks the message (WM_COPYDATA's dwData) as a hand-over.
inline constexpr std::uint32_t kHandOverTag = 0x31485654;  // "TVH1"

struct HandOver {
  bool run = false;   // /run
  bool exit = false;  // /exit
  ShowState show = ShowState::Normal;
  std::string program;    // full paths (UTF-8); empty when not given
  std::string font;
  std::string arguments;  // for the program
  bool operator==(const HandOver&) const = default;
};

std::vector<std::uint8_t> SerializeHandOver(const HandOver& handOver);
// Nothing unless the bytes are exactly one hand-over.
std::optional<HandOver> ParseHandOver(std::span<const std::uint8_t> bytes);

}  // namespace tavrel
