// Drives the benchmark inside Wine: starts Tavrel and the baselines, measures,
// and prints tab-separated lines for scripts/bench, which turns them into the
// table:
//
//   mark  begin|end  NAME EXE the CPU window of the launcher NAME (started
//                             from EXE) starts or ends now
//   raw   NAME  VALUE...      every sample of one series
//   row   NAME  TAVREL  BASE  one figure beside its baseline
//   phase NAME  MS            one phase of Tavrel's start-up (median), in order
//   skip  NAME  TEXT          the figures NAME could not be taken, and why
//   error TEXT                the run failed (exit code 1)
//
//   bench_driver APP_DIR TOOLS_DIR SAVED_KEY_FILE TRACED_DIR
//   bench_driver --restore SAVED_KEY_FILE
//   bench_driver --load-dlls OUT_FILE DLL...   (its own child: times each load)
//
// APP_DIR holds tavrel.exe, eudcview.exe and sample.tte and nothing else that
// Tavrel would pick up; TOOLS_DIR holds poll_launcher.exe and
// minimal_window.exe; TRACED_DIR the traced build of tavrel.exe beside the
// same two files. HKCU\EUDC\932 as found is kept in SAVED_KEY_FILE until
// the run has put it back; --restore puts it back after a run that was cut
// short.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/win32/wide.h"
#include "base/win32/handles.h"

namespace {

constexpr wchar_t kEudcKey[] = L"EUDC\\932";
constexpr wchar_t kFontValue[] = L"SystemDefaultEUDCFont";
constexpr wchar_t kMainClass[] = L"TavrelMainWindow";
constexpr wchar_t kMinimalClass[] = L"BenchMinimalWindow";
constexpr wchar_t kProgram[] = L"eudcview.exe";
constexpr int kFrameId = 1000;
constexpr int kLaunchButtonId = 1003;

constexpr int kLaunches = 20;
constexpr int kLauncherLaunches = 10;  // through a launcher that starts the program and ends
constexpr int kStarts = 10;
constexpr wchar_t kTraceVariable[] = L"TAVREL_STARTUP_TRACE";
// The program of launch i runs 300 + 5 i ms: the ends spread over the whole
// 100 ms period of the polling baseline (a fixed length locks to its phase).
constexpr int kShortRunMs = 300;
constexpr int kRunStepMs = 5;
constexpr int kLongRunMs = 5000;
// The CPU window lies inside the 5 s wait: it starts once the launch has
// settled and ends before the program does.
constexpr DWORD kCpuSettleMs = 250;
constexpr DWORD kCpuWindowMs = 4500;
// After a window shows, before its peak working set is read.
constexpr DWORD kSettleMs = 300;
// Before each measured start, after the previous program has ended.
constexpr DWORD kQuietMs = 250;
constexpr DWORD kTimeoutMs = 20000;

// --- small tools -------------------------------------------------------------

using UniqueHandle = tavrel::UniqueWin32Handle;
using UniqueKey = tavrel::UniqueWin32Key;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

double TicksPerMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  return ticksPerMs;
}

// The performance counter, which every process of the machine shares.
LONGLONG Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double NowMs() { return static_cast<double>(Counter()) / TicksPerMs(); }

// Polls condition() every stepMs until it holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 5) {
  const double deadline = NowMs() + timeoutMs;
  while (!condition()) {
    if (NowMs() > deadline) return false;
    Sleep(stepMs);
  }
  return true;
}

using tavrel::Narrow;

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Worst(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string Fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

void Raw(const std::string& name, const std::vector<double>& values) {
  std::string line = "raw\t" + name;
  for (double v : values) line += "\t" + Fixed(v);
  Say(line);
}

void Row(const std::string& name, double tavrel, double baseline) {
  Say("row\t" + name + "\t" + Fixed(tavrel) + "\t" + Fixed(baseline));
}

// --- HKCU\EUDC\932 -------------------------------------------------------------

struct Value {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const Value&) const = default;
};
using Values = std::map<std::wstring, Value>;
using KeyState = std::optional<Values>;  // nothing: no key

Value Text(std::wstring_view text) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
  Value value{REG_SZ, std::vector<BYTE>(bytes, bytes + text.size() * sizeof(wchar_t))};
  value.data.resize(value.data.size() + sizeof(wchar_t), 0);
  return value;
}

