// What Tavrel needs of the user's desktop: its own executable and arguments,
// the guard against a second copy, message boxes and the system's error texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace tavrel {

inline constexpr char kBoxTitle[] = "Tavrel";
// The class of Tavrel's main window, by which another copy's is found.
inline constexpr char16_t kMainWindowClass[] = u"TavrelMainWindow";

enum class BoxIcon { Information, Warning, Question, Error };
enum class BoxButtons { Ok, YesNo };

// A message box titled "Tavrel".
struct Box {
  std::string text;  // UTF-8
  BoxIcon icon = BoxIcon::Information;
  BoxButtons buttons = BoxButtons::Ok;
  bool operator==(const Box&) const = default;
};

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

  // Takes the single-instance lock of the user's session; false when another
  // copy holds it.
  [[nodiscard]] virtual bool TakeInstanceLock() = 0;
  // The holder of the lock tells copies waiting in AwaitGuardDecision that its
  // look for other copies is over.
  virtual void AnnounceGuardDecided() = 0;
  // A copy that lost the lock waits (a few seconds at most) for that.
  virtual void AwaitGuardDecision() = 0;
  // Whether the main window of another running copy is on the desktop.
  [[nodiscard]] virtual bool AnotherCopyIsOpen() = 0;

  // A modal box owned by `owner` (none: the box stands alone); true when the
  // user answered Yes (or OK).
  virtual bool Show(WindowHandle owner, const Box& box) = 0;
  // The system's text for an error code, in the user's language, without its
  // line end; empty when Windows has none.
  [[nodiscard]] virtual std::string ErrorText(ErrorCode error) = 0;
};

}  // namespace tavrel
