#include "fakes/form_rig.h"

namespace tavrel::fakes {

void FormRig::Folder(const std::string& exePath, const std::vector<std::string>& names) {
  session.modulePath = exePath;
  files.AddFile(exePath);
  const std::string dir = exePath.substr(0, exePath.rfind('\\') + 1);
  files.SetSearchPath({dir.substr(0, dir.size() - 1), "C:\\WINDOWS\\system32", "C:\\WINDOWS"});
  for (const auto& name : names) {
    if (name.ends_with(".exe")) {
      Program(dir + name);
    } else if (name.ends_with(".tte")) {
      files.AddFont(dir + name);
    } else {
      files.AddFile(dir + name);
    }
  }
}

void FormRig::Program(const std::string& path, int icons) {
  files.AddFile(path);
  shell.SetIconCount(path, icons);
}

std::vector<MessageBoxShown> FormRig::Boxes() const {
  std::vector<MessageBoxShown> all = session.boxes;
  all.insert(all.end(), window.boxes.begin(), window.boxes.end());
  return all;
}

void FormRig::Start() {
  form.Form_Initialize();
  form.Form_Load();
}

}  // namespace tavrel::fakes
