#include "app/frm_main.h"

#include "app/file_kind.h"
#include "app/maker.h"
#include "app/version.h"
#include "app/window_search.h"
#include "eudc/registry_helpers.h"
#include "launch/cexecute.h"
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

}  // namespace

frmMain::frmMain(Services& services, IFormWindow& window)
    : services_(services), window_(window), eudc_(services.registry, services.files) {}

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
  const bool bothKnown = !strEudcFile.empty() && !strSoftPath.empty();
  if (!bothKnown) window_.SetEnabled(Control::cmdExecSoft, false);
  window_.Show();
  FocusFirstReachableControl();
  // From the message loop, once the window is on the screen: the launch then
  // runs exactly as from a click, and minimises a window the user has seen.
  if (commandLine.run && bothKnown) window_.PostClick(Control::cmdExecSoft);
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
  const std::string path = Utf8ToAnsi(std::string(directory) + std::string(fileName));
  const Hinstance instance = services_.session.ModuleInstance();
  // Index -1 asks for the number of icons, handed back in the handle.
  const auto count = static_cast<int>(reinterpret_cast<std::intptr_t>(
      shell.ExtractIconA(instance, path.c_str(), static_cast<UINT>(-1))));
  if (count < 1) return 0;
  lngIconHandles.clear();
  for (int i = 0; i < count; ++i) {
    lngIconHandles.emplace_back(shell.ExtractIconA(instance, path.c_str(), static_cast<UINT>(i)),
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

void frmMain::Command1_Click(std::int16_t Index) {
  const bool userFontActive = window_.IsEnabled(Command1(1));
  window_.SetEnabled(Command1(1 - Index), true);
  window_.SetEnabled(Command1(Index), false);
  ISession& session = services_.session;
  session.EnableEUDC(0);
  if (Index == 0) {
    // A switch while the user font is active records nothing new: the record
    // from before the first switch is the one to bring back.
    if (!userFontActive || !eudc_.HasRecord()) eudc_.SaveAndClearEudcSettings();
    eudc_.SetSystemFont(strEudcFile);
  } else if (!eudc_.RestoreEudcSettings()) {
    // Values still switched: the user font counts as active, so that the way
    // out tries the restore again.
    window_.SetEnabled(Command1(1), true);
    window_.SetEnabled(Command1(0), false);
  }
  session.EnableEUDC(1);
}

// --- the launch and the way out ---

void frmMain::cmdExecSoft_Click() {
  window_.SetWindowState(WindowState::Minimized);
  window_.SetEnabled(Control::cmdExecSoft, false);
  ++launchesUnderWay_;
  Command1_Click(0);
  const bool started =
      cExecute(services_.shell, services_.files, services_.processes, services_.events)
          .ShellX(strSoftPath, kSwShowNormal, window_.Handle(), true);
  // A launch started inside another's wait leaves the font to the outer one,
  // whose program still runs.
  if (started && launchesUnderWay_ == 1) Command1_Click(1);
  --launchesUnderWay_;
  window_.SetEnabled(Control::cmdExecSoft, true);
  if (window_.IsChecked(Control::chkExit)) RequestClose(UnloadMode::FormCode);
  window_.SetWindowState(WindowState::Normal);
}

void frmMain::cmdEnd_Click() { RequestClose(UnloadMode::FormCode); }

void frmMain::RequestClose(UnloadMode mode) {
  bool cancel = false;
  Form_QueryUnload(cancel, mode);
  if (cancel) return;
  Form_Unload(cancel);
}

void frmMain::Form_QueryUnload(bool& Cancel, UnloadMode mode) {
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
