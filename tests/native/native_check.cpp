// The native check: drives the real tavrel.exe through its main use on the
// machine it runs on, and reads the real registry after each step.
//
//   tavrel_native_check [--tavrel FILE] [--program FILE] [--font FILE]
//
// By default the three files are tavrel.exe, eudcview.exe (the sample
// program) and sample.tte (the sample font) beside the check. They are copied
// into a folder of their own under %TEMP%, deleted at the end.
//
// Each case is one row of kCases and prints one line; the last line counts
// them: "N passed, N failed, N skipped". The exit code is 0 when none failed.
//
// Before the first case it keeps HKCU\EUDC\<code page>, another code page's
// key, HKCU\Software\Tavrel and the RunOnce value !Tavrel, and puts them back
// at the end whatever happened, so that it is safe to run on one's own
// Windows. It refuses to start while a Tavrel window is open.
//
// Started by Tavrel as "launcher.exe --launcher EVENT" it is a launcher: it
// starts eudcview.exe beside itself and ends once the named event is set.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "native/glyph.h"
#include "native/processes.h"
#include "native/registry_snapshot.h"

// gdi32 exports EnableEUDC, but the SDK headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI EnableEUDC(BOOL fEnableEUDC);

namespace tavrel::native {
namespace {

constexpr DWORD kPatience = 30000;     // ms for anything Tavrel does (Wine starts slowly)
constexpr DWORD kSettleMs = 1500;      // ms given to a wrong restore to show itself
constexpr wchar_t kFontValue[] = L"SystemDefaultEUDCFont";
constexpr wchar_t kUserCharacter = L'\uE000';
constexpr wchar_t kSampleFace[] = L"Tavrel Sample EUDC";  // the family of scripts/gen/make_sample_tte.py
constexpr wchar_t kSystemFace[] = L"Arial";  // on every Windows, with no glyph of its own at U+E000

// Once the registry is back, the session's EUDC fonts are released and read
// again from it, as Tavrel does, so that the machine draws as it did before.
struct EudcReloadAtEnd {
  EudcReloadAtEnd() = default;
  ~EudcReloadAtEnd() {
    EnableEUDC(FALSE);
    EnableEUDC(TRUE);
  }
  EudcReloadAtEnd(const EudcReloadAtEnd&) = delete;
  EudcReloadAtEnd& operator=(const EudcReloadAtEnd&) = delete;
};

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct NotRun : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Require(bool holds, const char* what) {
  if (!holds) throw Failure(what);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

// A folder of its own under %TEMP%, by its long name (GetTempPathW may give
// an 8.3 one), holding copies of what the cases start; deleted with all in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetLongPathNameW(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)).c_str(), temp, MAX_PATH + 1);
    path_ = std::wstring(temp) + L"tavrel-native-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
      DeleteFileW((path_ + found.cFileName).c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::wstring Take(const std::wstring& source, const wchar_t* name) const {
    const std::wstring copy = path_ + name;
    return CopyFileW(source.c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// What the sample program reports when it starts (EUDCVIEW_REPORT).
struct ViewerReport {
  std::wstring font;  // the SystemDefaultEUDCFont it read
  DWORD pid = 0;
};

std::optional<ViewerReport> ReadReport(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) return std::nullopt;
  ViewerReport report;
  for (std::string line; std::getline(file, line);) {
    if (line.starts_with("font=")) report.font = Wide(line.substr(5));
    if (line.starts_with("pid=")) report.pid = std::stoul(line.substr(4));
  }
  return report;
}

std::wstring TextOf(const std::optional<RegValue>& value) {
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
  const std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()), value->data.size() / sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

RegValue TextValue(const wchar_t* name, const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return {name, REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

std::optional<std::string> WineVersion() {
  using GetVersion = const char*(CDECL*)();
  const auto get = reinterpret_cast<GetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  if (!get) return std::nullopt;
  return std::string(get());
}

// Everything a case works with. Each case starts from the same registry:
// the code page's key holding one ordinary setting, another code page's key
// holding another, no journal and no RunOnce value.
struct Machine {
  std::wstring eudc_key;   // HKCU\EUDC\<ANSI code page>, the one Tavrel switches
  std::wstring other_key;  // another code page's key, never to be touched
  KeyTree ordinary, other;
  std::wstring tavrel, program, font, launcher;  // the copies in the scratch folder
  const ScratchFolder& folder;
  Processes& processes;
  bool wine = false;
  int serial = 0;  // numbers the report files and events of the cases
};

void StartFromOrdinary(Machine& m) {
  Require(WriteKeyTree(m.eudc_key, m.ordinary) && WriteKeyTree(m.other_key, m.other) &&
              DeleteKeyTree(kTavrelKey) && PutValue(kRunOnceKey, kRunOnceValue, std::nullopt),
          "the registry could not be prepared");
}

bool Switched(const Machine& m) {
  return _wcsicmp(TextOf(ReadValue(m.eudc_key, kFontValue)).c_str(), m.font.c_str()) == 0 &&
         ReadKeyTree(kJournalKey).exists && ReadValue(kRunOnceKey, kRunOnceValue).has_value();
}

bool Back(const Machine& m) {
  return ReadKeyTree(m.eudc_key) == m.ordinary && !ReadKeyTree(kTavrelKey).exists &&
         !ReadValue(kRunOnceKey, kRunOnceValue).has_value();
}

// Tavrel started as a shortcut starts it: /run /exit, the program, the font and
// its arguments. Returns Tavrel's id and what the program reported.
std::pair<DWORD, ViewerReport> StartRun(Machine& m, const std::wstring& program, const std::wstring& arguments = {}) {
  const std::wstring report = m.folder.path() + L"report-" + std::to_wstring(++m.serial) + L".txt";
  SetEnvironmentVariableW(L"EUDCVIEW_REPORT", report.c_str());  // Tavrel passes its environment on
  const std::wstring line = Quoted(m.tavrel) + L" /run /exit " + Quoted(program) + L" " + Quoted(m.font) +
                            (arguments.empty() ? L"" : L" -- " + arguments);
  const DWORD tavrel = m.processes.Start(m.folder.path(), line);
  Require(tavrel != 0, "tavrel.exe could not be started");
  std::optional<ViewerReport> seen;
  Require(WaitUntil([&] { return (seen = ReadReport(report)) && seen->pid != 0; }, kPatience),
          "the sample program did not start");
  m.processes.Adopt(seen->pid);
  return {tavrel, *seen};
}

void CloseViewer(Machine& m, DWORD pid) {
  Require(WaitUntil([&] { return Processes::CloseWindows(pid); }, kPatience), "the sample program shows no window");
  Require(m.processes.WaitEnded(pid, kPatience), "the sample program did not end when closed");
}

void ExpectBackAndEnded(Machine& m, DWORD tavrel) {
  Require(m.processes.WaitEnded(tavrel, kPatience), "Tavrel (/exit) did not end after the program");
  Require(WaitUntil([&] { return Back(m); }, kPatience),
          "the key, the journal or the RunOnce value not back as before once the program ended");
}

void RunAndExit(Machine& m) {
  const auto [tavrel, viewer] = StartRun(m, m.program);
  Require(_wcsicmp(viewer.font.c_str(), m.font.c_str()) == 0, "the program did not see the sample font at its start");
  Require(Switched(m), "the key is not switched, or no journal or RunOnce value, while the program runs");
  CloseViewer(m, viewer.pid);
  ExpectBackAndEnded(m, tavrel);
}

void OnlyTheCodePagesKey(Machine& m) {
  const auto [tavrel, viewer] = StartRun(m, m.program);
  Require(Switched(m), "the code page's key is not switched while the program runs");
  Require(ReadKeyTree(m.other_key) == m.other, "another code page's key changed");
  CloseViewer(m, viewer.pid);
  ExpectBackAndEnded(m, tavrel);
  Require(ReadKeyTree(m.other_key) == m.other, "another code page's key changed");
}

// The launcher (this program, copied as launcher.exe) holds on until the
// event is set; its child is the sample program.
struct LauncherRun {
  DWORD tavrel = 0, launcher = 0;
  ViewerReport child;
  UniqueWin32Handle release;
};

LauncherRun StartLauncher(Machine& m) {
  const std::wstring event = L"Local\\TavrelNativeCheck-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(m.serial + 1);
  LauncherRun run;
  run.release.reset(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
  Require(run.release != nullptr, "the launcher's event could not be made");
  std::tie(run.tavrel, run.child) = StartRun(m, m.launcher, L"--launcher " + event);
  const std::optional<DWORD> parent = ParentOf(run.child.pid);
  Require(parent && m.processes.Adopt(*parent), "the launcher is not running beside its child");
  run.launcher = *parent;
  return run;
}

void EndLauncher(Machine& m, const LauncherRun& run) {
  SetEvent(run.release.get());
  Require(m.processes.WaitEnded(run.launcher, kPatience), "the launcher did not end");
}

void LauncherChildOutlivesIt(Machine& m) {
  const LauncherRun run = StartLauncher(m);
  EndLauncher(m, run);
  Sleep(kSettleMs);
  Require(m.processes.Running(run.tavrel), "Tavrel ended with the launcher");
  Require(Switched(m), "the font went back with the launcher while its child runs");
  CloseViewer(m, run.child.pid);
  ExpectBackAndEnded(m, run.tavrel);
}

void KilledWhileALauncherRuns(Machine& m) {
  const LauncherRun run = StartLauncher(m);
  m.processes.Kill(run.tavrel);
  Require(Switched(m), "the key changed when Tavrel was killed");
  EndLauncher(m, run);
  const DWORD again = m.processes.Start(m.folder.path(), Quoted(m.tavrel));
  Require(again != 0, "tavrel.exe could not be started again");
  Sleep(kSettleMs);
  Require(m.processes.Running(again), "the next Tavrel ended while the launcher's child runs");
  Require(Switched(m), "the next start put the font back while the launcher's child runs");
  CloseViewer(m, run.child.pid);
  Require(WaitUntil([&] { return Back(m); }, kPatience), "the next Tavrel did not put all back once the child ended");
  Require(WaitUntil([&] { return Processes::CloseWindows(again); }, kPatience) &&
              m.processes.WaitEnded(again, kPatience),
          "the next Tavrel did not end when its window was closed");
}

// Only Windows draws the user's font: under Wine, EnableEUDC is a stub and no
// glyph ever changes, so there the case stops once the drawings are known to
// tell the sample's glyph from the system font's own, and says it did not run.
void GlyphFollowsTheSwitch(Machine& m) {
  const PrivateFont sample(m.font);
  Require(sample.added(), "the sample font could not be loaded privately");
  const Glyph expected = DrawCharacter(kSampleFace, kUserCharacter);
  Require(LookAlike(expected, expected), "the sample font drew nothing at U+E000");
  Require(!LookAlike(DrawCharacter(kSystemFace, kUserCharacter), expected),
          "U+E000 through Arial already looks like the sample font before the switch");
  if (m.wine) throw NotRun("EnableEUDC does not act under Wine");
  const auto [tavrel, viewer] = StartRun(m, m.program);
  Require(LookAlike(DrawCharacter(kSystemFace, kUserCharacter), expected),
          "U+E000 through Arial is not the sample font's glyph while it is switched in");
  CloseViewer(m, viewer.pid);
  ExpectBackAndEnded(m, tavrel);
  Require(!LookAlike(DrawCharacter(kSystemFace, kUserCharacter), expected),
          "U+E000 through Arial still the sample font's glyph once the font is back");
}

struct Case {
  const char* name;
  void (*run)(Machine&);
};

constexpr Case kCases[] = {
    {"a /run /exit start: the program sees the sample font, all comes back once it ends", RunAndExit},
    {"the key of the machine's code page switches, another code page's key stays", OnlyTheCodePagesKey},
    {"a launcher's child that outlives it keeps the font until it ends", LauncherChildOutlivesIt},
    {"Tavrel killed while a launcher runs, the launcher ended: the next start keeps the font until the child ends",
     KilledWhileALauncherRuns},
    {"the glyph: U+E000 through Arial is the sample font's while switched in, and not once back",
     GlyphFollowsTheSwitch},
};

struct Tally {
  int passed = 0, failed = 0, skipped = 0;
};

void RunCase(const Case& c, Machine& m, Tally& tally) {
  try {
    StartFromOrdinary(m);
    c.run(m);
    ++tally.passed;
    std::printf("passed   %s\n", c.name);
  } catch (const NotRun& reason) {
    ++tally.skipped;
    std::printf("not run  %s (%s)\n", c.name, reason.what());
  } catch (const std::exception& failure) {
    ++tally.failed;
    std::printf("FAILED   %s: %s\n", c.name, failure.what());
  }
  m.processes.EndAll();  // nothing a failed case left running may reach the next
  std::fflush(stdout);
}

struct Sources {
  std::wstring tavrel, program, font;
};

std::optional<Sources> ParseArguments(int argc, wchar_t** argv) {
  const std::wstring beside = FolderOf(OwnPath());
  Sources sources{beside + L"tavrel.exe", beside + L"eudcview.exe", beside + L"sample.tte"};
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring_view name = argv[i];
    std::wstring* target = name == L"--tavrel" ? &sources.tavrel : name == L"--program" ? &sources.program
                           : name == L"--font"  ? &sources.font : nullptr;
    if (!target) return std::nullopt;
    *target = argv[i + 1];
  }
  if (argc % 2 == 0) return std::nullopt;
  return sources;
}

// The child is left to run on: that is what a launcher is.
int RunLauncher(const wchar_t* event_name) {
  const UniqueWin32Handle release(OpenEventW(SYNCHRONIZE, FALSE, event_name));
  std::wstring line = Quoted(FolderOf(OwnPath()) + L"eudcview.exe");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!release || !CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &started)) {
    return 2;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  WaitForSingleObject(release.get(), 5 * 60 * 1000);
  return 0;
}

int RunCases(const Sources& sources) {
  const UINT code_page = GetACP();
  const std::wstring eudc_key = L"EUDC\\" + std::to_wstring(code_page);
  const std::wstring other_key = code_page == 932 ? L"EUDC\\1252" : L"EUDC\\932";
  const std::optional<std::string> wine = WineVersion();
  std::printf("Tavrel's native check on %s%s, code page %u: HKCU\\%s\n", wine ? "Wine " : "Windows",
              wine ? wine->c_str() : "", code_page, Narrow(eudc_key).c_str());
  if (FindWindowW(L"TavrelMainWindow", nullptr)) {
    std::printf("Tavrel is running here: close it first, then run the check again.\n");
    return 2;
  }
  // Ctrl+C would end the check before the registry is put back: it is ignored.
  SetConsoleCtrlHandler(nullptr, TRUE);
  const EudcReloadAtEnd reload;
  const TavrelRegistryBackup backup({eudc_key, other_key, kTavrelKey});
  const ScratchFolder folder;
  Processes processes;  // ended before the folder is deleted and the registry put back
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  Machine m{eudc_key, other_key,
            KeyTree{true, {TextValue(kFontValue, std::wstring(windows) + L"\\EUDC.TTE")}, {}},
            KeyTree{true, {TextValue(kFontValue, L"C:\\Fonts\\other.tte")}, {}},
            folder.Take(sources.tavrel, L"tavrel.exe"), folder.Take(sources.program, L"eudcview.exe"),
            folder.Take(sources.font, L"sample.tte"), folder.Take(OwnPath(), L"launcher.exe"),
            folder, processes, wine.has_value()};
  if (m.tavrel.empty() || m.program.empty() || m.font.empty() || m.launcher.empty()) {
    std::printf("tavrel.exe, eudcview.exe or sample.tte not found (see --help)\n");
    return 2;
  }
  Tally tally;
  for (const Case& c : kCases) RunCase(c, m, tally);
  std::printf("%d passed, %d failed, %d skipped\n", tally.passed, tally.failed, tally.skipped);
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tavrel::native

int wmain(int argc, wchar_t** argv) {
  using namespace tavrel::native;
  if (argc == 3 && std::wstring_view(argv[1]) == L"--launcher") return RunLauncher(argv[2]);
  const std::optional<Sources> sources = ParseArguments(argc, argv);
  if (!sources) {
    std::printf("usage: tavrel_native_check [--tavrel FILE] [--program FILE] [--font FILE]\n"
                "(by default tavrel.exe, eudcview.exe and sample.tte beside the check)\n");
    return 2;
  }
  return RunCases(*sources);
}
