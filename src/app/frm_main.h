// frmMain: the main window's event handlers and the state of the flow they
// drive — start-up, registering files by drag and drop, the launch and its
// wait, the way out, the link line. The Win32 window forwards its events here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/form_window.h"
#include "app/services.h"
#include "eudc/eudc_switch.h"
#include "eudc/journal.h"

namespace tavrel {

// Why the window is asked to close.
enum class UnloadMode {
  FormControlMenu = 0,  // the close box or the system menu
  FormCode = 1,         // cmdEnd, or the launch sequence itself
  AppWindows = 2,       // Windows is ending the session
};

// What a drag carries: the number of files and the first one's full path.
struct DropData {
  std::size_t count = 0;
  std::string first;  // UTF-8
};

class frmMain {
 public:
  frmMain(Services& services, IFormWindow& window);

  // Before the window exists: refuses a second copy (and ends the process),
  // otherwise sets the caption with the version.
  void Form_Initialize();
  // Registers the program and the font file of the command line as drops
  // would, finds what it leaves open beside the executable, fills the boxes,
  // puts back what an earlier copy left switched (see RecoverEudcSettings),
  // shows the window; /exit ticks chkExit, /run then queues a launch. An
  // argument not taken is told in a message box, and the start goes on as
  // without arguments.
  void Form_Load(const CommandLine& commandLine = {});
  // tavrel.exe /restore, as the RunOnce value runs it at logon: the recovery
  // without the main window, then the end of the process (it never returns).
  // Does nothing while another copy runs.
  void RestoreAtLogon();

  void cmdExecSoft_Click();
  void cmdEnd_Click();
  // True when the switch asked for is complete; otherwise the user has been
  // told, and the buttons show the font that is active.
  bool Command1_Click(std::int16_t Index);

  // Every request to close: the question while a launch is under way, then the
  // switch back and the end of the process. Returns only when cancelled.
  void RequestClose(UnloadMode mode);
  void Form_QueryUnload(bool& Cancel, UnloadMode mode);
  void Form_Unload(bool& Cancel);

  void Label1_OLEDragOver(std::int16_t Index, const DropData& Data, DWORD& Effect);
  void Label1_OLEDragDrop(std::int16_t Index, const DropData& Data);

  void Label1_MouseMove(std::int16_t Index, float x, float y);
  void Frame1_MouseMove();
  void Form_MouseMove();
  void Label1_Click(std::int16_t Index);

  // Loads every icon of directory + fileName into lngIconHandles; the count.
  int LoadProgramIcons(std::string_view directory, std::string_view fileName);

  const std::string& AppDir() const { return strAppDir; }
  const std::string& SoftPath() const { return strSoftPath; }
  const std::string& EudcFile() const { return strEudcFile; }
  const std::string& CurrentEudcFont() const { return strCurrentEudcFont; }
  std::size_t IconCount() const { return lngIconHandles.size(); }
  const EudcSwitch& Eudc() const { return eudc_; }
  int LaunchesUnderWay() const { return launchesUnderWay_; }

 private:
  void RefuseSecondCopy();  // ends the process
  void BindJournal(std::string_view exePath);
  // Acts on a journal left by a copy that ended before its restore: true when
  // a program it names still runs and its wait is taken over.
  bool RecoverEudcSettings();
  void TakeOverWait();
  // False when a wait failed: that program's end is unknown.
  bool WaitForTakenOverPrograms();
  bool FontFileIsUsable();
  void JournalProgram(Handle process);
  std::string SwitchToUserFont(bool userFontActive, bool& active);
  // Puts the recorded values back; the journal goes once all are written.
  std::string SwitchBack(bool& active);
  // SwitchBack between the EUDC font's release and reload.
  std::string PutBack(bool& active);
  // The end of a launch: the settings back (when its end was seen and no
  // other launch waits), the button, chkExit, the window.
  void EndLaunch(bool ended);
  void ShowActiveFont(bool userFont);
  bool Launchable() const { return !strEudcFile.empty() && !strSoftPath.empty(); }
  std::string ErrorText(DWORD error);
  // A message box titled "Tavrel": owned by the window once it is shown,
  // brought back to its normal size first.
  int Box(std::string_view text, UINT style);
  void Tell(std::string_view text);
  // The first normal file of the application folder whose name ends in
  // `extension`, other than `skipName`; empty when there is none.
  std::string FirstNormalFile(std::string_view extension, std::string_view skipName);
  std::string StoredName(std::string_view path);
  void ShowProgram(std::string_view directory, std::string_view fileName);
  void RegisterProgram(const std::string& path);
  void RegisterFont(const std::string& path);
  void FocusFirstReachableControl();

  Services& services_;
  IFormWindow& window_;
  Journal journal_;
  EudcSwitch eudc_;
  std::vector<UniqueKernelHandle> takenOver_;  // journalled programs whose wait this copy took over
  bool windowShown_ = false;
  bool sessionEnding_ = false;

  std::string strAppDir;
  std::string strCurrentEudcFont;
  std::string strSoftPath;
  std::string strEudcFile;
  std::vector<UniqueIcon> lngIconHandles;
  int launchesUnderWay_ = 0;
};

}  // namespace tavrel