KeyState ReadKey() {
  HKEY raw = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kEudcKey, 0, KEY_QUERY_VALUE, &raw);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (status != ERROR_SUCCESS) throw Failure("cannot open HKCU\\EUDC\\932");
  const UniqueKey key(raw);
  DWORD count = 0, longestName = 0, longestData = 0;
  RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                   &longestName, &longestData, nullptr, nullptr);
  Values values;
  for (DWORD i = 0; i < count; ++i) {
    std::wstring name(longestName + 1, L'\0');
    Value value;
    value.data.resize(longestData);
    DWORD nameLength = longestName + 1, size = longestData;
    if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, &value.type,
                      value.data.data(), &size) != ERROR_SUCCESS) {
      throw Failure("the key changed while it was read");
    }
    name.resize(nameLength);
    value.data.resize(size);
    values.emplace(std::move(name), std::move(value));
  }
  return values;
}

// Makes the key hold exactly state (or removes it).
void WriteKey(const KeyState& state) {
  const LSTATUS removed = RegDeleteTreeW(HKEY_CURRENT_USER, kEudcKey);
  if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) throw Failure("cannot clear the key");
  if (!state) return;
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kEudcKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS) {
    throw Failure("cannot create the key");
  }
  const UniqueKey key(raw);
  for (const auto& [name, value] : *state) {
    if (RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
      throw Failure("cannot write the key");
    }
  }
}

std::string Hex(const void* bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    const auto b = static_cast<const unsigned char*>(bytes)[i];
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::vector<BYTE> Unhex(const std::string& text) {
  std::vector<BYTE> out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    out.push_back(static_cast<BYTE>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return out;
}

// "key 0|1", then "value NAME_HEX TYPE DATA_HEX" a line ("-" for no bytes).
void SaveKeyState(const std::wstring& file, const KeyState& state) {
  std::ofstream out(std::filesystem::path(file), std::ios::trunc);
  out << "key " << (state ? 1 : 0) << "\n";
  for (const auto& [name, value] : state.value_or(Values{})) {
    const std::string data = Hex(value.data.data(), value.data.size());
    out << "value " << Hex(name.data(), name.size() * sizeof(wchar_t)) << ' ' << value.type << ' '
        << (data.empty() ? "-" : data) << "\n";
  }
  if (!out.flush()) throw Failure("cannot write " + Narrow(file));
}

KeyState LoadKeyState(const std::wstring& file) {
  std::ifstream in{std::filesystem::path(file)};
  std::string word;
  int exists = 0;
  if (!(in >> word >> exists) || word != "key") throw Failure("cannot read " + Narrow(file));
  if (!exists) return std::nullopt;
  Values values;
  std::string name, data;
  DWORD type = 0;
  while (in >> word >> name >> type >> data) {
    const std::vector<BYTE> nameBytes = Unhex(name);
    const std::wstring text(reinterpret_cast<const wchar_t*>(nameBytes.data()),
                            nameBytes.size() / sizeof(wchar_t));
    values[text] = Value{type, data == "-" ? std::vector<BYTE>{} : Unhex(data)};
  }
  return values;
}

// --- processes and windows ----------------------------------------------------

struct Process {
  UniqueHandle handle;
  DWORD id = 0;
};

Process Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
  std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info)) {
    throw Failure("cannot start " + Narrow(exe));
  }
  CloseHandle(info.hThread);
  return Process{UniqueHandle(info.hProcess), info.dwProcessId};
}

bool Ended(HANDLE process, DWORD timeoutMs) {
  return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}

// The processes of that image, but for those whose parent is `notOf`.
std::vector<DWORD> ProcessIds(std::wstring_view image, DWORD notOf = 0) {
  std::vector<DWORD> ids;
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, image.data(), static_cast<int>(image.size()),
                             TRUE) == CSTR_EQUAL &&
        (notOf == 0 || entry.th32ParentProcessID != notOf)) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  return ids;
}

// Ends every process of that image; true when there was none.
bool EndAll(std::wstring_view image) {
  const std::vector<DWORD> ids = ProcessIds(image);
  for (DWORD id : ids) {
    if (const UniqueHandle process{OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)}) {
      TerminateProcess(process.get(), 1);
      Ended(process.get(), 5000);
    }
  }
  return ids.empty();
}

