// The pair kept in Tavrel.ini: relative to Tavrel's folder where it lies
// under it, and read back only as full paths of files of the right kind.
#include <gtest/gtest.h>

#include "settings/remembered_pair.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

class RememberingThePair : public ::testing::Test {
 protected:
  void SetUp() override {
    files.currentFolder = "C:\\Users\\user";  // never where the files are
    files.Add("E:\\Tavrel\\game\\app.exe");
    files.AddFont("E:\\Tavrel\\game\\user.tte");
    files.Add("E:\\Tavrel\\game\\blank.tte");  // no font inside
    files.Add("E:\\Root\\r.exe");
    files.AddFont("D:\\Other\\y.tte");
  }
  FakeFiles files;
  FakeSettings settings;
  RememberedPair pair{settings, files, "E:\\Tavrel\\"};
};

TEST_F(RememberingThePair, ReadsFullPathsOfFilesOfTheirKindOnly) {
  const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
      // as Tavrel.ini holds them, then what the boxes show
      {"game\\app.exe", "game\\user.tte", "E:\\Tavrel\\game\\app.exe", "E:\\Tavrel\\game\\user.tte"},
      {"\\Root\\r.exe", "D:\\Other\\y.tte", "E:\\Root\\r.exe", "D:\\Other\\y.tte"},
      {"game\\user.tte", "game\\app.exe", "", ""},  // kinds swapped
      {"game", "game\\blank.tte", "", ""},          // a folder, a font file that is no font
      {"game\\gone.exe", "game\\gone.tte", "", ""},
      {"E:app.exe", "", "", ""},  // from a drive's current folder: nobody's here
  };
  for (const auto& [program, font, programRead, fontRead] : rows) {
    settings.values = {{"Program", program}, {"Font", font}};
    EXPECT_EQ(pair.Program(), programRead) << program;
    EXPECT_EQ(pair.Font(), fontRead) << font;
  }
}

// A copy on a stick that comes back under another drive letter keeps its
// pair; what lies elsewhere is kept as it is.
TEST_F(RememberingThePair, StoresWhatLiesUnderTavrelsFolderRelativeToIt) {
  ASSERT_TRUE(pair.Store("E:\\TavrelOld\\a.exe", "e:\\TAVREL\\game\\user.tte"));
  EXPECT_EQ(settings.values, (std::map<std::string, std::string>{{"Program", "E:\\TavrelOld\\a.exe"},
                                                                 {"Font", "game\\user.tte"}}));
  ASSERT_TRUE(pair.Store("E:\\Tavrel\\game\\app.exe", "E:\\Tavrel\\game\\user.tte"));
  files.Add("F:\\Tavrel\\game\\app.exe");
  files.AddFont("F:\\Tavrel\\game\\user.tte");
  RememberedPair moved(settings, files, "F:\\Tavrel\\");
  EXPECT_EQ(moved.Program(), "F:\\Tavrel\\game\\app.exe");
  EXPECT_EQ(moved.Font(), "F:\\Tavrel\\game\\user.tte");
  settings.writable = false;
  EXPECT_FALSE(pair.Store("D:\\x.exe", "D:\\Other\\y.tte"));
}

}  // namespace
}  // namespace tavrel::fakes
