#include "fakes/run_rig.h"

#include <algorithm>

namespace tavrel::fakes {

void RunRig::Folder(const std::string& folder, const std::vector<std::string>& names) {
  desktop.executablePath = folder + "\\Tavrel.exe";
  files.Add(desktop.executablePath);
  for (const std::string& name : names) {
    if (name.ends_with(".tte")) {
      files.AddFont(folder + "\\" + name);
    } else {
      files.Add(folder + "\\" + name);
    }
  }
  run = MakeRun();
}

void RunRig::Start(const CommandLine& commandLine) {
  if (run->GuardSingleInstance(commandLine)) run->Open(commandLine);
}

void RunRig::StartAgain(const CommandLine& commandLine) {
  run.reset();
  // The boxes shown so far stay on record, as on the desktop.
  view.screen = {};
  view.shows = 0;
  run = MakeRun();
  Start(commandLine);
}

void RunRig::EndProgram(std::size_t index) {
  FakeLauncher::Process& process = launcher.Started(index);
  launcher.End(process);
  run->ProgramEnded(process.signal);
}

void RunRig::EndProcess(FakeLauncher::Process& process) {
  launcher.End(process);
  const std::vector<WaitHandle> waited = run->WaitHandles();
  if (std::find(waited.begin(), waited.end(), process.signal) != waited.end()) {
    run->ProgramEnded(process.signal);
  }
}

std::vector<std::string> RunRig::BoxTexts() const {
  std::vector<std::string> texts;
  for (const FakeView::Shown& shown : view.shown) texts.push_back(shown.box.text);
  return texts;
}

}  // namespace tavrel::fakes