// The started program, as soon as a snapshot shows it (polled every 1 ms);
// with `notOf`, one that process did not start (a launcher's child).
UniqueHandle WaitForProgram(DWORD notOf = 0) {
  const double deadline = NowMs() + kTimeoutMs;
  for (;;) {
    for (DWORD id : ProcessIds(kProgram, notOf)) {
      if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
        return UniqueHandle(process);
      }
    }
    if (NowMs() > deadline) throw Failure("the program did not start");
    Sleep(1);
  }
}

// A visible top-level window of that class and process, polled every 1 ms.
HWND WaitForWindow(const wchar_t* windowClass, DWORD processId) {
  HWND found = nullptr;
  const auto shown = [&] {
    for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, windowClass, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == processId && IsWindowVisible(w)) return (found = w) != nullptr;
    }
    return false;
  };
  if (!WaitUntil(shown, kTimeoutMs, 1)) throw Failure("no visible window of the started program");
  return found;
}

// Message boxes titled "Tavrel" (a refused second copy): ends their
// processes and returns how many there were.
int EndRefusals() {
  std::vector<HWND> boxes;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Tavrel"); w;
       w = FindWindowExW(nullptr, w, L"#32770", L"Tavrel")) {
    boxes.push_back(w);
  }
  for (HWND box : boxes) {
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if (const UniqueHandle process{OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, owner)}) {
      TerminateProcess(process.get(), 1);
      Ended(process.get(), 5000);
    }
  }
  return static_cast<int>(boxes.size());
}

// Closes a program's window with WM_CLOSE and waits for its end.
void Close(const Process& process, HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (!Ended(process.handle.get(), 10000)) {
    TerminateProcess(process.handle.get(), 1);
    throw Failure("a program did not end after WM_CLOSE");
  }
  if (EndRefusals()) throw Failure("a second Tavrel was refused");
}

// The sample program's options; launchers pass their environment on. As a
// launcher it starts another sample program that runs `ms`, and ends.
void SetProgramRun(int ms, bool asLauncher = false) {
  const std::wstring options = L"--no-window --exit-after-ms " + std::to_wstring(ms);
  SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", ((asLauncher ? L"--launch " : L"") + options).c_str());
}

void CleanUp();

// --- the launch figures ----------------------------------------------------------

struct Paths {
  std::wstring app, tools, traced;
  std::wstring Tavrel() const { return app + L"\\tavrel.exe"; }
  std::wstring Program() const { return app + L"\\" + kProgram; }
  std::wstring Font() const { return app + L"\\sample.tte"; }
  std::wstring PollLauncher() const { return tools + L"\\poll_launcher.exe"; }
  std::wstring MinimalWindow() const { return tools + L"\\minimal_window.exe"; }
  std::wstring ThemedWindow() const { return tools + L"\\themed_window.exe"; }
  std::wstring TracedTavrel() const { return traced + L"\\tavrel.exe"; }
  std::wstring Trace() const { return traced + L"\\startup-trace.txt"; }
};

void ArmNotification(HKEY key, HANDLE event) {
  if (RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event,
                              TRUE) != ERROR_SUCCESS) {
    throw Failure("RegNotifyChangeKeyValue failed");
  }
}

// From the program's end (a wait on it returns) to the key holding its values
// from before the launch again, in ms. Re-reads the key at each change.
double ExitToRestore(HANDLE program, const KeyState& before) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kEudcKey, 0, KEY_NOTIFY | KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) {
    throw Failure("cannot open the key to watch it");
  }
  const UniqueKey key(raw);
  const UniqueHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ArmNotification(key.get(), changed.get());
  if (ReadKey() == before) throw Failure("the font was not switched while the program ran");
  if (!Ended(program, kTimeoutMs)) throw Failure("the program did not end");
  const double exited = NowMs();
  const double deadline = exited + kTimeoutMs;
  for (;;) {
    if (ReadKey() == before) return NowMs() - exited;
    const double left = deadline - NowMs();
    if (left <= 0) throw Failure("the earlier values did not come back");
    if (WaitForSingleObject(changed.get(), static_cast<DWORD>(left)) == WAIT_OBJECT_0) {
      ArmNotification(key.get(), changed.get());
    }
  }
}

// A window inside the program's run, in which scripts/bench reads the CPU
// time of the launcher and of the wineserver from /proc. (Wine 8's
// GetProcessTimes answers with the caller's own times for another process.)
void CpuWindow(HANDLE program, const std::string& name, const std::wstring& launcher) {
  Sleep(kCpuSettleMs);
  Say("mark\tbegin\t" + name + "\t" + Narrow(launcher));
  Sleep(kCpuWindowMs);
  Say("mark\tend\t" + name);
  if (Ended(program, 0)) throw Failure("the program ended inside the CPU window");
}

