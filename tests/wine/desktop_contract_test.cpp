// The desktop against the real session; its fake answers what a test sets.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/win32/wide.h"
#include "desktop/win32/desktop_win32.h"
#include "wine/scratch_window.h"

namespace tavrel::testing {
namespace {

// The system's texts end in a line end, which a box would show as a blank line.
TEST(Win32DesktopContract, AnErrorTextHasNoLineEndAndAnUnknownCodeNoText) {
  Win32Desktop desktop;
  for (const ErrorCode error : {kFileNotFound, kAccessDenied, kAlreadyExists, kCancelled}) {
    const std::string text = desktop.ErrorText(error);
    ASSERT_FALSE(text.empty()) << error;
    EXPECT_EQ(std::string("\r\n ").find(text.back()), std::string::npos) << error;
  }
  EXPECT_EQ(desktop.ErrorText(0x2000FFFF), "");
}

TEST(Win32DesktopContract, OneCopyHoldsTheInstanceLockUntilItEnds) {
  {
    Win32Desktop first, second;
    EXPECT_TRUE(first.TakeInstanceLock());
    EXPECT_FALSE(second.TakeInstanceLock());
    // The holder's word ends the loser's wait at once, not after its time-out.
    first.AnnounceGuardDecided();
    const ULONGLONG start = GetTickCount64();
    second.AwaitGuardDecision();
    EXPECT_LT(GetTickCount64() - start, 2000u);
  }
  EXPECT_TRUE(Win32Desktop().TakeInstanceLock());
}

// Only a top-level window of Tavrel's class counts, not one merely titled so
// nor a child. Windows searches message-only windows only under HWND_MESSAGE;
// Wine's FindWindowExW finds them under the desktop too, so no row has one.
TEST(Win32DesktopContract, AnotherCopyIsOpenOnlyWhileAMainWindowIs) {
  const ScratchWindow holder(L"STATIC", L"", nullptr, nullptr);
  const wchar_t* const main = AsWide(kMainWindowClass);
  const struct { const wchar_t* className; HWND parent; bool open; } rows[] = {
      {L"STATIC", nullptr, false}, {main, holder.get(), false}, {main, nullptr, true}};
  Win32Desktop desktop;
  for (const auto& row : rows) {
    const ScratchWindow window(row.className, L"Tavrel", row.parent,
                               row.className == main ? DefWindowProcW : nullptr);
    ASSERT_NE(window.get(), nullptr);
    EXPECT_EQ(desktop.AnotherCopyIsOpen(), row.open) << Narrow(row.className) << row.parent;
  }
  EXPECT_FALSE(desktop.AnotherCopyIsOpen());
}

}  // namespace
}  // namespace tavrel::testing
