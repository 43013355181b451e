// Journal records built by hand, each sealed with a checksum that matches
// (FNV-1a over the body, little-endian after it), so that only the body's
// shape decides how it reads.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavrel {

class Body {
 public:
  Body& Raw(std::string_view bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Body& U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  // Text as the journal stores it: its length in UTF-16 units, then the units.
  Body& Text(std::u16string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (const char16_t c : text) {
      bytes_.push_back(static_cast<std::uint8_t>(c & 0xFF));
      bytes_.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return *this;
  }
  std::vector<std::uint8_t> Sealed() const {
    std::uint32_t hash = 2166136261u;
    for (std::uint8_t b : bytes_) hash = (hash ^ b) * 16777619u;
    return Body(*this).U32(hash).bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace tavrel
