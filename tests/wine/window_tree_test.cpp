// The search by title over the real window tree, and the instance lock.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_search.h"
#include "platform/win32/win32_session.h"
#include "platform/win32/win32_window_tree.h"
#include "platform/win32/wide.h"
#include "wine/scratch_window.h"

namespace tavrel::testing {
namespace {

TEST(RealWindowTree, FindsTopLevelTitlesAndChildCaptionsInAnyCase) {
  Win32WindowTree tree;
  WindowSearch search(tree);
  const std::wstring marker = L"qz" + std::to_wstring(GetCurrentProcessId());
  ScratchWindow top(L"notes on " + marker + L"TAVREL.txt");
  ScratchWindow child(marker + L"Tavrel settings", top.get());
  ScratchWindow other(L"unrelated");
  WindowList list;
  search.FindWindowsByTitle(list, Narrow(marker) + "tavrel");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], nullptr);
  EXPECT_EQ(list[1], child.get());  // a window's descendants come before it
  EXPECT_EQ(list[2], top.get());
}

TEST(RealWindowTree, CountsOnlyMatchesInsideATavrelMainWindow) {
  Win32WindowTree tree;
  WindowSearch search(tree);
  const std::wstring marker = L"qy" + std::to_wstring(GetCurrentProcessId());
  ScratchWindow tavrel(AsWide(kMainWindowClass), L"", nullptr, DefWindowProcW);
  ASSERT_NE(tavrel.get(), nullptr);
  ScratchWindow checkBox(marker + L"本ソフト[Tavrel]も同時に終了させる", tavrel.get());
  ScratchWindow folder(marker + L"tavrel-1.0.0-win64");
  ScratchWindow address(marker + L"アドレス: C:\\Tools\\Tavrel", folder.get());
  WindowList list;
  ASSERT_EQ(search.FindWindowsByTitle(list, Narrow(marker)), 3);
  EXPECT_EQ(search.CountTavrelWindows(list), 1);
}

TEST(RealWindowTree, ReadsAtMost254BytesOfATitle) {
  Win32WindowTree tree;
  ScratchWindow top(std::wstring(250, L'x') + L"Tavrel");
  EXPECT_EQ(WindowSearch(tree).GetWindowTitle(top.get()), std::string(250, 'x') + "Tavr");
}

TEST(RealSession, OnlyOneHolderOfTheInstanceLock) {
  Win32Session first;
  Win32Session second;
  ASSERT_TRUE(first.TryTakeInstanceLock());
  EXPECT_FALSE(second.TryTakeInstanceLock());
  first.AnnounceGuardDecided();
  const ULONGLONG start = GetTickCount64();
  second.AwaitGuardDecision();  // already decided: no wait
  EXPECT_LT(GetTickCount64() - start, 1000u);
}

// The texts the failure boxes quote: the system's own, without a line end,
// and nothing for a code Windows has no text for.
TEST(RealSession, ErrorCodesHaveTheSystemsText) {
  Win32Session session;
  for (const DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED}) {
    const std::string text = session.FormatMessageW(error);
    EXPECT_FALSE(text.empty()) << error;
    EXPECT_FALSE(text.ends_with("\n") || text.ends_with("\r") || text.ends_with(" ")) << text;
  }
  EXPECT_EQ(session.FormatMessageW(0x2000FFFF), "");
}

}  // namespace
}  // namespace tavrel::testing
