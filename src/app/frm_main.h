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
  // shows the window; /exit ticks chkExit, /run then queues a launch. An
  // argument not taken is told in a message box, and the start goes on as
  // without arguments.
  void Form_Load(const CommandLine& commandLine = {});

  void cmdExecSoft_Click();
  void cmdEnd_Click();
  void Command1_Click(std::int16_t Index);

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
  EudcSwitch eudc_;

  std::string strAppDir;
  std::string strCurrentEudcFont;
  std::string strSoftPath;
  std::string strEudcFile;
  std::vector<UniqueIcon> lngIconHandles;
  int launchesUnderWay_ = 0;
};

}  // namespace tavrel
