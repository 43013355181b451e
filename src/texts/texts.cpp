#include "texts/texts.h"

#include <iterator>

#include "files/file_kind.h"
#include "product/version.h"

namespace tavrel {
namespace {

struct Row {
  Text text;
  const char* japanese;
  const char* english;
};

// clang-format off
constexpr Row kRows[] = {
  {Text::FrameTitle,
   "◆　ユーザー外字をシステム標準設定にしてソフトを起動します　◆",
   "◆  Starts a program with your EUDC font as the system default  ◆"},
  {Text::ExitCheck,
   "起動させたソフトが終了したら、本ソフト[Tavrel]も同時に終了させる(&E)",
   "&Exit Tavrel when the started program ends"},
  {Text::EndButton, "終了", "Exit"},
  {Text::LaunchButton, "ソフト起動", "Launch"},
  {Text::CopyrightLine, TAVREL_COPYRIGHT, TAVREL_COPYRIGHT},
  {Text::ProgramTitle, "左のボタンを押すと起動するソフトのファイル名",
   "The program that the button on the left starts"},
  {Text::FontTitle, "上記ソフトで使用する外字ファイル名", "The EUDC font file for the program above"},
  {Text::HomePageTooltip, "Go to Ferroday Home Page", "Go to Ferroday Home Page"},
  {Text::ShortcutMenuItem, "デスクトップにショートカットを作成(&S)", "Create Desktop &Shortcut"},
  {Text::ProgramPrompt, "実行するソフトをDrag＆Dropしてください", "Drag and drop the program to run here"},
  {Text::FontPrompt, "ユーザー外字ファイルをDrag＆Dropしてください。",
   "Drag and drop your EUDC font file here."},
  {Text::ProgramBoxTooltip, "クリックしてソフトを選ぶか、ここにソフトをドロップします",
   "Click to choose the program, or drop it here"},
  {Text::FontBoxTooltip, "クリックして外字ファイルを選ぶか、ここに外字ファイルをドロップします",
   "Click to choose the EUDC font file, or drop it here"},
  {Text::ProgramFilter, "ソフト (*.exe, *.lnk)", "Programs (*.exe, *.lnk)"},
  {Text::FontFilter, "外字ファイル (*.tte)", "EUDC font files (*.tte)"},
  {Text::ChooserFailed, "ファイルを選ぶ画面を開けませんでした。", "The Open dialog could not be shown."},
  {Text::WindowFailed, "ウィンドウを作成できませんでした。Tavrel を終了します。",
   "The window could not be created. Tavrel will exit."},

  {Text::AlreadyRunning, "%1 は既に起動しています。\r\n利用しているソフトを終了させてください。",
   "%1 is already running.\r\nClose the program you are using it with first."},
  {Text::CloseQuestion, "登録ソフトが起動中です。\r\n終了してもいいですか？",
   "The program is still running.\r\nExit Tavrel anyway?"},
  {Text::ShortcutSuffix, " (外字)", " (EUDC)"},

  {Text::UnknownSwitch, "起動スイッチ「%1」は使えません。", "The switch \"%1\" is not supported."},
  {Text::TooManyFiles,
   "「%1」は指定できません。指定できるファイルは、ソフトと外字ファイルの2つまでです。",
   "\"%1\" cannot be used. At most two files can be given: a program and an EUDC font file."},
  {Text::SecondProgram, "「%1」は指定できません。ソフトは1つしか指定できません。",
   "\"%1\" cannot be used. Only one program can be given."},
  {Text::SecondFont, "「%1」は指定できません。外字ファイル(.tte)は1つしか指定できません。",
   "\"%1\" cannot be used. Only one EUDC font file (.tte) can be given."},
  {Text::NoSuchFile, "「%1」というファイルが見つかりません。", "The file \"%1\" cannot be found."},
  {Text::NotAFontArgument,
   "「%1」は、読み込めないか、フォントファイル(TrueType または OpenType)ではありません。",
   "\"%1\" cannot be read or is not a font file (TrueType or OpenType)."},
  {Text::Usage,
   "使い方: tavrel.exe [/run] [/exit] [ソフト] [外字ファイル.tte] [-- ソフトに渡す引数]\r\n"
   "・ソフトと外字ファイル(.tte)は、どちらを先に書いても構いません。\r\n"
   "・/run  ウィンドウが開いたら、すぐにソフトを起動します。\r\n"
   "・/exit  起動させたソフトが終了したら、Tavrel も終了します。\r\n"
   "・スイッチは大文字・小文字を区別せず、- で始めても構いません。\r\n"
   "・-- の後に書いたものは、そのまま起動させるソフトに渡します。\r\n"
   "\r\n"
   "コマンドラインの指定は使わずに、ウィンドウを開きます。",
   "Usage: tavrel.exe [/run] [/exit] [program] [font.tte] [-- arguments for the program]\r\n"
   "- The program and the EUDC font file (.tte) may come in either order.\r\n"
   "- /run  Starts the program as soon as the window opens.\r\n"
   "- /exit  Exits Tavrel too when the started program ends.\r\n"
   "- Switches ignore case and may also begin with -.\r\n"
   "- Everything after -- is passed to the program as it is.\r\n"
   "\r\n"
   "The window opens without what the command line gave."},

  {Text::ErrorNumber, "エラー %1", "Error %1"},
  {Text::TextWithErrorCode, "%1（%2）", "%1 (%2)"},
  {Text::ValueQuoted, "「%1」", "\"%1\""},
  {Text::ValueOfKey, "%1 の「%2」: %3", "\"%2\" in %1: %3"},
  {Text::ValueDeleted, "（削除されています）", " (deleted)"},
  {Text::ValueBytes, "（%1 バイトのデータ）", " (%1 bytes of data)"},
  {Text::MoreValues, "ほか %1 件", "and %1 more"},
  {Text::FontLine, "外字: %1", "EUDC font: %1"},

  {Text::NothingDone, "外字の設定は変更せず、ソフトも起動しませんでした。",
   "The EUDC settings were not changed, and no program was started."},
  {Text::TryAgainLater, "次に Tavrel を起動したとき、またはログオンしたときに、もう一度元に戻します。",
   "Tavrel will try again the next time it starts or you log on."},
  {Text::FontMissing, "ユーザー外字ファイルが見つかりません。", "The EUDC font file cannot be found."},
  {Text::FontUnreadable, "ユーザー外字ファイルを読み込めません。", "The EUDC font file cannot be read."},
  {Text::NotAFont, "ユーザー外字ファイルではありません。", "This is not an EUDC font file."},
  {Text::ChooseAFont, "TrueType または OpenType のフォントファイルを指定してください。",
   "Choose a TrueType or OpenType font file."},
  {Text::KeyUnreadable, "外字の設定を読み取れませんでした。", "The EUDC settings could not be read."},
  {Text::NoWindowsFolder, "Windows フォルダーの場所を取得できませんでした。",
   "The location of the Windows folder could not be found."},
  {Text::JournalLeftUnreadable,
   "外字の設定を元に戻すための以前の記録が、読み取れないまま残っています。",
   "An earlier record for restoring the EUDC settings is still there and cannot be read."},
  {Text::JournalBlocksChange, "この記録が残っている間は、外字の設定を変更できません。",
   "The EUDC settings cannot be changed while this record remains."},
  {Text::JournalUnwritten, "外字の設定を元に戻すための記録を書き込めませんでした。",
   "The record for restoring the EUDC settings could not be written."},
  {Text::FontUnwritten, "ユーザー外字を設定できませんでした。", "Your EUDC font could not be set."},
  {Text::SettingsBackNotStarted, "外字の設定を元に戻し、ソフトは起動しませんでした。",
   "The EUDC settings were restored, and the program was not started."},
  {Text::ProgramNotStarted, "ソフトは起動しませんでした。", "The program was not started."},
  {Text::NotStarted, "登録ソフトを起動できませんでした。", "The program could not be started."},
  {Text::DosProgram,
   "16 ビット版または DOS 用のソフトのため、64 ビット版の Windows では起動できません。",
   "This is a 16-bit or DOS program, which 64-bit Windows cannot run."},
  {Text::OuterRuns, "起動中の登録ソフトがあるため、ユーザー外字の設定はそのままです。",
   "An earlier program is still running, so your EUDC font stays set."},
  {Text::SettingsBack, "外字の設定を元に戻しました。", "The EUDC settings were restored."},
  {Text::RestoreFailed, "外字の設定を元に戻せませんでした。", "The EUDC settings could not be restored."},
  {Text::Recovered, "前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。",
   "Tavrel last ended without restoring the EUDC settings, so they have been restored now."},
  {Text::JournalUnreadable, "外字の設定を元に戻すための記録を読み取れませんでした。",
   "The record for restoring the EUDC settings could not be read."},
  {Text::JournalDamaged, "記録が壊れています。", "The record is damaged."},
  {Text::JournalKept, "外字の設定は変更せず、記録もそのまま残してあります。",
   "The EUDC settings were not changed, and the record was left as it is."},
  {Text::DeleteUnneededKey, "不要な記録であれば、このキーを削除してください。",
   "If the record is no longer needed, delete this key."},
  {Text::JournalNotRemovedAfterBack,
   "外字の設定は元に戻しましたが、元に戻すための記録を削除できませんでした。",
   "The EUDC settings were restored, but the record for restoring them could not be deleted."},
  {Text::RemoveAgain, "次に Tavrel を起動したときに、もう一度削除します。",
   "Tavrel will try again the next time it starts."},
  {Text::JournalNotTakenOver,
   "前回の Tavrel が残した、外字の設定を元に戻すための記録を書き換えられませんでした。",
   "The record for restoring the EUDC settings that Tavrel left last time could not be rewritten."},
  {Text::OtherSessionMayRestore,
   "別のログオン セッションで起動した Tavrel が、同じ記録から設定を元に戻すことがあります。",
   "Tavrel started in another logon session may restore the settings from the same record."},
  {Text::LogonRestoreNotSet, "次のログオンで元に戻すための設定を書き込めませんでした。",
   "The setting that restores them at the next logon could not be written."},
  {Text::StartAgainToRestore, "Tavrel をもう一度起動すると、元に戻します。",
   "Start Tavrel again to restore them."},
  {Text::ReloadFailed, "外字を読み込み直せませんでした。", "The EUDC fonts could not be reloaded."},
  {Text::ReloadNotShown, "表示中の文字には、外字の設定の変更が反映されていないことがあります。",
   "Text already on the screen may not show the change of the EUDC settings."},
  {Text::WaitFailed, "登録ソフトの終了を確認できなくなりました。",
   "Tavrel can no longer tell when the program ends."},
  {Text::RestoreAtExit, "外字の設定は、Tavrel を終了するときに元に戻します。",
   "The EUDC settings will be restored when Tavrel exits."},
  {Text::KeptChanged,
   "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。変更後の設定のままにしてあります。",
   "While your EUDC font was in use, these EUDC settings were changed by other means. They were "
   "left as changed."},
  {Text::AnotherSession,
   "別のログオン セッション（セッション %1）で動いている Tavrel が、ユーザー外字を使っています。",
   "Tavrel in another logon session (session %1) is using an EUDC font."},
  {Text::TryAfterOtherCopy, "その Tavrel のソフトが終了してから、もう一度起動してください。",
   "Try again after the program of that Tavrel has ended."},
  {Text::LogonCommandTooLong,
   "tavrel.exe のあるフォルダーのパスが長すぎるため、ログオン時に外字の設定を元に戻す設定ができません。",
   "The path of the folder of tavrel.exe is too long for restoring the EUDC settings at logon."},
  {Text::LogonCommandLimit,
   "コマンドラインは %1 文字以内でなければなりません。tavrel.exe を、パスの短いフォルダーに置いてください。",
   "The command line must not be longer than %1 characters. Move tavrel.exe to a folder with a "
   "shorter path."},
  {Text::QueueRunning, "次のソフトが、別のユーザー外字で実行中です。",
   "This program is running with another EUDC font:"},
  {Text::EarlierCopysProgram, "（前回の Tavrel が起動したソフト）", "(the program the last Tavrel started)"},
  {Text::QueueQuestion, "このソフトが終了してから、次のソフトを起動しますか？",
   "Start this program once it has ended?"},
  {Text::LinkNotOpened, "ホームページを開けませんでした。", "The home page could not be opened."},
  {Text::ShortcutExists, "デスクトップに同じ名前のファイルがあります。上書きしますか？",
   "A file of the same name is already on the desktop. Replace it?"},
  {Text::ShortcutCreated, "デスクトップにショートカットを作成しました。",
   "A shortcut was created on the desktop."},
  {Text::ShortcutNotCreated, "デスクトップにショートカットを作成できませんでした。",
   "The shortcut could not be created on the desktop."},
  {Text::QueuedNotStarted, "起動を待っている次のソフトは、起動しません。",
   "These programs waiting to start will not be started:"},
  {Text::NothingToWaitFor,
   "次のソフトを起動しましたが、終了を待つことのできるプロセスがありません。外字の設定を今すぐ元に戻します。\r\n%1",
   "This program was started, but gave no process that Tavrel can wait for. The EUDC settings are "
   "restored now.\r\n%1"},
  {Text::NoFontForStart,
   "外字ファイルが決まっていないため、次のソフトを起動できませんでした。\r\n%1",
   "This program was not started: no EUDC font file is known for it.\r\n%1"},
  {Text::FontPathRefused,
   "外字に設定できるのは、存在するフォントファイルをフルパスで指定したときだけです。",
   "Only an existing font file, given by its full path, can be set as the EUDC font."},
  {Text::LinkUnreadable, "ショートカットを読み取れませんでした。", "The shortcut could not be read."},
  {Text::LinkNotAProgram,
   "このショートカットのリンク先はソフト(.exe)ではないため、外字を切り替えて起動することはできません。",
   "This shortcut does not point to a program (.exe), so it cannot be started with your EUDC font."},
  {Text::LinkTargetMissing, "このショートカットのリンク先が見つかりません。",
   "What this shortcut points to cannot be found."},
  {Text::LinkPointsAt, "リンク先: %1", "It points to: %1"},
  {Text::LinkToNoFile, "リンク先: (ファイルではありません)", "It points to: (not a file)"},
  {Text::ChooseAProgram, "ソフト(.exe)か、そのショートカットを指定してください。",
   "Choose a program (.exe) or a shortcut to one."},
};
// clang-format on

static_assert(std::size(kRows) == static_cast<std::size_t>(Text::Count), "a row for every text");

consteval bool RowsInOrder() {
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (kRows[i].text != static_cast<Text>(i)) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "the rows in the order of Text");

// LANG_JAPANESE, the primary language in the low ten bits of a LANGID.
constexpr std::uint16_t kJapanese = 0x11;
constexpr std::uint16_t kPrimaryLanguageBits = 0x3FF;

}  // namespace

Language LanguageOf(std::uint16_t displayLanguage) {
  return (displayLanguage & kPrimaryLanguageBits) == kJapanese ? Language::Japanese : Language::English;
}

std::string_view TextIn(Language language, Text text) {
  const Row& row = kRows[static_cast<std::size_t>(text)];
  return language == Language::Japanese ? row.japanese : row.english;
}

std::string Texts::Fill(Text text, std::initializer_list<std::string_view> parts) const {
  const std::string_view pattern = Get(text);
  std::string filled;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const auto part = static_cast<std::size_t>(pattern[++i] - '1');
      if (part < parts.size()) filled += parts.begin()[part];
      continue;
    }
    filled += pattern[i];
  }
  return filled;
}

std::string ErrorCodeText(ErrorCode error) {
  // No printf: it would bring its whole formatter into the exe.
  if (!(error & 0x80000000u)) return std::to_string(error);
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(error >> shift) & 0xF];
  return text;
}

std::string Texts::ErrorText(std::string_view systemText, ErrorCode error) const {
  const std::string code = Fill(Text::ErrorNumber, {ErrorCodeText(error)});
  return systemText.empty() ? code : Fill(Text::TextWithErrorCode, {systemText, code});
}

std::string Texts::ShortcutName(std::string_view program) const {
  std::string_view name = FileNameOf(program);
  if (HasExtension(name, kProgramExtension)) name.remove_suffix(kProgramExtension.size());
  return std::string(name) + std::string(Get(Text::ShortcutSuffix)) + ".lnk";
}

}  // namespace tavrel
