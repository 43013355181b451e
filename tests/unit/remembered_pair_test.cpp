// The pair kept in Tavrel.ini: relative to Tavrel's folder where it lies
// under it, and read back only as full paths of files of the right kind.
#include <gtest/gtest.h>

#include "app/remembered_pair.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

constexpr char kAppFolder[] = "E:\\Tavrel\\";

class RememberingThePair : public ::testing::Test {
 protected:
  void SetUp() override {
    files.currentFolder = "C:\\Users\\user";  // never where the files are
    files.Add("E:\\Tavrel\\game\\app.exe");
    files.AddFont("E:\\Tavrel\\game\\user.tte");
    files.Add("E:\\Tavrel\\game\\blank.tte");  // no font inside
    files.AddFolder("E:\\Tavrel\\game\\dir.tte");
    files.Add("E:\\Root\\r.exe");
    files.Add("D:\\Other\\x.exe");
    files.AddFont("D:\\Other\\y.tte");
  }
  FakeFiles files;
  FakeSettings settings;
  RememberedPair pair{settings, files, kAppFolder};
};

TEST_F(RememberingThePair, ReadsFullPathsOfFilesOfTheirKindOnly) {
  const struct {
    const char* name;
    const char* program;  // as Tavrel.ini holds them
    const char* font;
    const char* programRead;  // what the boxes show
    const char* fontRead;
  } rows[] = {
      {"FromTavrelsFolder", "game\\app.exe", "game\\user.tte", "E:\\Tavrel\\game\\app.exe",
       "E:\\Tavrel\\game\\user.tte"},
      {"FullPaths", "D:\\Other\\x.exe", "D:\\Other\\y.tte", "D:\\Other\\x.exe", "D:\\Other\\y.tte"},
      {"FromTheRootOfTavrelsDrive", "\\Root\\r.exe", "", "E:\\Root\\r.exe", ""},
      {"KindsSwapped", "game\\user.tte", "game\\app.exe", "", ""},
      {"AFontFileThatIsNoFont", "", "game\\blank.tte", "", ""},
      {"AFolder", "game", "game\\dir.tte", "", ""},
      {"Missing", "game\\gone.exe", "game\\gone.tte", "", ""},
      {"FromAnotherDrivesCurrentFolder", "D:x.exe", "D:y.tte", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    settings.values = {{"Program", row.program}, {"Font", row.font}};
    EXPECT_EQ(pair.Program(), row.programRead);
    EXPECT_EQ(pair.Font(), row.fontRead);
  }
  settings.values.clear();
  EXPECT_EQ(pair.Program(), "");
  EXPECT_EQ(pair.Font(), "");
}

TEST_F(RememberingThePair, StoresWhatLiesUnderTavrelsFolderRelativeToIt) {
  const struct {
    const char* program;
    const char* font;
    const char* programStored;
    const char* fontStored;
  } rows[] = {
      {"E:\\Tavrel\\game\\app.exe", "e:\\TAVREL\\game\\user.tte", "game\\app.exe", "game\\user.tte"},
      {"D:\\Other\\x.exe", "E:\\Tavrel\\game\\user.tte", "D:\\Other\\x.exe", "game\\user.tte"},
      {"E:\\TavrelOld\\a.exe", "E:\\Tavrel.tte", "E:\\TavrelOld\\a.exe", "E:\\Tavrel.tte"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    ASSERT_TRUE(pair.Store(row.program, row.font));
    EXPECT_EQ(settings.values["Program"], row.programStored);
    EXPECT_EQ(settings.values["Font"], row.fontStored);
  }
  settings.values.clear();
  settings.writable = false;
  EXPECT_FALSE(pair.Store("E:\\Tavrel\\game\\app.exe", "E:\\Tavrel\\game\\user.tte"));
  EXPECT_TRUE(settings.values.empty());
}

// The folder moved to another drive letter (a stick plugged in elsewhere):
// the pair comes with it.
TEST_F(RememberingThePair, FollowsTavrelsFolderToAnotherDrive) {
  ASSERT_TRUE(pair.Store("E:\\Tavrel\\game\\app.exe", "E:\\Tavrel\\game\\user.tte"));
  files.Add("F:\\Tavrel\\game\\app.exe");
  files.AddFont("F:\\Tavrel\\game\\user.tte");
  RememberedPair moved(settings, files, "F:\\Tavrel\\");
  EXPECT_EQ(moved.Program(), "F:\\Tavrel\\game\\app.exe");
  EXPECT_EQ(moved.Font(), "F:\\Tavrel\\game\\user.tte");
  files.Add("\\\\srv\\share\\Root\\r.exe");
  settings.values["Program"] = "\\Root\\r.exe";
  EXPECT_EQ(RememberedPair(settings, files, "\\\\srv\\share\\Tavrel\\").Program(), "\\\\srv\\share\\Root\\r.exe");
}

}  // namespace
}  // namespace tavrel::fakes
