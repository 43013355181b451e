// The message boxes, put together from the rows of texts.h in the language of
// the Texts.
#include "command_line/command_line.h"
#include "texts/texts.h"
#include "base/text.h"

namespace tavrel {
namespace {

// The recovery lists at most this many values; the rest are counted.
constexpr size_t kListedValues = 10;

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    if (line.empty()) continue;
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

}  // namespace

std::string Texts::ArgumentErrorMessage(const ArgumentError& error) const {
  std::string text;
  switch (error.fault) {
    case ArgumentFault::UnknownSwitch:
      text = Fill(Text::UnknownSwitch, {error.argument});
      break;
    case ArgumentFault::TooManyFiles:
      text = Fill(Text::TooManyFiles, {error.argument});
      break;
    case ArgumentFault::SecondProgram:
      text = Fill(Text::SecondProgram, {error.argument});
      break;
    case ArgumentFault::SecondFont:
      text = Fill(Text::SecondFont, {error.argument});
      break;
    case ArgumentFault::NotAFont:
      text = Fill(Text::NotAFontArgument, {error.argument});
      break;
    case ArgumentFault::NoSuchFile:
      text = Fill(Text::NoSuchFile, {error.argument});
      // A relative path: say where it was looked for.
      if (!error.fullPath.empty() && error.fullPath != error.argument) {
        text += "\r\n(" + error.fullPath + ")";
      }
      break;
  }
  return text + "\r\n\r\n" + std::string(Get(Text::Usage));
}

std::string Texts::FontMissing(std::string_view path, std::string_view errorText) const {
  return Lines({Get(Text::FontMissing), path, errorText, Get(Text::NothingDone)});
}

std::string Texts::FontUnreadable(std::string_view path, std::string_view errorText) const {
  return Lines({Get(Text::FontUnreadable), path, errorText, Get(Text::NothingDone)});
}

std::string Texts::NotAFont(std::string_view path) const {
  return Lines({Get(Text::NotAFont), path, Get(Text::ChooseAFont), Get(Text::NothingDone)});
}

std::string Texts::SwitchFailed(const SwitchStatus& status, std::string_view errorText,
                                bool settingsBack) const {
  const std::string where = Utf16ToUtf8(status.where);
  const std::string_view nothingDone = Get(Text::NothingDone);
  switch (status.step) {
    case SwitchStatus::Step::KeyUnreadable:
      return Lines({Get(Text::KeyUnreadable), where, errorText, nothingDone});
    case SwitchStatus::Step::NoWindowsFolder:
      return Lines({Get(Text::NoWindowsFolder), nothingDone});
    case SwitchStatus::Step::JournalUnwritten:
      if (status.error == kAlreadyExists) {
        return Lines({Get(Text::JournalLeftUnreadable), where, Get(Text::JournalBlocksChange),
                      nothingDone});
      }
      return Lines({Get(Text::JournalUnwritten), where, errorText, nothingDone});
    case SwitchStatus::Step::FontUnwritten:
      return Lines({Get(Text::FontUnwritten), where, errorText,
                    Get(settingsBack ? Text::SettingsBackNotStarted : Text::ProgramNotStarted)});
    case SwitchStatus::Step::NotAFontFile:
      return Lines({Get(Text::FontPathRefused), where, status.error == kSuccess ? "" : errorText, nothingDone});
    case SwitchStatus::Step::Done:
      break;
  }
  return {};
}

std::string Texts::NotStarted(std::string_view program, std::string_view errorText, bool outerRuns,
                              bool settingsBack) const {
  std::string_view outcome;
  if (outerRuns) {
    outcome = Get(Text::OuterRuns);
  } else if (settingsBack) {
    outcome = Get(Text::SettingsBack);
  }
  return Lines({Get(Text::NotStarted), program, errorText, outcome});
}

std::string Texts::RestoreFailed(
    CodePage codePage, const std::vector<std::pair<std::u16string, std::string>>& failed) const {
  std::string text(Get(Text::RestoreFailed));
  const std::string key = Utf16ToUtf8(EudcKeyShown(codePage));
  for (const auto& [name, errorText] : failed) {
    text += "\r\n" + Fill(Text::ValueOfKey, {key, Utf16ToUtf8(name), errorText});
  }
  return text + "\r\n" + std::string(Get(Text::TryAgainLater));
}

std::string Texts::MoreValues(std::size_t listed, std::size_t total) const {
  if (total <= listed) return {};
  return "\r\n" + Fill(Text::MoreValues, {std::to_string(total - listed)});
}

std::string Texts::Recovered(const std::vector<RawValue>& values) const {
  std::string text(Get(Text::Recovered));
  for (size_t i = 0; i < values.size() && i < kListedValues; ++i) {
    const RawValue& value = values[i];
    text += "\r\n" + Utf16ToUtf8(value.name);
    if (const std::optional<std::u16string> shown = TextOf(value)) {
      text += " = " + Utf16ToUtf8(*shown);
    } else {
      text += Fill(Text::ValueBytes, {std::to_string(value.data.size())});
    }
  }
  return text + MoreValues(kListedValues, values.size());
}

std::string Texts::JournalUnreadable(std::string_view errorText) const {
  return Lines({Get(Text::JournalUnreadable), Utf16ToUtf8(kJournalKeyShown),
                errorText.empty() ? Get(Text::JournalDamaged) : errorText,
                Get(Text::JournalKept), Get(Text::DeleteUnneededKey)});
}

std::string Texts::JournalNotRemoved(std::string_view where, std::string_view errorText) const {
  return Lines({Get(Text::JournalNotRemovedAfterBack), where, errorText, Get(Text::RemoveAgain)});
}

std::string Texts::JournalNotTakenOver(std::string_view where, std::string_view errorText) const {
  return Lines({Get(Text::JournalNotTakenOver), where, errorText, Get(Text::OtherSessionMayRestore)});
}

std::string Texts::LogonRestoreNotSet(std::string_view where, std::string_view errorText) const {
  return Lines({Get(Text::LogonRestoreNotSet), where, errorText, Get(Text::StartAgainToRestore)});
}

std::string Texts::ReloadFailed(std::string_view errorText) const {
  return Lines({Get(Text::ReloadFailed), errorText, Get(Text::ReloadNotShown)});
}

std::string Texts::WaitFailed(bool atLogon) const {
  return Lines({Get(Text::WaitFailed), Get(atLogon ? Text::TryAgainLater : Text::RestoreAtExit)});
}

std::string Texts::Shown(const KeptValue& value) const {
  std::string line = Fill(Text::ValueQuoted, {Utf16ToUtf8(value.name)});
  if (!value.now) return line + std::string(Get(Text::ValueDeleted));
  if (const std::optional<std::u16string> text = TextOf(*value.now)) return line + " = " + Utf16ToUtf8(*text);
  return line + Fill(Text::ValueBytes, {std::to_string(value.now->data.size())});
}

std::string Texts::KeptChanged(CodePage codePage, const std::vector<KeptValue>& kept) const {
  std::string text = std::string(Get(Text::KeptChanged)) + "\r\n" + Utf16ToUtf8(EudcKeyShown(codePage));
  for (size_t i = 0; i < kept.size() && i < kListedValues; ++i) text += "\r\n" + Shown(kept[i]);
  return text + MoreValues(kListedValues, kept.size());
}

std::string Texts::JournalOfAnotherCopy(std::uint32_t session) const {
  return Lines({Fill(Text::AnotherSession, {std::to_string(session)}), Get(Text::TryAfterOtherCopy),
                Get(Text::NothingDone)});
}

std::string Texts::LogonCommandTooLong(std::string_view command, std::size_t longest) const {
  return Lines({Get(Text::LogonCommandTooLong), command,
                Fill(Text::LogonCommandLimit, {std::to_string(longest)}), Get(Text::NothingDone)});
}

std::string Texts::QueueQuestion(std::string_view running, std::string_view runningFont,
                                 std::string_view program, std::string_view font) const {
  return Lines({Get(Text::QueueRunning), running.empty() ? Get(Text::EarlierCopysProgram) : running,
                Fill(Text::FontLine, {runningFont}), Get(Text::QueueQuestion), program,
                Fill(Text::FontLine, {font})});
}

std::string Texts::LinkNotOpened(std::string_view address, std::string_view errorText) const {
  return Lines({Get(Text::LinkNotOpened), address, errorText});
}

std::string Texts::ShortcutExists(std::string_view path) const {
  return Lines({Get(Text::ShortcutExists), path});
}

std::string Texts::ShortcutCreated(std::string_view name) const {
  return Lines({Get(Text::ShortcutCreated), name});
}

std::string Texts::ShortcutNotCreated(std::string_view path, std::string_view errorText) const {
  return Lines({Get(Text::ShortcutNotCreated), path, errorText});
}

std::string Texts::NotQueuedAnyMore(const std::vector<std::string>& queued) const {
  std::string text(Get(Text::QueuedNotStarted));
  for (const std::string& program : queued) text += "\r\n" + program;
  return text;
}

std::string Texts::CloseQuestion(const std::vector<std::string>& queued) const {
  if (queued.empty()) return std::string(Get(Text::CloseQuestion));
  return NotQueuedAnyMore(queued) + "\r\n\r\n" + std::string(Get(Text::CloseQuestion));
}

std::string Texts::ProgramRefused(std::string_view link, const ProgramToStart& refused,
                                  std::string_view errorText) const {
  const std::string target = refused.target.empty() ? std::string(Get(Text::LinkToNoFile))
                                                    : Fill(Text::LinkPointsAt, {refused.target});
  switch (refused.refusal) {
    case ProgramRefusal::LinkUnreadable:
      return Lines({Get(Text::LinkUnreadable), link, errorText, Get(Text::ChooseAProgram)});
    case ProgramRefusal::NotAProgram:
      return Lines({Get(Text::LinkNotAProgram), link, target, Get(Text::ChooseAProgram)});
    case ProgramRefusal::TargetMissing:
      return Lines({Get(Text::LinkTargetMissing), link, target, Get(Text::ChooseAProgram)});
    case ProgramRefusal::None:
      break;
  }
  return {};
}

}  // namespace tavrel
