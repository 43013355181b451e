// Programs and fonts in folders named outside code page 932: every path
// reaches Windows exactly, from the start-up search and drops to the icon,
// the launch, the value written and the RunOnce command. The ANSI calls
// turned such characters into "?".
#include <gtest/gtest.h>

#include "eudc/journal.h"
#include "platform/text.h"
#include "fakes/form_rig.h"
#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kFolder = "C:\\Users\\Zoë\\ゲーム\\";
constexpr const char* kProgram = "C:\\Users\\Zoë\\ゲーム\\도구 Café.exe";
constexpr const char* kFont = "C:\\Users\\Zoë\\ゲーム\\외자.tte";

class WidePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Folder(std::string(kFolder) + "Tavrel.exe", {"외자.tte", "도구 Café.exe"});
    rig_.shell.SetIconCount(kProgram, 2);
    rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
    before_ = rig_.Key();
    rig_.Start();
  }
  FormRig rig_;
  std::vector<FakeRegistry::Value> before_;
};

TEST_F(WidePaths, TheProgramAndTheFontAreFoundShownAndLaunchedAsTheyAreNamed) {
  EXPECT_EQ(rig_.window.Caption(Label1(0)), kProgram);
  EXPECT_EQ(rig_.window.Caption(Label1(1)), kFont);
  EXPECT_EQ(rig_.form.IconCount(), 2u);  // ExtractIconW was given the exact path
  EXPECT_NE(rig_.window.iconOnLaunchButton, nullptr);

  bool checked = false;
  rig_.processes.Queue([&] {
    // UTF-16 bytes of the path, as Windows reads the value.
    EXPECT_EQ(rig_.registry.Get(kEudc, kSystemFont)->data, Utf16Bytes(Utf8ToUtf16(kFont)));
    EXPECT_EQ(rig_.RunOnce(), "\"" + std::string(kFolder) + "Tavrel.exe\" /restore");
    EXPECT_EQ(Journal(rig_.registry).Read().record.writtenPath, Utf8ToUtf16(kFont));
    checked = true;
  });
  rig_.form.cmdExecSoft_Click();
  EXPECT_TRUE(checked);
  ASSERT_EQ(rig_.shell.calls.size(), 1u);
  EXPECT_EQ(rig_.shell.calls[0].file, kProgram);
  EXPECT_EQ(rig_.processes.Started().at(0)->application, kProgram);
  EXPECT_EQ(rig_.Key(), before_);
  EXPECT_TRUE(rig_.Boxes().empty());
}

TEST_F(WidePaths, TheDirectStartNamesTheProgramExactly) {
  rig_.shell.failShellExecute = true;
  rig_.form.cmdExecSoft_Click();
  ASSERT_EQ(rig_.processes.Started().size(), 1u);
  EXPECT_EQ(rig_.processes.Started()[0]->application, kProgram);
  EXPECT_EQ(rig_.processes.Started()[0]->commandLine, "\"" + std::string(kProgram) + "\"");
  EXPECT_TRUE(rig_.Boxes().empty());
}

TEST_F(WidePaths, DroppedFilesKeepTheirNames) {
  rig_.Program("D:\\도구\\ビューア.exe", 1);
  rig_.files.AddFont("D:\\도구\\Zoë.tte");
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\도구\\ビューア.exe"});
  rig_.form.Label1_OLEDragDrop(1, DropData{1, "D:\\도구\\Zoë.tte"});
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(rig_.shell.calls.back().file, "D:\\도구\\ビューア.exe");
  EXPECT_TRUE(rig_.Boxes().empty());
  EXPECT_EQ(rig_.Key(), before_);
}

}  // namespace
}  // namespace tavrel::fakes
