// What Tavrel needs of the user's desktop: its own executable and arguments,
// the display language, the guard against a second copy and the system's
// error texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "hand_over/hand_over.h"

namespace tavrel {

// The class of Tavrel's main window, by which another copy's is found.
inline constexpr char16_t kMainWindowClass[] = u"TavrelMainWindow";

class IDesktop {
 public:
  virtual ~IDesktop() = default;

  // Full path of tavrel.exe (UTF-8).
  [[nodiscard]] virtual std::string ExecutablePath() = 0;
  // The arguments Tavrel was started with, after its own name, split as
  // Windows splits a command line (UTF-8).
  [[nodiscard]] virtual std::vector<std::string> Arguments() = 0;

  // The Windows session this copy runs in.
  [[nodiscard]] virtual std::uint32_t Session() = 0;
  // The user's display language (a LANGID), which Tavrel's texts follow. Not
  // the language of non-Unicode programs: a Japanese code page 932 beside an
  // English display is common.
  [[nodiscard]] virtual std::uint16_t DisplayLanguage() = 0;

  enum class InstanceLock {
    Owned,            // no other copy runs
    OwnedAfterAKill,  // the copy that held it was killed: its recovery is due
    HeldByAnother,    // another copy runs; this one keeps no handle to the lock
  };
  // Takes the single-instance lock of the user's session without waiting.
  // A copy runs while it owns the lock, not while the lock merely exists.
  [[nodiscard]] virtual InstanceLock TakeInstanceLock() = 0;
  // The holder of the lock tells copies waiting in AwaitGuardDecision that its
  // look for other copies is over.
  virtual void AnnounceGuardDecided() = 0;
  // A copy that lost the lock waits (a few seconds at most) for that.
  virtual void AwaitGuardDecision() = 0;
  // For a copy that lost the lock and has nothing to hand over: waits while
  // no main window of the user's is on the desktop (the holder is a logon's
  // restore, or a copy about to show its window or in its last moments).
  // True once the holder has ended and this copy owns the lock; false once
  // such a window is there, and then this copy keeps no handle to the lock.
  [[nodiscard]] virtual bool AwaitLockWhileNoCopyIsOpen() = 0;
  // Whether the main window of another running copy is on the desktop.
  [[nodiscard]] virtual bool AnotherCopyIsOpen() = 0;
  enum class HandOverResult {
    Delivered,  // the running copy's main window took it
    LockTaken,  // the holder had no window (a logon's restore) and has ended: this copy holds the lock now
    Refused,    // a main window of the user's refused it all along, or none could take it
  };
  // For a copy that lost the lock: hands the start to the running copy's
  // main window (one of the same user's), or waits for the holder of the
  // lock while it has no window or its window does not answer (a copy in
  // its last moments). Unless the lock was taken, this copy keeps no handle
  // to it afterwards.
  [[nodiscard]] virtual HandOverResult HandToRunningCopy(const tavrel::HandOver& handOver) = 0;
  // Gives the lock back before the process ends, so that a waiting start
  // goes on.
  virtual void ReleaseInstanceLock() = 0;

  // The system's text for an error code, in the user's language, without its
  // line end, with each of its inserts ("%1" and on) filled with `insert`
  // (UTF-8, a path where the error is about one); empty when Windows has none.
  [[nodiscard]] virtual std::string ErrorText(ErrorCode error, std::string_view insert) = 0;
};

}  // namespace tavrel
