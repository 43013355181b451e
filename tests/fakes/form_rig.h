// frmMain wired to a complete set of fakes, with helpers to lay out the
// application folder and to look at the EUDC key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_form_window.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_profile.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_session.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_variant.h"
#include "fakes/fake_window_tree.h"

namespace tavrel::fakes {

inline constexpr const char* kEudc = "EUDC\\932";
inline constexpr const char* kSystemFont = "SystemDefaultEUDCFont";
inline constexpr const char* kJournal = "Software\\Tavrel\\Journal";
inline constexpr const char* kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

struct FormRig {
  FakeRegistry registry;
  FakeFileSystem files;
  FakeProcesses processes{files};
  FakeShell shell{files, processes};
  FakeWindowTree windows;
  FakeSession session;
  FakeProfile profile;
  FakeVariantConversions variants;
  Services services{registry, files, shell, processes, processes, windows, session, profile,
                    variants};
  FakeFormWindow window;
  frmMain form{services, window};

  // Tavrel at `exePath`; the program and font file beside it.
  void Folder(const std::string& exePath, const std::vector<std::string>& files_ = {});
  void Program(const std::string& path, int icons = 1);
  // Form_Initialize then Form_Load, as the window's creation runs them.
  void Start();
  // Every value of the EUDC key: (name, type, bytes).
  std::vector<FakeRegistry::Value> Key() const { return registry.Values(kEudc); }
  std::string SystemFont() const { return registry.GetText(kEudc, kSystemFont).value_or("<none>"); }
  bool UserFontActive() const { return window.IsEnabled(Control::Command1_1); }
  bool JournalThere() const { return registry.KeyExists(kJournal); }
  std::optional<std::string> RunOnce() const { return registry.GetText(kRunOnce, "Tavrel"); }
  // Every message box of the run: those without owner, then the window's.
  std::vector<MessageBoxShown> Boxes() const;
};

// Tavrel started again later on the same machine: a new window and form over
// the same registry, files and processes.
struct NextStart {
  explicit NextStart(FormRig& rig) : form(rig.services, window) {}
  void Start() {
    form.Form_Initialize();
    form.Form_Load();
  }
  FakeFormWindow window;
  frmMain form;
};

}  // namespace tavrel::fakes
