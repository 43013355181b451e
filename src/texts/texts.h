// Every text Tavrel shows, in Japanese and in English: the window's captions,
// its system menu item and tooltips, the Open dialog's filters, the message
// boxes, the command line's usage and the desktop shortcut's name. Texts is
// built once for the display language and answers in that language alone;
// the rows are in texts.cpp, and the boxes that name a file, key or value are
// put together from them in messages.cpp. `errorText` is the system's text
// for an error, with its code (see ErrorText).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shortcuts/program_to_start.h"
#include "eudc/font_switch.h"
#include "eudc/journal.h"

namespace tavrel {

struct ArgumentError;

enum class Language { Japanese, English };

// The language of the texts for a Windows display language (a LANGID, as
// GetUserDefaultUILanguage gives it): Japanese for any Japanese, English for
// every other.
Language LanguageOf(std::uint16_t displayLanguage);

// One row of the table of texts each. "%1" to "%9" in a text stand for what
// Texts::Fill puts there.
enum class Text : int {
  // the window
  FrameTitle,
  ExitCheck,
  EndButton,
  LaunchButton,
  CopyrightLine,
  ProgramTitle,
  FontTitle,
  HomePageTooltip,
  ShortcutMenuItem,
  ProgramPrompt,
  FontPrompt,
  ProgramBoxTooltip,
  FontBoxTooltip,
  ProgramFilter,
  FontFilter,
  ChooserFailed,
  WindowFailed,
  // the start, the close and the shortcut
  AlreadyRunning,
  CloseQuestion,
  ShortcutSuffix,
  // the command line
  UnknownSwitch,
  TooManyFiles,
  SecondProgram,
  SecondFont,
  NoSuchFile,
  NotAFontArgument,
  Usage,
  // error codes and lists of values
  ErrorNumber,
  TextWithErrorCode,
  ValueQuoted,
  ValueOfKey,
  ValueDeleted,
  ValueBytes,
  MoreValues,
  FontLine,
  // the boxes
  NothingDone,
  TryAgainLater,
  FontMissing,
  FontUnreadable,
  NotAFont,
  ChooseAFont,
  KeyUnreadable,
  NoWindowsFolder,
  JournalLeftUnreadable,
  JournalBlocksChange,
  JournalUnwritten,
  FontUnwritten,
  SettingsBackNotStarted,
  ProgramNotStarted,
  NotStarted,
  DosProgram,
  OuterRuns,
  SettingsBack,
  RestoreFailed,
  Recovered,
  JournalUnreadable,
  JournalDamaged,
  JournalKept,
  DeleteUnneededKey,
  JournalNotRemovedAfterBack,
  RemoveAgain,
  JournalNotTakenOver,
  OtherSessionMayRestore,
  LogonRestoreNotSet,
  StartAgainToRestore,
  ReloadFailed,
  ReloadNotShown,
  WaitFailed,
  RestoreAtExit,
  KeptChanged,
  AnotherSession,
  TryAfterOtherCopy,
  LogonCommandTooLong,
  LogonCommandLimit,
  QueueRunning,
  EarlierCopysProgram,
  QueueQuestion,
  LinkNotOpened,
  ShortcutExists,
  ShortcutCreated,
  ShortcutNotCreated,
  QueuedNotStarted,
  NothingToWaitFor,
  NoFontForStart,
  FontPathRefused,
  LinkUnreadable,
  LinkNotAProgram,
  LinkTargetMissing,
  LinkPointsAt,
  LinkToNoFile,
  ChooseAProgram,
  Count
};

// The row's text in one language, for the tests that hold the two side by side.
std::string_view TextIn(Language language, Text text);

// A system error code in decimal, an HRESULT in hexadecimal, as Windows
// shows them.
std::string ErrorCodeText(ErrorCode error);

class Texts {
 public:
  explicit Texts(Language language) : language_(language) {}

