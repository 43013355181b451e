// The journal's record as bytes: every value comes back exactly, and
// nothing short of a complete, undamaged record is ever read.
#include <gtest/gtest.h>

#include "base/text.h"
#include "eudc/journal.h"

namespace tavrel {
namespace {

JournalRecord Awkward() {
  return JournalRecord{
      {{0x124, 0x01DC000000000099ull}, 4},
      true,
      Utf8ToUtf16("D:\\도구\\Zoë 😀 ゲーム.tte"),
      {TextValue(u"SystemDefaultEUDCFont", u"%SystemRoot%\\EUDC.TTE"),
       RawValue{u"Expand", kRegExpandSz, Utf16Bytes(u"%WINDIR%\\Fonts\\x.tte")},
       RawValue{u"Odd", kRegBinary, {0x01, 0x02, 0x03}},
       RawValue{u"NoNul", kRegSz, Utf16Bytes(u"abc", false)},
       RawValue{std::u16string(u"a\0b", 3), kRegMultiSz, Utf16Bytes(std::u16string(u"x\0y\0\0", 5))},
       RawValue{Utf8ToUtf16("café 한글 😀"), 0xFFFFFFFFu, {}},
       RawValue{std::u16string(16383, u'n'), kRegBinary, std::vector<std::uint8_t>(1 << 20, 0xA5)},
       TextValue(u"Long", std::u16string(32767, u'L'))},
      {{0, 0}, {0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull}, {0x124, 0x01DC123456789ABCull}},
      65001};
}

TEST(JournalBytes, EveryRecordReadsBackExactly) {
  const JournalRecord rows[] = {
      JournalRecord{},
      JournalRecord{{}, false, u"C:\\a.tte", {}, {}},
      JournalRecord{{{0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull}, 0xFFFFFFFFu}, true, u"", {}, {}},
      Awkward(),
  };
  for (const JournalRecord& record : rows) EXPECT_EQ(ParseJournal(SerializeJournal(record)), record);
}

// A write that never finished, or a damaged disk: a wrong restore is worse than none.
TEST(JournalBytes, EveryCutAndEveryFlippedBitIsRefused) {
  const JournalRecord record{{{7, 11}, 2}, false, u"C:\\a.tte", {TextValue(u"SystemDefaultEUDCFont", u"C:\\x")}, {{8, 9}}};
  const std::vector<std::uint8_t> good = SerializeJournal(record);
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_EQ(ParseJournal({good.begin(), good.begin() + size}), std::nullopt) << "cut to " << size;
  }
  for (std::size_t bit = 0; bit < good.size() * 8; ++bit) {
    std::vector<std::uint8_t> damaged = good;
    damaged[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    EXPECT_EQ(ParseJournal(damaged), std::nullopt) << "bit " << bit;
  }
}

// Records built by hand, each sealed with a checksum that matches (FNV-1a
// over the body, little-endian after it), so that only the body's shape decides.
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
  std::vector<std::uint8_t> Sealed() const {
    std::uint32_t hash = 2166136261u;
    for (std::uint8_t b : bytes_) hash = (hash ^ b) * 16777619u;
    return Body(*this).U32(hash).bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

struct ShapeRow {
  const char* name;
  Body body;
  std::optional<JournalRecord> read;
};

TEST(JournalBytes, OnlyACompleteBodyIsRead) {
  const ShapeRow rows[] = {
      {"Minimal", Body().Raw("TVJ1").U32(1).U32(1).Raw({"a\0", 2}).U32(0).U32(1).U32(7).U32(9).U32(0),
       JournalRecord{{}, true, u"a", {}, {{7, 9}}}},
      // A record of the Tavrel before the code page was named: it changed EUDC\932.
      {"WithItsWriter", Body().Raw("TVJ2").U32(5).U32(6).U32(0).U32(3).U32(0).U32(0).U32(0).U32(0),
       JournalRecord{{{5, 6}, 3}, false, u"", {}, {}, 932}},
      {"WriterCut", Body().Raw("TVJ2").U32(5).U32(6), std::nullopt},
      {"WithItsCodePage", Body().Raw("TVJ3").U32(5).U32(6).U32(0).U32(3).U32(1252).U32(0).U32(0).U32(0).U32(0),
       JournalRecord{{{5, 6}, 3}, false, u"", {}, {}, 1252}},
      {"CodePageCut", Body().Raw("TVJ3").U32(5).U32(6).U32(0).U32(3), std::nullopt},
      {"OtherMagic", Body().Raw("TVJ4").U32(0).U32(0).U32(0).U32(0), std::nullopt},
      {"TextPastTheEnd", Body().Raw("TVJ1").U32(0).U32(0x7FFFFFFF), std::nullopt},
      {"OddTextBytes", Body().Raw("TVJ1").U32(0).U32(1).Raw("a"), std::nullopt},
      {"ValueMissing", Body().Raw("TVJ1").U32(0).U32(0).U32(1).U32(0), std::nullopt},
      {"DataPastTheEnd", Body().Raw("TVJ1").U32(0).U32(0).U32(1).U32(0).U32(3).U32(0xFFFFFFFF), std::nullopt},
      {"HugeValueCount", Body().Raw("TVJ1").U32(0).U32(0).U32(0xFFFFFFFF).U32(0), std::nullopt},
      {"ProgramCut", Body().Raw("TVJ1").U32(0).U32(0).U32(0).U32(1).U32(7).U32(9), std::nullopt},
      {"NoProgramCount", Body().Raw("TVJ1").U32(0).U32(0).U32(0), std::nullopt},
      {"ByteAfterTheEnd", Body().Raw("TVJ1").U32(0).U32(0).U32(0).U32(0).Raw("x"), std::nullopt},
      {"Nothing", Body(), std::nullopt},
  };
  for (const ShapeRow& row : rows) EXPECT_EQ(ParseJournal(row.body.Sealed()), row.read) << row.name;
  EXPECT_EQ(ParseJournal({0, 0, 0}), std::nullopt);
}

}  // namespace
}  // namespace tavrel
