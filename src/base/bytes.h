// Little-endian records: the journal in the registry and the hand-over
// between two starts of Tavrel are written and read with these. A length
// comes before each text and each run of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

class ByteWriter {
 public:
  void U32(std::uint32_t v);
  void U64(std::uint64_t v);
  void Raw(std::span<const std::uint8_t> bytes);
  // A length, then the bytes.
  void Bytes(std::span<const std::uint8_t> bytes);
  // A length in characters, then each in two bytes.
  void Text(std::u16string_view text);
  // A length in bytes, then the UTF-8.
  void Text(std::string_view text);
  const std::vector<std::uint8_t>& bytes() const { return out_; }
  std::vector<std::uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<std::uint8_t> out_;
};

// Reads within the bounds of the bytes; any read past their end fails, and
// so does a length above `longest`.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t longest = SIZE_MAX)
      : bytes_(bytes), longest_(longest) {}
  [[nodiscard]] bool U32(std::uint32_t& v);
  [[nodiscard]] bool U64(std::uint64_t& v);
  [[nodiscard]] bool Bytes(std::vector<std::uint8_t>& bytes);
  [[nodiscard]] bool Text(std::u16string& text);
  [[nodiscard]] bool Text(std::string& text);
  // Whether the next bytes are exactly `expected`; they are passed over if so.
  [[nodiscard]] bool Expect(std::span<const std::uint8_t> expected);
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  bool Length(std::uint32_t& length, std::size_t unit);

  std::span<const std::uint8_t> bytes_;
  std::size_t longest_;
  std::size_t at_ = 0;
};

}  // namespace tavrel