struct Tavrel {
  Process process;
  HWND main = nullptr;
  HWND button = nullptr;
};

Tavrel StartTavrel(const Paths& paths) {
  if (!EndAll(L"tavrel.exe")) throw Failure("a Tavrel was already running");
  Tavrel t;
  t.process = Start(paths.Tavrel(), L"", paths.app);
  t.main = WaitForWindow(kMainClass, t.process.id);
  t.button = GetDlgItem(GetDlgItem(t.main, kFrameId), kLaunchButtonId);
  if (!t.button || !WaitUntil([&] { return IsWindowEnabled(t.button) != FALSE; }, kTimeoutMs)) {
    throw Failure("Tavrel's launch button is missing or disabled");
  }
  return t;
}

// No sample program left running, and the key in the state every launch
// starts from; returns that state.
KeyState PrepareLaunch() {
  if (!EndAll(kProgram)) throw Failure("a sample program was still running");
  const KeyState known = Values{{kFontValue, Text(L"C:\\windows\\EUDC.TTE")}};
  WriteKey(known);
  return known;
}

// One launch by Tavrel's button; returns its exit-to-restore delay. Through
// a launcher, the program is the launcher's child: one Tavrel did not start.
double LaunchByTavrel(const Tavrel& t, const std::function<void(HANDLE)>& during = {},
                      bool throughLauncher = false) {
  const KeyState known = PrepareLaunch();
  PostMessageW(t.button, BM_CLICK, 0, 0);
  const UniqueHandle program = WaitForProgram(throughLauncher ? t.process.id : 0);
  if (during) during(program.get());
  const double delay = ExitToRestore(program.get(), known);
  const auto finished = [&] { return IsWindowEnabled(t.button) && !IsIconic(t.main); };
  if (!WaitUntil(finished, kTimeoutMs)) throw Failure("Tavrel did not finish the launch");
  return delay;
}

// One launch by a new poll_launcher.exe; returns its exit-to-restore delay.
double LaunchByPolling(const Paths& paths, const std::function<void(HANDLE, HANDLE)>& during = {}) {
  const KeyState known = PrepareLaunch();
  const Process launcher = Start(paths.PollLauncher(),
                                 L"\"" + paths.Font() + L"\" \"" + paths.Program() + L"\"", paths.tools);
  const UniqueHandle program = WaitForProgram();
  if (during) during(launcher.handle.get(), program.get());
  const double delay = ExitToRestore(program.get(), known);
  DWORD code = 1;
  if (!Ended(launcher.handle.get(), kTimeoutMs) || !GetExitCodeProcess(launcher.handle.get(), &code) ||
      code != 0) {
    TerminateProcess(launcher.handle.get(), 1);
    throw Failure("poll_launcher.exe failed");
  }
  return delay;
}

// --- the start-up figures ----------------------------------------------------------

struct Startup {
  double ms = 0;
  double peakMiB = 0;
};

Startup MeasureStartup(const std::wstring& exe, const std::wstring& folder, const wchar_t* windowClass) {
  const double started = NowMs();
  const Process process = Start(exe, L"", folder);
  const HWND window = WaitForWindow(windowClass, process.id);
  Startup s{NowMs() - started, 0};
  Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process.handle.get(), &memory, sizeof memory)) {
    throw Failure("GetProcessMemoryInfo failed");
  }
  s.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
  Close(process, window);
  return s;
}

// The phases of one start of the traced tavrel.exe in ms, in the order they
// first came; a phase marked more than once adds up.
using Phases = std::vector<std::pair<std::string, double>>;

// The mark that ends start-up as the user sees it; what Tavrel does later is
// named as coming after it.
constexpr char kFirstPaint[] = "first paint";
constexpr char kAfterFirstPaint[] = "after the first paint: ";

