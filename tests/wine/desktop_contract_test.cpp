// The desktop against the real session; its fake answers what a test sets.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "desktop/win32/desktop_win32.h"
#include "wine/scratch_window.h"

namespace tavrel::testing {
namespace {

// The system's texts end in a line end, which a box would show as a blank line.
TEST(Win32DesktopContract, AnErrorTextHasNoLineEndAndAnUnknownCodeNoText) {
  Win32Desktop desktop;
  for (const ErrorCode error : {kFileNotFound, kAccessDenied, kAlreadyExists, kCancelled}) {
    const std::string text = desktop.ErrorText(error, "");
    ASSERT_FALSE(text.empty()) << error;
    EXPECT_EQ(std::string("\r\n ").find(text.back()), std::string::npos) << error;
  }
  EXPECT_EQ(desktop.ErrorText(0x2000FFFF, ""), "");
}

// Error 193's text names the program by an insert.
TEST(Win32DesktopContract, AnErrorTextHasItsInsertsFilled) {
  const std::string path = "C:\\古い\\game.exe";
  const std::string text = Win32Desktop().ErrorText(193, path);
  EXPECT_NE(text.find(path), std::string::npos) << text;
  EXPECT_EQ(text.find("%1"), std::string::npos) << text;
}

bool LockNameExists() {
  const UniqueWin32Handle lock(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Tavrel.SingleInstance"));
  return lock != nullptr;
}

// Another copy of Tavrel, on a thread of its own: a mutex belongs to a
// thread, and its owner would take it again at once. It holds the lock until
// it ends or `lifetimeMs` has passed. A thread that ends owning a mutex
// abandons it, as a killed process does.
class OtherCopy {
 public:
  explicit OtherCopy(DWORD lifetimeMs = INFINITE) : thread_([this, lifetimeMs] { Run(lifetimeMs); }) {
    WaitForSingleObject(taken_.get(), INFINITE);
  }
  ~OtherCopy() { End(false); }
  OtherCopy(const OtherCopy&) = delete;
  OtherCopy& operator=(const OtherCopy&) = delete;
  void End(bool killed) {
    if (!thread_.joinable()) return;
    killed_ = killed;
    SetEvent(end_.get());
    thread_.join();
  }
  Win32Desktop desktop;  // outlives the thread: a killed copy's handle stays open

 private:
  void Run(DWORD lifetimeMs) {
    EXPECT_EQ(desktop.TakeInstanceLock(), IDesktop::InstanceLock::Owned);
    SetEvent(taken_.get());
    WaitForSingleObject(end_.get(), lifetimeMs);
    if (!killed_) desktop.ReleaseInstanceLock();
  }

  bool killed_ = false;
  UniqueWin32Handle taken_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueWin32Handle end_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::thread thread_;
};

enum class Other { None, Runs, Killed };

struct LockRow {
  const char* name;
  Other other;
  IDesktop::InstanceLock taken;
};

class InstanceLockRule : public ::testing::TestWithParam<LockRow> {};

// A copy runs while it owns the lock. One that lost it keeps no handle that
// would make the name outlive the copy that runs.
TEST_P(InstanceLockRule, OwnedMeansARunningCopy) {
  const LockRow& row = GetParam();
  std::optional<OtherCopy> other;
  if (row.other != Other::None) other.emplace();
  if (row.other == Other::Killed) other->End(true);
  Win32Desktop copy;
  EXPECT_EQ(copy.TakeInstanceLock(), row.taken);
  other.reset();
  EXPECT_EQ(LockNameExists(), row.taken != IDesktop::InstanceLock::HeldByAnother);
}

INSTANTIATE_TEST_SUITE_P(
    , InstanceLockRule,
    ::testing::Values(LockRow{"Alone", Other::None, IDesktop::InstanceLock::Owned},
                      LockRow{"AnotherRuns", Other::Runs, IDesktop::InstanceLock::HeldByAnother},
                      LockRow{"AnotherWasKilled", Other::Killed, IDesktop::InstanceLock::OwnedAfterAKill}),
    [](const auto& row) { return std::string(row.param.name); });

// The holder's word ends the loser's wait at once, not after its time-out.
TEST(Win32DesktopContract, ACopyThatLostTheLockHearsTheHoldersDecisionAtOnce) {
  OtherCopy holder;
  Win32Desktop copy;
  ASSERT_EQ(copy.TakeInstanceLock(), IDesktop::InstanceLock::HeldByAnother);
  holder.desktop.AnnounceGuardDecided();
  const ULONGLONG start = GetTickCount64();
  copy.AwaitGuardDecision();
  EXPECT_LT(GetTickCount64() - start, 2000u);
}

// A holder without a window (a logon's restore) is waited for until it gives
// the lock back; the waiting copy owns it then.
TEST(Win32DesktopContract, APlainStartWaitsForAHolderWithoutAWindow) {
  OtherCopy holder(300);
  Win32Desktop copy;
  EXPECT_TRUE(copy.AwaitLockWhileNoCopyIsOpen());
  holder.End(false);
  IDesktop::InstanceLock third{};
  std::thread([&third] { third = Win32Desktop().TakeInstanceLock(); }).join();
  EXPECT_EQ(third, IDesktop::InstanceLock::HeldByAnother);
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
