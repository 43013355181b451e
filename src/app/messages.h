// The texts of Tavrel's message boxes about the switch, the launch and the
// recovery of the EUDC settings. Each names the file, key or value concerned;
// `errorText` is the system's text for the error (see ErrorText).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "eudc/font_switch.h"
#include "eudc/journal.h"

namespace tavrel::messages {

// A system error code in decimal, an HRESULT in hexadecimal, as Windows
// shows them.
std::string ErrorCodeText(ErrorCode error);
// The system's text followed by the code, or the code alone.
std::string ErrorText(std::string_view systemText, ErrorCode error);

std::string FontMissing(std::string_view path, std::string_view errorText);
std::string FontUnreadable(std::string_view path, std::string_view errorText);
std::string NotAFont(std::string_view path);

// The switch to the user font was refused or did not finish.
std::string SwitchFailed(const SwitchStatus& status, std::string_view errorText,
                         bool settingsBack);

// `outerRuns`: an earlier launch's program still runs, so the font stays.
std::string NotStarted(std::string_view program, std::string_view errorText, bool outerRuns,
                       bool settingsBack);

// One line per value of the EUDC key of `codePage`: its name and the
// system's text for its error.
std::string RestoreFailed(CodePage codePage,
                          const std::vector<std::pair<std::u16string, std::string>>& failed);

std::string Recovered(const std::vector<RawValue>& values);
std::string JournalUnreadable(std::string_view errorText);
// The settings are back, but their record could not be removed.
std::string JournalNotRemoved(std::string_view where, std::string_view errorText);
// The record an earlier copy left could not be rewritten as this copy's.
std::string JournalNotTakenOver(std::string_view where, std::string_view errorText);
// Not all settings are back, and the next logon's retry could not be set.
std::string LogonRestoreNotSet(std::string_view where, std::string_view errorText);
// The EUDC fonts could not be released or reloaded around a change.
std::string ReloadFailed(std::string_view errorText);
// The end of the launched programs can no longer be known; `atLogon`: the
// logon's restore, which leaves the settings to the next start or logon.
std::string WaitFailed(bool atLogon);
// The values of the EUDC key of `codePage` that someone else changed, added
// or removed while the program ran, which were kept as they are.
std::string KeptChanged(CodePage codePage, const std::vector<KeptValue>& kept);
// A launch refused: the journal there belongs to a copy that still runs.
std::string JournalOfAnotherCopy(std::uint32_t session);
// A launch refused: the logon could not run the restore's command line.
std::string LogonCommandTooLong(std::string_view command, std::size_t longest);
// Whether to start a second start's program once the one that runs with
// another font has ended.
std::string QueueQuestion(std::string_view running, std::string_view runningFont,
                          std::string_view program, std::string_view font);
std::string LinkNotOpened(std::string_view address, std::string_view errorText);
// The desktop shortcut: one of its name is there already (`path`), it was
// made (`name`), or it could not be.
std::string ShortcutExists(std::string_view path);
std::string ShortcutCreated(std::string_view name);
std::string ShortcutNotCreated(std::string_view path, std::string_view errorText);

}  // namespace tavrel::messages