Phases ReadTrace(const std::wstring& file, LONGLONG started) {
  std::ifstream in{std::filesystem::path(file)};
  Phases phases;
  LONGLONG previous = started, counter = 0;
  std::string phase;
  bool painted = false;
  while (in >> counter && in.get() == '\t' && std::getline(in, phase)) {
    const double ms = static_cast<double>(counter - previous) / TicksPerMs();
    previous = counter;
    if (painted) phase = kAfterFirstPaint + phase;
    painted = painted || phase == kFirstPaint;
    const auto known = std::find_if(phases.begin(), phases.end(),
                                    [&](const auto& p) { return p.first == phase; });
    if (known == phases.end()) {
      phases.emplace_back(phase, ms);
    } else {
      known->second += ms;
    }
  }
  if (phases.empty()) throw Failure("the traced tavrel.exe wrote an empty trace");
  return phases;
}

struct Traced {
  Phases phases;
  double visibleMs = 0;  // as the driver saw it
};

Traced TraceStartup(const Paths& paths) {
  const std::wstring trace = paths.Trace();
  DeleteFileW(trace.c_str());
  SetEnvironmentVariableW(kTraceVariable, trace.c_str());
  const LONGLONG started = Counter();
  const Process process = Start(paths.TracedTavrel(), L"", paths.traced);
  SetEnvironmentVariableW(kTraceVariable, nullptr);
  const HWND window = WaitForWindow(kMainClass, process.id);
  const double visibleMs = static_cast<double>(Counter() - started) / TicksPerMs();
  const auto written = [&] { return GetFileAttributesW(trace.c_str()) != INVALID_FILE_ATTRIBUTES; };
  if (!WaitUntil(written, kTimeoutMs)) throw Failure("the traced tavrel.exe wrote no trace");
  Close(process, window);
  return Traced{ReadTrace(trace, started), visibleMs};
}

// The median of each phase over the runs, and of their sum; after the first
// phase, the part of it that loading the extra DLLs takes on its own.
void SayPhases(const std::vector<Phases>& runs, const std::vector<double>& dllLoadMs) {
  std::vector<std::string> order;
  for (const Phases& run : runs) {
    for (const auto& [phase, ms] : run) {
      if (std::find(order.begin(), order.end(), phase) == order.end()) order.push_back(phase);
    }
  }
  std::vector<double> totals;
  for (const Phases& run : runs) {
    double total = 0;
    for (const auto& p : run) total += p.first.starts_with(kAfterFirstPaint) ? 0 : p.second;
    totals.push_back(total);
  }
  Raw("traced_startup_ms_to_first_paint", totals);
  for (const std::string& phase : order) {
    std::vector<double> values;
    for (const Phases& run : runs) {
      double ms = 0;
      for (const auto& p : run) ms += p.first == phase ? p.second : 0;
      values.push_back(ms);
    }
    Say("phase\t" + phase + "\t" + Fixed(Median(values)));
    if (phase == order.front()) {
      Say("phase\t  of which loading the DLLs the baseline lacks\t" + Fixed(Median(dllLoadMs)));
    }
    if (phase == kFirstPaint) {
      Say(std::string("phase\ttotal, process start to the end of the ") + kFirstPaint + "\t" +
          Fixed(Median(totals)));
    }
  }
}

// --- DLL loads ------------------------------------------------------------------

// The DLLs an executable imports, as its import table names them.
std::vector<std::string> ImportedDlls(const std::wstring& exe) {
  std::ifstream in{std::filesystem::path(exe), std::ios::binary};
  const std::vector<char> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto at = [&](size_t offset, size_t size) {
    if (offset > file.size() || size > file.size() - offset) throw Failure("a damaged executable");
    return file.data() + offset;
  };
  const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
  const size_t ntOffset = static_cast<size_t>(dos.e_lfanew);
  const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(ntOffset, sizeof(IMAGE_NT_HEADERS64)));
  const size_t sectionsOffset = ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                nt.FileHeader.SizeOfOptionalHeader;
  const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      at(sectionsOffset, nt.FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
  const auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& section = sections[i];
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData) {
        return rva - section.VirtualAddress + section.PointerToRawData;
      }
    }
    throw Failure("an import table outside the file");
  };
  std::vector<std::string> dlls;
  const DWORD imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t offset = fileOffset(imports);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto& entry =
        *reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    if (entry.Name == 0) break;
    const size_t name = fileOffset(entry.Name);
    dlls.emplace_back(at(name, 1), strnlen(at(name, 1), file.size() - name));
  }
  return dlls;
}

