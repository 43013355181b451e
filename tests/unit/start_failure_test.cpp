// Why a program did not start: the kind of executable a file's head shows,
// and the reason told for each failure.
#include <gtest/gtest.h>

#include "run/start_failure.h"
#include "texts/texts.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

constexpr ErrorCode kBadExeFormat = 193;  // ERROR_BAD_EXE_FORMAT
constexpr char kProgram[] = "D:\\Old\\game.exe";
constexpr char kBadFormat[] = "%1 の EXE フォーマットが不正です。";

// An MZ header whose e_lfanew is `newHeader`, `size` bytes long, with
// `signature` written where e_lfanew points.
std::vector<std::uint8_t> MzHead(std::uint32_t newHeader, std::size_t size, std::string_view signature = "") {
  std::vector<std::uint8_t> head(size);
  head[0] = 'M';
  head[1] = 'Z';
  for (int i = 0; i < 4; ++i) head[0x3C + i] = static_cast<std::uint8_t>(newHeader >> (8 * i));
  for (std::size_t i = 0; i < signature.size() && newHeader + i < size; ++i) head[newHeader + i] = signature[i];
  return head;
}

struct HeadRow {
  const char* name;
  std::vector<std::uint8_t> head;
  ExecutableKind kind;
};

class ExecutableHead : public ::testing::TestWithParam<HeadRow> {};

TEST_P(ExecutableHead, IsWindowsOnlyWithAPeHeaderWhereTheMzHeaderPoints) {
  EXPECT_EQ(KindOfExecutable(GetParam().head), GetParam().kind);
}

using std::string_view_literals::operator""sv;
INSTANTIATE_TEST_SUITE_P(
    , ExecutableHead,
    ::testing::Values(HeadRow{"Pe", MzHead(0x80, 0x200, "PE\0\0"sv), ExecutableKind::Windows},
                      HeadRow{"MzOnly", {'M', 'Z'}, ExecutableKind::DosOr16Bit},
                      HeadRow{"NewHeaderPastTheFile", MzHead(0x10000, 0x200), ExecutableKind::DosOr16Bit},
                      HeadRow{"Ne", MzHead(0x80, 0x200, "NE"), ExecutableKind::DosOr16Bit},
                      HeadRow{"NewHeaderPastACutHead", MzHead(0x10000, kExecutableHeadSize), ExecutableKind::Other},
                      HeadRow{"Empty", {}, ExecutableKind::Other},
                      HeadRow{"TooShortForMz", {'M'}, ExecutableKind::Other}),
    [](const auto& row) { return std::string(row.param.name); });

struct ReasonRow {
  const char* name;
  ErrorCode error;
  std::vector<std::uint8_t> file;
  std::string reason;
};

class StartFailure : public ::testing::TestWithParam<ReasonRow> {};

TEST_P(StartFailure, NamesADosProgramOrFillsTheSystemTextWithThePath) {
  const ReasonRow& row = GetParam();
  FakeDesktop desktop;
  desktop.errorTexts = {{kBadExeFormat, kBadFormat}};
  FakeFiles files;
  files.Add(kProgram, row.file);
  EXPECT_EQ(StartFailureText(Texts(Language::Japanese), desktop, files, kProgram, row.error), row.reason);
}

INSTANTIATE_TEST_SUITE_P(
    , StartFailure,
    ::testing::Values(
        ReasonRow{"Dos", kBadExeFormat, MzHead(0, 0x400),
                  "16 ビット版または DOS 用のソフトのため、64 ビット版の Windows では起動できません。（エラー 193）"},
        ReasonRow{"BrokenPe", kBadExeFormat, MzHead(0x80, 0x200, "PE\0\0"sv),
                  "D:\\Old\\game.exe の EXE フォーマットが不正です。（エラー 193）"},
        ReasonRow{"DosUnderWine", kFileNotFound, MzHead(0, 0x400),
                  "16 ビット版または DOS 用のソフトのため、64 ビット版の Windows では起動できません。（エラー 2）"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel::fakes
