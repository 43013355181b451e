#include "app/frm_main.h"

#include <algorithm>
#include <iterator>

#include "app/file_kind.h"
#include "app/maker.h"
#include "app/messages.h"
#include "app/version.h"
#include "app/window_search.h"
#include "eudc/registry_helpers.h"
#include "launch/cexecute.h"
#include "launch/process_wait.h"
#include "platform/text.h"
#include "settings/cinifile.h"

namespace tavrel {
namespace {

constexpr const char* kProgramPrompt = "実行するソフトをDrag＆Dropしてください";
constexpr const char* kFontPrompt = "ユーザー外字ファイルをDrag＆Dropしてください。";
constexpr const char* kAlreadyRunning =
    " は既に起動しています。\r\n利用しているソフトを終了させてください。";
constexpr const char* kCloseQuestion = "登録ソフトが起動中です。\r\n終了してもいいですか？";
constexpr UINT kCloseQuestionStyle = kMbYesNo | kMbIconInformation;  // 68
constexpr const char* kEudcKeyAnsi = "EUDC\\932";
constexpr UINT kProblemStyle = kMbOk | kMbIconWarning;
constexpr UINT kReportStyle = kMbOk | kMbIconInformation;
constexpr UINT kRecoverQuestionStyle = kMbYesNo | kMbIconQuestion;
constexpr const char* kRestoreSwitch = " /restore";

// The hot rectangle of the link line, in twips from its top-left corner.
constexpr float kHotLeft = 50, kHotRight = 6100, kHotTop = 20, kHotBottom = 300;

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string BaseNameWithoutExtension(std::string_view path) {
  std::string_view name = path.substr(path.rfind('\\') + 1);
  const size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

// Normal files only: no folders, hidden or system files.
bool IsNormalFile(DWORD attributes) {
  return !(attributes & (kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem));
}

// How TrueType and OpenType files begin: a TrueType outline version, the
// older Apple tag, CFF outlines, or a collection.
bool BeginsLikeAFont(const BYTE (&head)[4]) {
  static constexpr BYTE kSignatures[][4] = {
      {0x00, 0x01, 0x00, 0x00}, {'t', 'r', 'u', 'e'}, {'O', 'T', 'T', 'O'}, {'t', 't', 'c', 'f'}};
  return std::any_of(std::begin(kSignatures), std::end(kSignatures),
                     [&](const BYTE (&s)[4]) { return std::equal(s, s + 4, head); });
}

}  // namespace

frmMain::frmMain(Services& services, IFormWindow& window)
    : services_(services),
      window_(window),
      journal_(services.registry),
      eudc_(services.registry, services.files, journal_) {}

// --- start-up ---

void frmMain::Form_Initialize() {
  ISession& session = services_.session;
  if (!session.TryTakeInstanceLock()) {
    session.AwaitGuardDecision();
    RefuseSecondCopy();
  }
  WindowList windows;
  WindowSearch search(services_.windows);
  search.FindWindowsByTitle(windows, kApplicationTitle);
  session.AnnounceGuardDecided();
  // This copy has no window yet, so every match belongs to another program;
  // only those of another copy's main window refuse the start. Explorer's
  // window on a folder named after the tool (the unpacked release,
  // C:\Tools\Tavrel) and its address bar, a console running tavrel.exe or an
  // editor with a file named after it carry the title as well, and refusing
  // for them said "already running" of a copy that did not exist.
  if (search.CountTavrelWindows(windows) >= 1) RefuseSecondCopy();
  window_.SetFormCaption(std::string(kApplicationTitle) + " [ Ver." +
                         std::to_string(TAVREL_VERSION_MAJOR) + "." +
                         std::to_string(TAVREL_VERSION_MINOR) + "." +
                         std::to_string(TAVREL_VERSION_REVISION) + " ]");
}

void frmMain::RefuseSecondCopy() {
  services_.session.MessageBoxW(nullptr, std::string(kApplicationTitle) + kAlreadyRunning,
                                kApplicationTitle, kMbOk | kMbIconInformation);
  services_.session.EndProcess(0);
}

void frmMain::Form_Load(const CommandLine& commandLine) {
  if (commandLine.error) {
    // Before the window shows, so that it opens as it would without them.
    services_.session.MessageBoxW(nullptr, ArgumentErrorMessage(*commandLine.error),
                                  kApplicationTitle, kMbOk | kMbIconWarning);
  }
  const std::string exePath = services_.session.ModulePath();
  strAppDir = DirectoryOf(exePath);
  if (!strAppDir.ends_with('\\')) strAppDir += '\\';
  const std::string exeBaseName = BaseNameWithoutExtension(exePath);
  BindJournal(exePath);
  {
    // The settings store is bound to the file beside the executable; nothing
    // is read or written, so no file is created.
    cInifile iniSettings(services_.profile, services_.variants);
    iniSettings.FileName(strAppDir + exeBaseName + ".ini");
  }

  RegistryHelpers registry(services_.registry);
  strCurrentEudcFont = std::get<std::string>(
      registry.ReadRegValue(services_.registry.CurrentUser(), kEudcKeyAnsi,
                            "SystemDefaultEUDCFont", kRegTypeText, std::string()));
  window_.SetCaption(Label1(2), strCurrentEudcFont);

  // A file named on the command line is taken as a drop would take it; the
  // folder of the executable is searched only for what it leaves open.
  if (!commandLine.font.empty()) {
    RegisterFont(commandLine.font);
  } else {
    const std::string fontName = FirstNormalFile(kFontExtension, "");
    strEudcFile = fontName.empty() ? std::string() : strAppDir + fontName;
    window_.SetCaption(Label1(1), fontName.empty() ? kFontPrompt : strEudcFile);
  }

  if (!commandLine.program.empty()) {
    RegisterProgram(commandLine.program);
  } else {
    const std::string programName = FirstNormalFile(kProgramExtension, exeBaseName + ".exe");
    if (programName.empty()) {
      strSoftPath.clear();
      window_.SetCaption(Label1(0), kProgramPrompt);
    } else {
      ShowProgram(strAppDir, programName);
    }
  }
  if (commandLine.exit) window_.SetChecked(Control::chkExit, true);

  // Disabled before the window is shown, so that no input can reach a launch
  // with a file missing.
  const bool bothKnown = Launchable();
  if (!bothKnown) window_.SetEnabled(Control::cmdExecSoft, false);
  const bool takeOver = RecoverEudcSettings();
  windowShown_ = true;
  if (takeOver) {
    TakeOverWait();  // shows the window minimised, as a launch does
  } else {
    window_.Show();
  }
  FocusFirstReachableControl();
  // From the message loop, once the window is on the screen: the launch then
  // runs exactly as from a click, and minimises a window the user has seen.
  if (commandLine.run && bothKnown) window_.PostClick(Control::cmdExecSoft);
}

void frmMain::BindJournal(std::string_view exePath) {
  journal_.SetRestoreCommand(Utf8ToUtf16("\"" + std::string(exePath) + "\"" + kRestoreSwitch));
}

void frmMain::RestoreAtLogon() {
  ISession& session = services_.session;
  if (!session.TryTakeInstanceLock()) session.EndProcess(0);
  session.AnnounceGuardDecided();
  BindJournal(session.ModulePath());
  // No window: a program that still runs is waited for all the same.
  if (RecoverEudcSettings() && WaitForTakenOverPrograms()) {
    bool active = true;
    if (const std::string problem = PutBack(active); !problem.empty()) Tell(problem);
  }
  session.EndProcess(0);
}

bool frmMain::WaitForTakenOverPrograms() {
  bool ended = true;
  for (UniqueKernelHandle& program : takenOver_) {
    ended = WaitForProcessEnd(services_.processes, services_.events, program.get()) && ended;
  }
  takenOver_.clear();
  return ended;
}

std::string frmMain::PutBack(bool& active) {
  ISession& session = services_.session;
  session.EnableEUDC(0);
  std::string problem = SwitchBack(active);
  session.EnableEUDC(1);
  return problem;
}

// --- putting back what an earlier copy left switched ---

bool frmMain::RecoverEudcSettings() {
  const JournalReading reading = journal_.Read();
  if (reading.state == JournalState::Absent) return false;
  if (reading.state == JournalState::Unreadable) {
    // Never a guess: the record stays for whoever can read it.
    Box(messages::JournalUnreadable(reading.error ? ErrorText(reading.error) : ""), kProblemStyle);
    return false;
  }
  const JournalRecord& record = reading.record;
  eudc_.Adopt(record);
  eudc_.KeepJournal();  // Windows deletes the RunOnce value before it runs it
  for (const ProcessIdentity& program : record.programs) {
    if (UniqueKernelHandle running = OpenRunningProcess(services_.processes, program)) {
      takenOver_.push_back(std::move(running));
    }
  }
  if (!takenOver_.empty()) {
    ShowActiveFont(true);
    return true;
  }
  // Back already: the copy ended between its restore and the journal's removal.
  const bool nothingToDo = eudc_.AlreadyRestored();
  std::optional<std::u16string> current;
  if (nothingToDo || (!eudc_.HoldsWhatWasWritten(&current) &&
                      Box(messages::RecoverQuestion(current, record.writtenPath),
                          kRecoverQuestionStyle) == kIdNo)) {
    eudc_.DropJournal();
    eudc_.Release();
    return false;
  }
  bool active = true;
  const std::string problem = PutBack(active);
  ShowActiveFont(active);
  if (problem.empty()) {
    Box(messages::Recovered(record.values), kReportStyle);
  } else {
    Tell(problem);
  }
  return false;
}

void frmMain::TakeOverWait() {
  window_.SetWindowState(WindowState::Minimized);
  window_.SetEnabled(Control::cmdExecSoft, false);
  ++launchesUnderWay_;
  EndLaunch(WaitForTakenOverPrograms());
}

std::string frmMain::FirstNormalFile(std::string_view extension, std::string_view skipName) {
  IFileSystem& files = services_.files;
  FindDataW data;
  const std::string pattern = strAppDir + "*" + std::string(extension);
  UniqueFindHandle search(files.FindFirstFileW(Utf8ToUtf16(pattern).c_str(), &data),
                          FindHandleTraits{&files});
  if (!search) return {};
  do {
    const std::string name = Utf16ToUtf8(data.cFileName);
    // On volumes with 8.3 names the pattern matches short names too:
    // "Tavrel.exe_old" is found by "*.exe" as TAVREL~1.EXE. Its long name,
    // which the search reports, decides, as for a drop.
    if (IsNormalFile(data.dwFileAttributes) && LastFourLowered(name) == extension &&
        !EqualIgnoringCase(name, skipName)) {
      return name;
    }
  } while (files.FindNextFileW(search.get(), &data));
  return {};
}

std::string frmMain::StoredName(std::string_view path) {
  IFileSystem& files = services_.files;
  FindDataW data;
  UniqueFindHandle search(files.FindFirstFileW(Utf8ToUtf16(path).c_str(), &data),
                          FindHandleTraits{&files});
  if (!search || !IsNormalFile(data.dwFileAttributes)) return {};
  return Utf16ToUtf8(data.cFileName);
}

int frmMain::LoadProgramIcons(std::string_view directory, std::string_view fileName) {
  IShell& shell = services_.shell;
  const std::u16string path = Utf8ToUtf16(std::string(directory) + std::string(fileName));
  const Hinstance instance = services_.session.ModuleInstance();
  // Index -1 asks for the number of icons, handed back in the handle.
  const auto count = static_cast<int>(reinterpret_cast<std::intptr_t>(
      shell.ExtractIconW(instance, path.c_str(), static_cast<UINT>(-1))));
  if (count < 1) return 0;
  lngIconHandles.clear();
  for (int i = 0; i < count; ++i) {
    lngIconHandles.emplace_back(shell.ExtractIconW(instance, path.c_str(), static_cast<UINT>(i)),
                                IconTraits{&shell});
  }
  return count;
}

// Registers the program: its path in the box and its first icon on the button.
void frmMain::ShowProgram(std::string_view directory, std::string_view fileName) {
  const int count = LoadProgramIcons(directory, fileName);
  strSoftPath = std::string(directory) + std::string(fileName);
  if (count >= 1 && lngIconHandles.front()) {
    window_.ShowIconOnLaunchButton(lngIconHandles.front().get());
  }
  window_.SetCaption(Label1(0), strSoftPath);
}

void frmMain::FocusFirstReachableControl() {
  for (Control c : FocusOrder()) {
    if (window_.IsEnabled(c)) {
      window_.SetFocus(c);
      return;
    }
  }
}

// --- switching the EUDC font ---

bool frmMain::Command1_Click(std::int16_t Index) {
  const bool userFontActive = window_.IsEnabled(Command1(1));
  ShowActiveFont(Index == 0);
  ISession& session = services_.session;
  session.EnableEUDC(0);
  bool active = Index == 0;
  const std::string problem =
      Index == 0 ? SwitchToUserFont(userFontActive, active) : SwitchBack(active);
  session.EnableEUDC(1);
  ShowActiveFont(active);
  if (!problem.empty()) Tell(problem);
  return problem.empty();
}

void frmMain::ShowActiveFont(bool userFont) {
  window_.SetEnabled(Command1(userFont ? 1 : 0), true);
  window_.SetEnabled(Command1(userFont ? 0 : 1), false);
}

std::string frmMain::SwitchToUserFont(bool userFontActive, bool& active) {
  // A switch while the user font is active records nothing new: the record
  // from before the first switch is the one to bring back.
  SwitchStatus status;
  if (!userFontActive || !eudc_.HasRecord()) {
    status = eudc_.SaveAndClearEudcSettings(strEudcFile);
    if (!status.ok()) {
      active = userFontActive;  // nothing changed
      return messages::SwitchFailed(status, ErrorText(status.error), false);
    }
  }
  status = eudc_.SetSystemFont(strEudcFile);
  if (status.ok()) return {};
  // Another launch's font stays for its program; a fresh switch goes back.
  active = userFontActive;
  std::string restoreProblem;
  if (!userFontActive) restoreProblem = SwitchBack(active);
  std::string problem = messages::SwitchFailed(status, ErrorText(status.error),
                                               !userFontActive && restoreProblem.empty());
  if (!restoreProblem.empty()) problem += "\r\n\r\n" + restoreProblem;
  return problem;
}

std::string frmMain::SwitchBack(bool& active) {
  const RestoreStatus restored = eudc_.RestoreEudcSettings();
  if (restored.complete()) {
    active = false;
    eudc_.DropJournal();  // after the restore: until then it is the only record
    return {};
  }
  // Values still switched: the user font counts as active, so that the way
  // out tries the restore again, and so do the next start and logon.
  active = true;
  eudc_.KeepJournal();
  std::vector<std::pair<std::u16string, std::string>> failed;
  for (const auto& [name, error] : restored.failed) failed.emplace_back(name, ErrorText(error));
  return messages::RestoreFailed(failed);
}

std::string frmMain::ErrorText(DWORD error) {
  return messages::ErrorText(services_.session.FormatMessageW(error), error);
}

int frmMain::Box(std::string_view text, UINT style) {
  if (!windowShown_) return services_.session.MessageBoxW(nullptr, text, kApplicationTitle, style);
  // A box owned by a minimised window would stay out of sight.
  window_.SetWindowState(WindowState::Normal);
  return window_.MsgBox(text, style, kApplicationTitle);
}

void frmMain::Tell(std::string_view text) {
  // While Windows ends the session a box could be cut short; what could not
  // be put back stays in the journal for the next logon.
  if (sessionEnding_) return;
  Box(text, kProblemStyle);
}

// --- the launch and the way out ---

void frmMain::cmdExecSoft_Click() {
  if (!FontFileIsUsable()) return;
  window_.SetWindowState(WindowState::Minimized);
  window_.SetEnabled(Control::cmdExecSoft, false);
  ++launchesUnderWay_;
  if (!Command1_Click(0)) {  // nothing switched, nothing to launch; the user was told
    --launchesUnderWay_;
    window_.SetEnabled(Control::cmdExecSoft, true);
    window_.SetWindowState(WindowState::Normal);
    return;
  }
  cExecute launcher(services_.shell, services_.files, services_.processes, services_.events);
  launcher.OnStarted([this](Handle process) { JournalProgram(process); });
  const bool ended = launcher.ShellX(strSoftPath, kSwShowNormal, window_.Handle(), true);
  if (launcher.Started()) {
    EndLaunch(ended);
    return;
  }
  // Nothing started: the settings go back at once, unless an earlier launch's
  // program still runs with the font.
  const bool outerRuns = launchesUnderWay_ > 1;
  const bool settingsBack = !outerRuns && Command1_Click(1);
  --launchesUnderWay_;
  window_.SetEnabled(Control::cmdExecSoft, true);
  window_.SetWindowState(WindowState::Normal);
  Tell(messages::NotStarted(strSoftPath, ErrorText(launcher.LastError()), outerRuns, settingsBack));
  if (window_.IsChecked(Control::chkExit)) RequestClose(UnloadMode::FormCode);
}

void frmMain::EndLaunch(bool ended) {
  // A launch started inside another's wait leaves the font to the outer one,
  // whose program still runs.
  if (ended && launchesUnderWay_ == 1) Command1_Click(1);
  --launchesUnderWay_;
  window_.SetEnabled(Control::cmdExecSoft, Launchable());
  if (window_.IsChecked(Control::chkExit)) RequestClose(UnloadMode::FormCode);
  window_.SetWindowState(WindowState::Normal);
}

bool frmMain::FontFileIsUsable() {
  IFileSystem& files = services_.files;
  UniqueFileHandle file(
      files.CreateFileW(Utf8ToUtf16(strEudcFile).c_str(), kGenericRead,
                        kFileShareRead | kFileShareWrite | kFileShareDelete, kOpenExisting),
      FileHandleTraits{&files});
  BYTE head[4] = {};
  DWORD read = 0;
  if (!file || !files.ReadFile(file.get(), head, sizeof head, &read)) {
    const DWORD error = files.GetLastError();
    const bool missing = error == kErrorFileNotFound || error == kErrorPathNotFound;
    Tell(missing ? messages::FontMissing(strEudcFile, ErrorText(error))
                 : messages::FontUnreadable(strEudcFile, ErrorText(error)));
    return false;
  }
  if (read < sizeof head || !BeginsLikeAFont(head)) {
    Tell(messages::NotAFont(strEudcFile));
    return false;
  }
  return true;
}

void frmMain::JournalProgram(Handle process) {
  // Should this fail, the launch goes on as before: only a later recovery
  // would put the settings back without waiting for this program.
  if (const std::optional<ProcessIdentity> identity = IdentityOf(services_.processes, process)) {
    eudc_.AddProgram(*identity);
  }
}

void frmMain::cmdEnd_Click() { RequestClose(UnloadMode::FormCode); }

void frmMain::RequestClose(UnloadMode mode) {
  bool cancel = false;
  Form_QueryUnload(cancel, mode);
  if (cancel) return;
  Form_Unload(cancel);
}

void frmMain::Form_QueryUnload(bool& Cancel, UnloadMode mode) {
  if (mode == UnloadMode::AppWindows) sessionEnding_ = true;
  // When Windows ends the session nothing is asked: a box shown then can be
  // cut short, and Tavrel killed with the user font still in place.
  if (mode == UnloadMode::AppWindows || launchesUnderWay_ == 0) return;
  if (window_.MsgBox(kCloseQuestion, kCloseQuestionStyle, kApplicationTitle) == kIdNo) {
    Cancel = true;
  }
}

void frmMain::Form_Unload(bool&) {
  if (window_.IsEnabled(Command1(1))) Command1_Click(1);
  eudc_.Release();
  // At once: a launch waiting further down the call chain never resumes.
  services_.session.EndProcess(0);
}

// --- drag and drop ---

void frmMain::Label1_OLEDragOver(std::int16_t Index, const DropData& Data, DWORD& Effect) {
  Effect = kDropEffectNone;
  if (Data.count != 1) return;
  const std::string extension = LastFourLowered(Data.first);
  if ((Index == 0 && extension == kProgramExtension) ||
      (Index == 1 && extension == kFontExtension)) {
    Effect = kDropEffectCopy;
  }
}

void frmMain::Label1_OLEDragDrop(std::int16_t Index, const DropData& Data) {
  if (Index == 0) {
    RegisterProgram(Data.first);
  } else if (Index == 1) {
    RegisterFont(Data.first);
  }
}

void frmMain::RegisterProgram(const std::string& path) {
  const std::string fileName = StoredName(path);
  // The folder is the path up to its last backslash: a short (8.3) path has a
  // longer long name, so its length says nothing of the folder.
  const std::string directory = fileName.empty() ? path : DirectoryOf(path);
  ShowProgram(directory, fileName);
  if (!strEudcFile.empty()) window_.SetEnabled(Control::cmdExecSoft, true);
}

// The path exactly as given: no look-up.
void frmMain::RegisterFont(const std::string& path) {
  strEudcFile = path;
  window_.SetCaption(Label1(1), strEudcFile);
  if (!strSoftPath.empty()) window_.SetEnabled(Control::cmdExecSoft, true);
}

// --- the link line ---

void frmMain::Label1_MouseMove(std::int16_t Index, float x, float y) {
  const bool hot = Index == 3 && x > kHotLeft && x < kHotRight && y > kHotTop && y < kHotBottom;
  window_.SetTextColour(Label1(3), hot ? kLinkHot : kLinkNormal);
}

void frmMain::Frame1_MouseMove() { window_.SetTextColour(Label1(3), kLinkNormal); }

void frmMain::Form_MouseMove() { window_.SetTextColour(Label1(3), kLinkNormal); }

void frmMain::Label1_Click(std::int16_t Index) {
  if (Index != 3) return;
  cExecute(services_.shell, services_.files, services_.processes, services_.events)
      .ShellX(kHomePageUrl, kSwShowNormal, window_.Handle(), false);
}

}  // namespace tavrel