  std::string_view Get(Text text) const { return TextIn(language_, text); }
  // The text with "%1", "%2"... replaced by `parts` (what the parts hold is
  // never read as a placeholder itself).
  std::string Fill(Text text, std::initializer_list<std::string_view> parts) const;

  // The system's text followed by the code, or the code alone.
  std::string ErrorText(std::string_view systemText, ErrorCode error) const;
  // "<program's name without .exe> (EUDC).lnk", in the display language.
  std::string ShortcutName(std::string_view program) const;
  // What is wrong with an argument not taken, and how Tavrel is started.
  std::string ArgumentErrorMessage(const ArgumentError& error) const;

  std::string FontMissing(std::string_view path, std::string_view errorText) const;
  std::string FontUnreadable(std::string_view path, std::string_view errorText) const;
  std::string NotAFont(std::string_view path) const;
  // The switch to the user font was refused or did not finish.
  std::string SwitchFailed(const SwitchStatus& status, std::string_view errorText,
                           bool settingsBack) const;
  // `outerRuns`: an earlier launch's program still runs, so the font stays.
  std::string NotStarted(std::string_view program, std::string_view errorText, bool outerRuns,
                         bool settingsBack) const;
  // One line per value of the EUDC key of `codePage`: its name and the
  // system's text for its error.
  std::string RestoreFailed(CodePage codePage,
                            const std::vector<std::pair<std::u16string, std::string>>& failed) const;
  std::string Recovered(const std::vector<RawValue>& values) const;
  std::string JournalUnreadable(std::string_view errorText) const;
  // The settings are back, but their record could not be removed.
  std::string JournalNotRemoved(std::string_view where, std::string_view errorText) const;
  // The record an earlier copy left could not be rewritten as this copy's.
  std::string JournalNotTakenOver(std::string_view where, std::string_view errorText) const;
  // Not all settings are back, and the next logon's retry could not be set.
  std::string LogonRestoreNotSet(std::string_view where, std::string_view errorText) const;
  // The EUDC fonts could not be released or reloaded around a change.
  std::string ReloadFailed(std::string_view errorText) const;
  // The end of the launched programs can no longer be known; `atLogon`: the
  // logon's restore, which leaves the settings to the next start or logon.
  std::string WaitFailed(bool atLogon) const;
  // The values of the EUDC key of `codePage` that someone else changed, added
  // or removed while the program ran, which were kept as they are.
  std::string KeptChanged(CodePage codePage, const std::vector<KeptValue>& kept) const;
  // A launch refused: the journal there belongs to a copy that still runs.
  std::string JournalOfAnotherCopy(std::uint32_t session) const;
  // A launch refused: the logon could not run the restore's command line.
  std::string LogonCommandTooLong(std::string_view command, std::size_t longest) const;
  // Whether to start a second start's program once the one that runs with
  // another font has ended.
  std::string QueueQuestion(std::string_view running, std::string_view runningFont,
                            std::string_view program, std::string_view font) const;
  // The close question, naming the starts queued that a Yes drops.
  std::string CloseQuestion(const std::vector<std::string>& queued) const;
  // The queued starts that will not be started now.
  std::string NotQueuedAnyMore(const std::vector<std::string>& queued) const;
  std::string LinkNotOpened(std::string_view address, std::string_view errorText) const;
  // The desktop shortcut: one of its name is there already (`path`), it was
  // made (`name`), or it could not be.
  std::string ShortcutExists(std::string_view path) const;
  std::string ShortcutCreated(std::string_view name) const;
  std::string ShortcutNotCreated(std::string_view path, std::string_view errorText) const;
  // A shortcut given as the program that starts none (`refused`: why).
  std::string ProgramRefused(std::string_view link, const ProgramToStart& refused,
                             std::string_view errorText) const;

 private:
  // The values of a list after the first few, counted.
  std::string MoreValues(std::size_t listed, std::size_t total) const;
  // A value as the user would look for it, with what it holds now.
  std::string Shown(const KeptValue& value) const;

  Language language_;
};

}  // namespace tavrel
