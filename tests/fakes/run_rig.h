// A Run over a complete set of fakes, with a folder of Tavrel's laid out and
// the loop's part played by the test: programs end when the test says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "run/run.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {

struct RunRig {
  FakeEudcKey key;
  FakeJournalStore store;
  FakeLauncher launcher;
  FakeDesktop desktop;
  FakeFiles files;
  FakeSettings settings;
  FakeShortcuts shortcuts{files};
  FakeView view;
  std::unique_ptr<Run> run = MakeRun();

  // Tavrel in `folder` beside these files (".exe", ".tte" or other names).
  void Folder(const std::string& folder, const std::vector<std::string>& names);
  // The guard, then the window's start, as tavrel.exe runs them.
  void Start(const CommandLine& commandLine = {});
  // Tavrel started again later on the same machine: a new run over the same
  // registry, files and processes.
  void StartAgain(const CommandLine& commandLine = {});
  std::unique_ptr<Run> MakeRun() {
    return std::make_unique<Run>(Seams{key, store, launcher, desktop, files, settings, shortcuts}, view);
  }

  // The loop sees the index-th started program end.
  void EndProgram(std::size_t index);
  // Any process ends; the loop sees it only while the run waits on it.
  void EndProcess(FakeLauncher::Process& process);
  std::vector<std::string> BoxTexts() const;
};

}  // namespace tavrel::fakes