// Tavrel's imports that the baseline does not import.
std::vector<std::string> ExtraDlls(const Paths& paths) {
  const std::vector<std::string> baseline = ImportedDlls(paths.MinimalWindow());
  std::vector<std::string> extra;
  for (const std::string& dll : ImportedDlls(paths.Tavrel())) {
    const auto same = [&](const std::string& other) { return _stricmp(dll.c_str(), other.c_str()) == 0; };
    if (std::none_of(baseline.begin(), baseline.end(), same)) extra.push_back(dll);
  }
  return extra;
}

// In a child process of its own: loads each DLL and notes how long it took.
// (Without Tavrel's manifest, COMCTL32 is the system folder's copy, not the
// side-by-side version 6; under Wine both are the same code.)
int LoadDlls(const std::wstring& out, int count, wchar_t** dlls) {
  // What every program with a window pays first: the display driver and the
  // theme, which user32 loads with the first top-level window.
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr);
  if (!window) return 1;
  DestroyWindow(window);
  std::ofstream file{std::filesystem::path(out)};
  for (int i = 0; i < count; ++i) {
    const LONGLONG before = Counter();
    if (!LoadLibraryW(dlls[i])) return 1;
    file << static_cast<double>(Counter() - before) / TicksPerMs() << "\n";
  }
  return file.flush() ? 0 : 1;
}

// The time a fresh process takes to load each of Tavrel's extra DLLs, in ms.
std::vector<double> TimeExtraDllLoads(const Paths& paths, const std::vector<std::string>& dlls) {
  const std::wstring out = paths.traced + L"\\dll-loads.txt";
  std::wstring arguments = L"--load-dlls \"" + out + L"\"";
  // Import names are ASCII.
  for (const std::string& dll : dlls) arguments += L" " + std::wstring(dll.begin(), dll.end());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const Process child = Start(self, arguments, paths.traced);
  DWORD code = 1;
  if (!Ended(child.handle.get(), kTimeoutMs) || !GetExitCodeProcess(child.handle.get(), &code) || code != 0) {
    throw Failure("the DLL loads failed");
  }
  std::ifstream in{std::filesystem::path(out)};
  std::vector<double> times;
  for (double ms = 0; in >> ms;) times.push_back(ms);
  if (times.size() != dlls.size()) throw Failure("the DLL loads were not all timed");
  return times;
}

// --- the run -------------------------------------------------------------------

