#include "app/messages.h"

#include "base/text.h"

namespace tavrel::messages {
namespace {

constexpr const char* kNothingDone = "外字の設定は変更せず、ソフトも起動しませんでした。";
constexpr const char* kTryAgainLater =
    "次に Tavrel を起動したとき、またはログオンしたときに、もう一度元に戻します。";
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

std::string ErrorCodeText(ErrorCode error) {
  // No printf: it would bring its whole formatter into the exe.
  if (!(error & 0x80000000u)) return std::to_string(error);
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(error >> shift) & 0xF];
  return text;
}

std::string ErrorText(std::string_view systemText, ErrorCode error) {
  const std::string code = "エラー " + ErrorCodeText(error);
  return systemText.empty() ? code : std::string(systemText) + "（" + code + "）";
}

std::string FontMissing(std::string_view path, std::string_view errorText) {
  return Lines({"ユーザー外字ファイルが見つかりません。", path, errorText, kNothingDone});
}

std::string FontUnreadable(std::string_view path, std::string_view errorText) {
  return Lines({"ユーザー外字ファイルを読み込めません。", path, errorText, kNothingDone});
}

std::string NotAFont(std::string_view path) {
  return Lines({"ユーザー外字ファイルではありません。", path,
                "TrueType または OpenType のフォントファイルを指定してください。", kNothingDone});
}

std::string SwitchFailed(const SwitchStatus& status, std::string_view errorText,
                         bool settingsBack) {
  const std::string where = Utf16ToUtf8(status.where);
  switch (status.step) {
    case SwitchStatus::Step::KeyUnreadable:
      return Lines({"外字の設定を読み取れませんでした。", where, errorText, kNothingDone});
    case SwitchStatus::Step::NoWindowsFolder:
      return Lines({"Windows フォルダーの場所を取得できませんでした。", kNothingDone});
    case SwitchStatus::Step::JournalUnwritten:
      if (status.error == kAlreadyExists) {
        return Lines({"外字の設定を元に戻すための以前の記録が、読み取れないまま残っています。", where,
                      "この記録が残っている間は、外字の設定を変更できません。", kNothingDone});
      }
      return Lines({"外字の設定を元に戻すための記録を書き込めませんでした。", where, errorText,
                    kNothingDone});
    case SwitchStatus::Step::FontUnwritten:
      return Lines({"ユーザー外字を設定できませんでした。", where, errorText,
                    settingsBack ? "外字の設定を元に戻し、ソフトは起動しませんでした。"
                                 : "ソフトは起動しませんでした。"});
    case SwitchStatus::Step::Done:
      break;
  }
  return {};
}

std::string NotStarted(std::string_view program, std::string_view errorText, bool outerRuns,
                       bool settingsBack) {
  std::string_view outcome;
  if (outerRuns) {
    outcome = "起動中の登録ソフトがあるため、ユーザー外字の設定はそのままです。";
  } else if (settingsBack) {
    outcome = "外字の設定を元に戻しました。";
  }
  return Lines({"登録ソフトを起動できませんでした。", program, errorText, outcome});
}

std::string RestoreFailed(CodePage codePage,
                          const std::vector<std::pair<std::u16string, std::string>>& failed) {
  std::string text = "外字の設定を元に戻せませんでした。";
  const std::string key = Utf16ToUtf8(EudcKeyShown(codePage));
  for (const auto& [name, errorText] : failed) {
    text += "\r\n" + key + " の「" + Utf16ToUtf8(name) + "」: " + errorText;
  }
  return text + "\r\n" + kTryAgainLater;
}

std::string Recovered(const std::vector<RawValue>& values) {
  std::string text = "前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。";
  for (size_t i = 0; i < values.size() && i < kListedValues; ++i) {
    const RawValue& value = values[i];
    text += "\r\n" + Utf16ToUtf8(value.name);
    if (const std::optional<std::u16string> shown = TextOf(value)) {
      text += " = " + Utf16ToUtf8(*shown);
    } else {
      text += "（" + std::to_string(value.data.size()) + " バイトのデータ）";
    }
  }
  if (values.size() > kListedValues) {
    text += "\r\nほか " + std::to_string(values.size() - kListedValues) + " 件";
  }
  return text;
}

std::string JournalUnreadable(std::string_view errorText) {
  return Lines({"外字の設定を元に戻すための記録を読み取れませんでした。", Utf16ToUtf8(kJournalKeyShown),
                errorText.empty() ? "記録が壊れています。" : errorText,
                "外字の設定は変更せず、記録もそのまま残してあります。",
                "不要な記録であれば、このキーを削除してください。"});
}

std::string JournalNotRemoved(std::string_view where, std::string_view errorText) {
  return Lines({"外字の設定は元に戻しましたが、元に戻すための記録を削除できませんでした。", where,
                errorText, "次に Tavrel を起動したときに、もう一度削除します。"});
}

std::string JournalNotTakenOver(std::string_view where, std::string_view errorText) {
  return Lines({"前回の Tavrel が残した、外字の設定を元に戻すための記録を書き換えられませんでした。",
                where, errorText,
                "別のログオン セッションで起動した Tavrel が、同じ記録から設定を元に戻すことがあります。"});
}

std::string LogonRestoreNotSet(std::string_view where, std::string_view errorText) {
  return Lines({"次のログオンで元に戻すための設定を書き込めませんでした。", where, errorText,
                "Tavrel をもう一度起動すると、元に戻します。"});
}

std::string ReloadFailed(std::string_view errorText) {
  return Lines({"外字を読み込み直せませんでした。", errorText,
                "表示中の文字には、外字の設定の変更が反映されていないことがあります。"});
}

std::string WaitFailed(bool atLogon) {
  return Lines({"登録ソフトの終了を確認できなくなりました。",
                atLogon ? kTryAgainLater : "外字の設定は、Tavrel を終了するときに元に戻します。"});
}

namespace {

// A value as the user would look for it, with what it holds now.
std::string Shown(const KeptValue& value) {
  std::string line = "「" + Utf16ToUtf8(value.name) + "」";
  if (!value.now) return line + "（削除されています）";
  if (const std::optional<std::u16string> text = TextOf(*value.now)) return line + " = " + Utf16ToUtf8(*text);
  return line + "（" + std::to_string(value.now->data.size()) + " バイトのデータ）";
}

}  // namespace

std::string KeptChanged(CodePage codePage, const std::vector<KeptValue>& kept) {
  std::string text = "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。変更後の設定のままにしてあります。\r\n" +
                     Utf16ToUtf8(EudcKeyShown(codePage));
  for (size_t i = 0; i < kept.size() && i < kListedValues; ++i) text += "\r\n" + Shown(kept[i]);
  if (kept.size() > kListedValues) text += "\r\nほか " + std::to_string(kept.size() - kListedValues) + " 件";
  return text;
}

std::string JournalOfAnotherCopy(std::uint32_t session) {
  return Lines({"別のログオン セッション（セッション " + std::to_string(session) +
                    "）で動いている Tavrel が、ユーザー外字を使っています。",
                "その Tavrel のソフトが終了してから、もう一度起動してください。", kNothingDone});
}

std::string LogonCommandTooLong(std::string_view command, std::size_t longest) {
  return Lines({"tavrel.exe のあるフォルダーのパスが長すぎるため、ログオン時に外字の設定を元に戻す設定ができません。",
                command,
                "コマンドラインは " + std::to_string(longest) + " 文字以内でなければなりません。"
                "tavrel.exe を、パスの短いフォルダーに置いてください。",
                kNothingDone});
}

std::string QueueQuestion(std::string_view running, std::string_view runningFont,
                          std::string_view program, std::string_view font) {
  return Lines({"次のソフトが、別のユーザー外字で実行中です。",
                running.empty() ? "（前回の Tavrel が起動したソフト）" : running, "外字: " + std::string(runningFont),
                "このソフトが終了してから、次のソフトを起動しますか？", program,
                "外字: " + std::string(font)});
}

std::string LinkNotOpened(std::string_view address, std::string_view errorText) {
  return Lines({"ホームページを開けませんでした。", address, errorText});
}

std::string ShortcutExists(std::string_view path) {
  return Lines({"デスクトップに同じ名前のファイルがあります。上書きしますか？", path});
}

std::string ShortcutCreated(std::string_view name) {
  return Lines({"デスクトップにショートカットを作成しました。", name});
}

std::string ShortcutNotCreated(std::string_view path, std::string_view errorText) {
  return Lines({"デスクトップにショートカットを作成できませんでした。", path, errorText});
}

}  // namespace tavrel::messages
