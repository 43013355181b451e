#include "base/bytes.h"

#include <algorithm>

namespace tavrel {

void ByteWriter::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ByteWriter::U64(std::uint64_t v) {
  U32(static_cast<std::uint32_t>(v));
  U32(static_cast<std::uint32_t>(v >> 32));
}

// Byte by byte: GCC 12 takes an insert into a vector still empty for an
// overflow (-Wstringop-overflow), a known false alarm of that release.
void ByteWriter::Raw(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) out_.push_back(byte);
}

void ByteWriter::Bytes(std::span<const std::uint8_t> bytes) {
  U32(static_cast<std::uint32_t>(bytes.size()));
  Raw(bytes);
}

void ByteWriter::Text(std::u16string_view text) {
  U32(static_cast<std::uint32_t>(text.size()));
  for (char16_t c : text) {
    out_.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out_.push_back(static_cast<std::uint8_t>(c >> 8));
  }
}

void ByteWriter::Text(std::string_view text) {
  U32(static_cast<std::uint32_t>(text.size()));
  for (char c : text) out_.push_back(static_cast<std::uint8_t>(c));
}

bool ByteReader::U32(std::uint32_t& v) {
  if (bytes_.size() - at_ < 4) return false;
  v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
  at_ += 4;
  return true;
}

bool ByteReader::U64(std::uint64_t& v) {
  std::uint32_t low = 0, high = 0;
  if (!U32(low) || !U32(high)) return false;
  v = (static_cast<std::uint64_t>(high) << 32) | low;
  return true;
}

bool ByteReader::Length(std::uint32_t& length, std::size_t unit) {
  return U32(length) && length <= longest_ && (bytes_.size() - at_) / unit >= length;
}

bool ByteReader::Bytes(std::vector<std::uint8_t>& bytes) {
  std::uint32_t size = 0;
  if (!Length(size, 1)) return false;
  bytes.assign(bytes_.begin() + at_, bytes_.begin() + at_ + size);
  at_ += size;
  return true;
}

bool ByteReader::Text(std::u16string& text) {
  std::uint32_t length = 0;
  if (!Length(length, 2)) return false;
  text.resize(length);
  for (std::uint32_t i = 0; i < length; ++i, at_ += 2) {
    text[i] = static_cast<char16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
  }
  return true;
}

bool ByteReader::Text(std::string& text) {
  std::uint32_t size = 0;
  if (!Length(size, 1)) return false;
  text.assign(bytes_.begin() + at_, bytes_.begin() + at_ + size);
  at_ += size;
  return true;
}

bool ByteReader::Expect(std::span<const std::uint8_t> expected) {
  if (bytes_.size() - at_ < expected.size() ||
      !std::equal(expected.begin(), expected.end(), bytes_.begin() + at_)) {
    return false;
  }
  at_ += expected.size();
  return true;
}

}  // namespace tavrel