void Run(const Paths& paths) {
  // Each launch by a new launcher process, Tavrel and the baseline in turn,
  // so that drift hits both alike.
  std::vector<double> delays[2];  // [0] Tavrel, [1] poll_launcher
  for (int i = 0; i < kLaunches; ++i) {
    SetProgramRun(kShortRunMs + kRunStepMs * i);
    const Tavrel t = StartTavrel(paths);
    delays[0].push_back(LaunchByTavrel(t));
    Close(t.process, t.main);
    delays[1].push_back(LaunchByPolling(paths));
  }

  // Through a launcher: from the end of its child, the real program.
  std::vector<double> launcherDelays;
  try {
    for (int i = 0; i < kLauncherLaunches; ++i) {
      SetProgramRun(kShortRunMs + kRunStepMs * i, true);
      const Tavrel t = StartTavrel(paths);
      launcherDelays.push_back(LaunchByTavrel(t, {}, true));
      Close(t.process, t.main);
    }
    Raw("exit_to_restore_ms_launcher_child", launcherDelays);
    Say("row\trestore_launcher_median\t" + Fixed(Median(launcherDelays)) + "\t-");
    Say("row\trestore_launcher_worst\t" + Fixed(Worst(launcherDelays)) + "\t-");
  } catch (const Failure& e) {
    Say(std::string("skip\trestore_launcher\t") + e.what());
    CleanUp();
  }

  SetProgramRun(kLongRunMs);
  {
    const Tavrel t = StartTavrel(paths);
    LaunchByTavrel(t, [&](HANDLE program) { CpuWindow(program, "tavrel", paths.Tavrel()); });
    Close(t.process, t.main);
  }
  LaunchByPolling(paths, [&](HANDLE, HANDLE program) { CpuWindow(program, "poll", paths.PollLauncher()); });

  // Tavrel, the baselines and the traced Tavrel in turn, so that drift hits
  // them alike.
  std::vector<double> startMs[3], peakMiB[3];  // [0] Tavrel, [1] minimal_window, [2] themed_window
  std::vector<Phases> traced;
  std::vector<double> tracedVisibleMs, dllLoadMs;
  std::map<std::string, std::vector<double>> eachDllMs;
  const std::vector<std::string> extraDlls = ExtraDlls(paths);
  std::string dllNames;
  for (const std::string& dll : extraDlls) dllNames += (dllNames.empty() ? "" : ", ") + dll;
  for (int i = 0; i < kStarts; ++i) {
    if (!EndAll(L"tavrel.exe")) throw Failure("a Tavrel was still running");
    // Each start from a quiet system (the previous program's windows gone
    // from the X server too), each program first in turn.
    const auto measure = [&](int which) {
      Sleep(kQuietMs);
      const Startup s =
          which == 0   ? MeasureStartup(paths.Tavrel(), paths.app, kMainClass)
          : which == 1 ? MeasureStartup(paths.MinimalWindow(), paths.tools, kMinimalClass)
                       : MeasureStartup(paths.ThemedWindow(), paths.tools, kMinimalClass);
      startMs[which].push_back(s.ms), peakMiB[which].push_back(s.peakMiB);
    };
    for (int k = 0; k < 3; ++k) measure((i + k) % 3);
    Sleep(kQuietMs);
    Traced t = TraceStartup(paths);
    traced.push_back(std::move(t.phases));
    tracedVisibleMs.push_back(t.visibleMs);
    const std::vector<double> times = TimeExtraDllLoads(paths, extraDlls);
    for (size_t d = 0; d < times.size(); ++d) eachDllMs[extraDlls[d]].push_back(times[d]);
    dllLoadMs.push_back(std::accumulate(times.begin(), times.end(), 0.0));
  }

  Raw("exit_to_restore_ms_tavrel", delays[0]);
  Raw("exit_to_restore_ms_poll", delays[1]);
  Raw("startup_ms_tavrel", startMs[0]);
  Raw("startup_ms_minimal", startMs[1]);
  Raw("startup_ms_themed", startMs[2]);
  Raw("startup_ms_traced", tracedVisibleMs);
  Raw("peak_working_set_mib_tavrel", peakMiB[0]);
  Raw("peak_working_set_mib_minimal", peakMiB[1]);
  Raw("peak_working_set_mib_themed", peakMiB[2]);
  Row("restore_median", Median(delays[0]), Median(delays[1]));
  Row("restore_worst", Worst(delays[0]), Worst(delays[1]));
  Row("startup_median", Median(startMs[0]), Median(startMs[1]));
  Row("peak_working_set", Median(peakMiB[0]), Median(peakMiB[1]));
  Row("startup_median_themed", Median(startMs[0]), Median(startMs[2]));
  Row("peak_working_set_themed", Median(peakMiB[0]), Median(peakMiB[2]));
  Say("raw\textra_dlls\t" + dllNames);
  Raw("extra_dll_loads_ms", dllLoadMs);
  for (const auto& [dll, times] : eachDllMs) Raw("dll_load_ms_" + dll, times);
  SayPhases(traced, dllLoadMs);
}

// Ends whatever the run started that still runs.
void CleanUp() {
  for (const wchar_t* image : {L"tavrel.exe", L"poll_launcher.exe", L"eudcview.exe", L"minimal_window.exe",
                               L"themed_window.exe"}) {
    EndAll(image);
  }
  EndRefusals();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    if (argc >= 3 && std::wstring_view(argv[1]) == L"--load-dlls") return LoadDlls(argv[2], argc - 3, argv + 3);
    if (argc == 3 && std::wstring_view(argv[1]) == L"--restore") {
      CleanUp();
      WriteKey(LoadKeyState(argv[2]));
      DeleteFileW(argv[2]);
      return 0;
    }
    if (argc != 5) {
      Say("error\tusage: bench_driver APP_DIR TOOLS_DIR SAVED_KEY_FILE TRACED_DIR | --restore SAVED_KEY_FILE");
      return 1;
    }
    const KeyState original = ReadKey();
    SaveKeyState(argv[3], original);
    int status = 0;
    try {
      Run(Paths{argv[1], argv[2], argv[4]});
    } catch (const std::exception& e) {
      Say(std::string("error\t") + e.what());
      status = 1;
    }
    CleanUp();
    WriteKey(original);
    DeleteFileW(argv[3]);
    return status;
  } catch (const std::exception& e) {
    Say(std::string("error\t") + e.what());
    return 1;
  }
}
