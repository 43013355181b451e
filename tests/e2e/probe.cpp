// The end-to-end runner's eyes and hands inside Wine.  It reads one command a
// line on stdin and answers each with one line of JSON on stdout, UTF-8 both
// ways.  A command is tab-separated fields; "\\", "\t", "\n" and "\r" in a
// field stand for a backslash, a tab, a line feed and a carriage return.
//
//   windows [PID]                  top-level windows (of one process)
//   window HWND                    one window, as in "windows"
//   tree HWND                      every descendant of a window
//   focus HWND                     focus and active window of its thread
//   window_at X Y                  the window a click at X, Y would reach
//   reg_read KEY                   every value of HKCU\KEY (name, type, hex)
//   reg_create KEY                 HKCU\KEY, empty unless it is there
//   reg_set KEY NAME TYPE HEX      one value, raw bytes (creates the key)
//   reg_delete_value KEY NAME
//   reg_delete_tree KEY            HKCU\KEY and all below it
//   reg_dacl KEY SDDL              gives HKCU\KEY the access list of SDDL
//   processes                      pid, parent pid and image name of each
//   process PID                    alive?  exit code once ended
//   wait PID MS                    waits up to MS for the process to end
//   kill PID                       TerminateProcess
//   start DIR LINE [NAME=VALUE]... [SHOW=n] CreateProcessW of LINE exactly as written,
//                                  in folder DIR, with these variables set
//                                  (as a shortcut or the shell starts a
//                                  program: the RunOnce value's); its pid
//   load_library PID NAME          LoadLibraryW(NAME) on a new thread of
//                                  process PID: whether it loaded
//   send HWND MSG WPARAM LPARAM MS SendMessageTimeoutW
//   post HWND MSG WPARAM LPARAM    PostMessageW
//   raise HWND                     to the top and to the foreground
//   create_window TITLE            a plain top-level window of our own
//   destroy_window HWND
//   metrics                        the screen's size and DPI (LOGPIXELSX),
//                                  the double-click time and rectangle, the
//                                  ANSI code page and the UI language
//   desktop_folder                 the user's desktop folder (its full path)
//   shortcut PATH                  a .lnk file read through IShellLinkW:
//                                  target, arguments, working folder, icon
//   make_shortcut PATH TARGET ARGS FOLDER  a .lnk file saved through IShellLinkW
//   delete_file PATH               DeleteFileW; a file already gone is no error
//   quit
//
// Every answer is an object with "ok": true and the command's fields, or
// "ok": false and "error".  Handles and numbers travel as decimal integers.
#include <windows.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <utility>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <vector>

#include "base/win32/com.h"
#include "base/win32/wide.h"
#include "base/win32/handles.h"

namespace {

using UniqueHandle = tavrel::UniqueWin32Handle;
using UniqueKey = tavrel::UniqueWin32Key;

// A failed command: its message becomes the answer's "error".
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using tavrel::Narrow;
using tavrel::Wide;

std::string Win32Error(const char* what, DWORD code) {
  return std::string(what) + " failed with error " + std::to_string(code);
}

// The fields of one answer, written one after another.
class Json {
 public:
  Json& Key(std::string_view name) {
    Separate();
    Quote(name);
    out_ += ':';
    after_key_ = true;
    return *this;
  }
  Json& String(std::string_view text) {
    Separate();
    Quote(text);
    return *this;
  }
  Json& String(std::wstring_view text) { return String(Narrow(text)); }
  Json& Number(long long value) { return Raw(std::to_string(value)); }
  Json& Handle(const void* handle) { return Raw(std::to_string(reinterpret_cast<std::uintptr_t>(handle))); }
  Json& Bool(bool value) { return Raw(value ? "true" : "false"); }
  Json& Null() { return Raw("null"); }
  Json& Pair(long long first, long long second) { return Open('[').Number(first).Number(second).Close(']'); }
  Json& Rect(const RECT& r) {
    return Open('[').Number(r.left).Number(r.top).Number(r.right).Number(r.bottom).Close(']');
  }
  Json& Open(char bracket) {
    Raw(std::string(1, bracket));
    first_ = true;
    return *this;
  }
  Json& Close(char bracket) {
    out_ += bracket;
    first_ = false;
    return *this;
  }
  // What has been written, to go inside an object.
  const std::string& Text() const { return out_; }

 private:
  Json& Raw(std::string_view text) {
    Separate();
    out_ += text;
    return *this;
  }
  // A comma before every item but the first of its list and a key's value.
  void Separate() {
    if (!first_ && !after_key_) out_ += ',';
    first_ = false;
    after_key_ = false;
  }
  void Quote(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ += '"';
    for (const char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (u < 0x20) {
        out_ += "\\u00";
        out_ += kHex[u >> 4];
        out_ += kHex[u & 15];
      } else {
        out_ += c;
      }
    }
    out_ += '"';
  }

  std::string out_;
  bool first_ = true;
  bool after_key_ = false;
};

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      const char e = line[++i];
      fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

long long Integer(const std::string& text) {
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') throw Failure("not a number: " + text);
  return value;
}

HWND WindowArg(const std::string& text) {
  const auto hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Integer(text)));
  if (!IsWindow(hwnd)) throw Failure("no such window: " + text);
  return hwnd;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

// The caption as the system keeps it: enough for top-level windows,
// and it never waits for a busy program.
std::wstring TitleOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The text as the control itself reports it (an edit control's caption is
// what was typed into it); the kept caption when the control does not answer.
std::wstring TextOf(HWND hwnd) {
  constexpr UINT kFlags = SMTO_ABORTIFHUNG;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, kFlags, 2000, &length)) return TitleOf(hwnd);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), kFlags, 2000,
                           &copied)) {
    return TitleOf(hwnd);
  }
  text.resize(copied);
  return text;
}

void WindowFields(Json& json, HWND hwnd) {
  DWORD pid = 0;
  const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
  RECT rect{}, client{};
  GetWindowRect(hwnd, &rect);
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  json.Key("hwnd").Handle(hwnd).Key("pid").Number(pid).Key("tid").Number(tid);
  json.Key("title").String(TitleOf(hwnd)).Key("class").String(ClassOf(hwnd));
  json.Key("rect").Rect(rect).Key("client").Pair(client.right, client.bottom);
  json.Key("origin").Pair(origin.x, origin.y);
  json.Key("visible").Bool(IsWindowVisible(hwnd)).Key("iconic").Bool(IsIconic(hwnd));
  json.Key("enabled").Bool(IsWindowEnabled(hwnd));
  json.Key("owner").Handle(GetWindow(hwnd, GW_OWNER));
}

void Windows(Json& json, const std::vector<std::string>& args) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{args.size() > 1 ? static_cast<DWORD>(Integer(args[1])) : 0, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (s.pid == 0 || pid == s.pid) s.found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  json.Key("windows").Open('[');
  for (const HWND hwnd : search.found) {
    WindowFields(json.Open('{'), hwnd);
    json.Close('}');
  }
  json.Close(']');
}

void Window(Json& json, const std::vector<std::string>& args) {
  WindowFields(json.Key("window").Open('{'), WindowArg(args.at(1)));
  json.Close('}');
}

void Tree(Json& json, const std::vector<std::string>& args) {
  std::vector<HWND> found;
  EnumChildWindows(  // every descendant, depth first
      WindowArg(args.at(1)),
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  json.Key("controls").Open('[');
  for (const HWND hwnd : found) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    json.Open('{').Key("hwnd").Handle(hwnd).Key("parent").Handle(GetParent(hwnd));
    json.Key("id").Number(GetDlgCtrlID(hwnd)).Key("class").String(ClassOf(hwnd));
    json.Key("text").String(TextOf(hwnd)).Key("rect").Rect(rect);
    json.Key("enabled").Bool(IsWindowEnabled(hwnd)).Key("visible").Bool(IsWindowVisible(hwnd));
    json.Key("style").Number(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)));
    json.Key("exstyle").Number(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
    json.Close('}');
  }
  json.Close(']');
}

void Focus(Json& json, const std::vector<std::string>& args) {
  const HWND hwnd = WindowArg(args.at(1));
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) {
    throw Failure(Win32Error("GetGUIThreadInfo", GetLastError()));
  }
  json.Key("focus").Handle(info.hwndFocus);
  json.Key("focus_id").Number(info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
  json.Key("active").Handle(info.hwndActive).Key("foreground").Handle(GetForegroundWindow());
}

void WindowAt(Json& json, const std::vector<std::string>& args) {
  const POINT point{static_cast<LONG>(Integer(args.at(1))), static_cast<LONG>(Integer(args.at(2)))};
  const HWND hwnd = WindowFromPoint(point);
  json.Key("hwnd").Handle(hwnd).Key("root").Handle(hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr);
}

std::string Hex(const BYTE* data, std::size_t size) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kHex[data[i] >> 4];
    out += kHex[data[i] & 15];
  }
  return out;
}

std::vector<BYTE> Bytes(const std::string& hex) {
  if (hex.size() % 2 != 0) throw Failure("odd hex length");
  std::vector<BYTE> out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    out.push_back(static_cast<BYTE>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

void Check(LSTATUS status, const char* what) {
  if (status != ERROR_SUCCESS) throw Failure(Win32Error(what, static_cast<DWORD>(status)));
}

void RegRead(Json& json, const std::vector<std::string>& args) {
  HKEY raw = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(args.at(1)).c_str(), 0, KEY_READ, &raw);
  if (status == ERROR_FILE_NOT_FOUND) {
    json.Key("exists").Bool(false).Key("values").Open('[').Close(']');
    return;
  }
  Check(status, "RegOpenKeyExW");
  const UniqueKey key(raw);
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };
  // Tavrel may be writing the key meanwhile: a value that grew or went
  // between the count and the read starts the read again.
  std::vector<Value> values;
  for (int attempt = 0;; ++attempt) {
    DWORD count = 0, longest_name = 0, largest_data = 0;
    Check(RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                           &longest_name, &largest_data, nullptr, nullptr),
          "RegQueryInfoKeyW");
    values.clear();
    LONG read = ERROR_SUCCESS;
    for (DWORD i = 0; i < count && read == ERROR_SUCCESS; ++i) {
      Value value{std::wstring(longest_name + 1, L'\0'), 0, std::vector<BYTE>(largest_data + 1)};
      DWORD name_length = longest_name + 1, size = largest_data + 1;
      read = RegEnumValueW(key.get(), i, value.name.data(), &name_length, nullptr, &value.type,
                             value.data.data(), &size);
      value.name.resize(name_length);
      value.data.resize(size);
      values.push_back(std::move(value));
    }
    if (read == ERROR_SUCCESS) break;
    if (attempt == 20 || (read != ERROR_MORE_DATA && read != ERROR_NO_MORE_ITEMS)) Check(read, "RegEnumValueW");
    Sleep(10);
  }
  json.Key("exists").Bool(true).Key("values").Open('[');
  for (const Value& value : values) {
    json.Open('{').Key("name").String(value.name).Key("type").Number(value.type);
    json.Key("hex").String(Hex(value.data.data(), static_cast<DWORD>(value.data.size()))).Close('}');
  }
  json.Close(']');
}

UniqueKey CreateKey(const std::string& name) {
  HKEY raw = nullptr;
  Check(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(name).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                        nullptr),
        "RegCreateKeyExW");
  return UniqueKey(raw);
}

void RegCreate(Json&, const std::vector<std::string>& args) { CreateKey(args.at(1)); }

void RegSet(Json&, const std::vector<std::string>& args) {
  const UniqueKey key = CreateKey(args.at(1));
  const std::vector<BYTE> data = Bytes(args.at(4));
  Check(RegSetValueExW(key.get(), Wide(args.at(2)).c_str(), 0, static_cast<DWORD>(Integer(args.at(3))),
                       data.data(), static_cast<DWORD>(data.size())),
        "RegSetValueExW");
}

void RegDeleteValue(Json&, const std::vector<std::string>& args) {
  Check(RegDeleteKeyValueW(HKEY_CURRENT_USER, Wide(args.at(1)).c_str(), Wide(args.at(2)).c_str()),
        "RegDeleteKeyValueW");
}

void RegDeleteTree(Json&, const std::vector<std::string>& args) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, Wide(args.at(1)).c_str());
  if (status != ERROR_FILE_NOT_FOUND) Check(status, "RegDeleteTreeW");
}

void RegDacl(Json&, const std::vector<std::string>& args) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(args.at(2)).c_str(), SDDL_REVISION_1, &raw,
                                                            nullptr)) {
    throw Failure(Win32Error("ConvertStringSecurityDescriptorToSecurityDescriptorW", GetLastError()));
  }
  const std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
  HKEY key = nullptr;
  Check(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(args.at(1)).c_str(), 0, WRITE_DAC, &key), "RegOpenKeyExW");
  const UniqueKey owned(key);
  Check(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.get()), "RegSetKeySecurity");
}

void Processes(Json& json, const std::vector<std::string>&) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) throw Failure(Win32Error("CreateToolhelp32Snapshot", GetLastError()));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  json.Key("processes").Open('[');
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    json.Open('{').Key("pid").Number(entry.th32ProcessID).Key("ppid").Number(entry.th32ParentProcessID);
    json.Key("image").String(entry.szExeFile).Close('}');
  }
  json.Close(']');
}

// Processes asked about stay open here, so that their exit codes can still be
// read after they end.
std::map<DWORD, UniqueHandle> g_processes;

HANDLE ProcessArg(const std::string& text) {
  const auto pid = static_cast<DWORD>(Integer(text));
  if (const auto it = g_processes.find(pid); it != g_processes.end()) return it->second.get();
  const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  if (!handle) return nullptr;
  return g_processes.emplace(pid, UniqueHandle(handle)).first->second.get();
}

void ProcessState(Json& json, HANDLE process) {
  const bool ended = process == nullptr || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  DWORD code = 0;
  json.Key("alive").Bool(!ended).Key("exit_code");
  if (ended && process && GetExitCodeProcess(process, &code)) {
    json.Number(code);
  } else {
    json.Null();
  }
}

void Process(Json& json, const std::vector<std::string>& args) { ProcessState(json, ProcessArg(args.at(1))); }

void Wait(Json& json, const std::vector<std::string>& args) {
  const HANDLE process = ProcessArg(args.at(1));
  if (process) WaitForSingleObject(process, static_cast<DWORD>(Integer(args.at(2))));
  ProcessState(json, process);
}

void Kill(Json&, const std::vector<std::string>& args) {
  const HANDLE process = ProcessArg(args.at(1));
  if (process && !TerminateProcess(process, 1) && WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
    throw Failure(Win32Error("TerminateProcess", GetLastError()));
  }
}

void Start(Json& json, const std::vector<std::string>& args) {
  // The child inherits the probe's environment: set the variables for it,
  // then put the probe's own back.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
  WORD show = SW_SHOWNORMAL;
  bool showGiven = false;
  for (size_t i = 3; i < args.size(); ++i) {
    // "SHOW=n": the show state a shortcut's run setting passes, not a variable.
    if (args[i].starts_with("SHOW=")) {
      show = static_cast<WORD>(std::stoi(args[i].substr(5)));
      showGiven = true;
      continue;
    }
    const std::wstring assignment = Wide(args[i]);
    const size_t equals = assignment.find(L'=');
    if (equals == std::wstring::npos) throw Failure("not NAME=VALUE: " + args[i]);
    const std::wstring name = assignment.substr(0, equals);
    std::vector<wchar_t> old(32767);  // the largest a variable can hold
    const DWORD length = GetEnvironmentVariableW(name.c_str(), old.data(), static_cast<DWORD>(old.size()));
    saved.emplace_back(name, length ? std::optional<std::wstring>(old.data()) : std::nullopt);
    SetEnvironmentVariableW(name.c_str(), assignment.c_str() + equals + 1);
  }
  std::wstring line = Wide(args.at(2));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (showGiven) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
  }
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 Wide(args.at(1)).c_str(), &startup, &started);
  const DWORD error = GetLastError();
  for (const auto& [name, value] : saved) SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
  if (!ok) throw Failure(Win32Error("CreateProcessW", error));
  CloseHandle(started.hThread);
  g_processes.emplace(started.dwProcessId, UniqueHandle(started.hProcess));
  json.Key("pid").Number(started.dwProcessId);
}

// The base address of a module of another process, by the module's file name.
BYTE* ModuleBaseIn(DWORD pid, const std::wstring& name) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
  if (snapshot.get() == INVALID_HANDLE_VALUE) throw Failure(Win32Error("CreateToolhelp32Snapshot", GetLastError()));
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szModule, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) return entry.modBaseAddr;
  }
  throw Failure("no module of that name in the process");
}

// A bare-name load made inside the running program, as a DLL it or a system
// DLL loads after start-up would be: LoadLibraryW runs on a new thread there.
// Its address is found through the module that holds it here (kernel32
// forwards it) at its offset in that module.
void LoadLibraryIn(Json& json, const std::vector<std::string>& args) {
  const auto pid = static_cast<DWORD>(Integer(args.at(1)));
  const std::wstring name = Wide(args.at(2));
  const auto local = reinterpret_cast<BYTE*>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  HMODULE holder = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(local), &holder);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(holder, path, MAX_PATH);
  const std::wstring holderName = std::wstring(path).substr(std::wstring(path).find_last_of(L'\\') + 1);
  BYTE* remote = ModuleBaseIn(pid, holderName) + (local - reinterpret_cast<BYTE*>(holder));

  const UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                             PROCESS_VM_READ | PROCESS_QUERY_INFORMATION | SYNCHRONIZE,
                                         FALSE, pid));
  if (!process) throw Failure(Win32Error("OpenProcess", GetLastError()));
  const SIZE_T size = (name.size() + 1) * sizeof(wchar_t);
  void* text = VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!text || !WriteProcessMemory(process.get(), text, name.c_str(), size, nullptr)) {
    throw Failure(Win32Error("VirtualAllocEx/WriteProcessMemory", GetLastError()));
  }
  const UniqueHandle thread(CreateRemoteThread(process.get(), nullptr, 0,
                                               reinterpret_cast<LPTHREAD_START_ROUTINE>(remote), text, 0,
                                               nullptr));
  if (!thread) throw Failure(Win32Error("CreateRemoteThread", GetLastError()));
  if (WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0) throw Failure("the load did not finish");
  DWORD module = 0;  // the low half of the module handle: 0 when nothing loaded
  GetExitCodeThread(thread.get(), &module);
  VirtualFreeEx(process.get(), text, 0, MEM_RELEASE);
  json.Key("loaded").Bool(module != 0);
}

void Send(Json& json, const std::vector<std::string>& args) {
  DWORD_PTR result = 0;
  const LRESULT delivered = SendMessageTimeoutW(
      WindowArg(args.at(1)), static_cast<UINT>(Integer(args.at(2))), static_cast<WPARAM>(Integer(args.at(3))),
      static_cast<LPARAM>(Integer(args.at(4))), SMTO_NORMAL, static_cast<UINT>(Integer(args.at(5))), &result);
  json.Key("delivered").Bool(delivered != 0).Key("result").Number(static_cast<long long>(result));
}

// What typing into an edit control leaves there; the system carries the
// text across to the window's process.
void SetText(Json& json, const std::vector<std::string>& args) {
  DWORD_PTR result = 0;
  const std::wstring text = Wide(args.at(2));
  const LRESULT delivered = SendMessageTimeoutW(WindowArg(args.at(1)), WM_SETTEXT, 0,
                                                reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 10000, &result);
  json.Key("delivered").Bool(delivered != 0).Key("result").Number(static_cast<long long>(result));
}

void Post(Json&, const std::vector<std::string>& args) {
  if (!PostMessageW(WindowArg(args.at(1)), static_cast<UINT>(Integer(args.at(2))),
                    static_cast<WPARAM>(Integer(args.at(3))), static_cast<LPARAM>(Integer(args.at(4))))) {
    throw Failure(Win32Error("PostMessageW", GetLastError()));
  }
}

// What a click on a window's taskbar button does.
void Raise(Json&, const std::vector<std::string>& args) {
  const HWND hwnd = WindowArg(args.at(1));
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(hwnd);
}

// Windows of our own: each lives on a thread of its own with its own message
// loop, which ends when the window is destroyed.
constexpr wchar_t kOwnClass[] = L"E2eForeignWindow";
std::vector<std::thread> g_window_threads;

LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void CreateOwnWindow(Json& json, const std::vector<std::string>& args) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOwnClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) throw Failure(Win32Error("RegisterClassExW", GetLastError()));
  struct Start {
    std::wstring title;
    HWND hwnd = nullptr;
    UniqueHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  } start{Wide(args.at(1))};
  g_window_threads.emplace_back([&start] {
    const HWND hwnd = CreateWindowExW(0, kOwnClass, start.title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 320, 120,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    start.hwnd = hwnd;
    if (hwnd) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetEvent(start.ready.get());  // "start" is not to be touched after this
    if (!hwnd) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  });
  WaitForSingleObject(start.ready.get(), INFINITE);
  if (!start.hwnd) throw Failure("CreateWindowExW failed");
  json.Key("hwnd").Handle(start.hwnd);
}

void DestroyOwnWindow(Json&, const std::vector<std::string>& args) {
  const HWND hwnd = WindowArg(args.at(1));
  if (ClassOf(hwnd) != kOwnClass) throw Failure("not a window of the probe");
  SendMessageW(hwnd, WM_CLOSE, 0, 0);  // DefWindowProc destroys it on its own thread
}

void Metrics(Json& json, const std::vector<std::string>&) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  json.Key("dpi").Number(dpi);
  json.Key("screen").Pair(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  json.Key("double_click_ms").Number(GetDoubleClickTime());
  json.Key("double_click_size").Pair(GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK));
  json.Key("code_page").Number(GetACP());
  json.Key("ui_language").Number(GetUserDefaultUILanguage());
}

void DesktopFolder(Json& json, const std::vector<std::string>&) {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_Desktop, KF_FLAG_DEFAULT, nullptr, &path);
  const tavrel::UniqueCoTaskMemory<wchar_t> owned(path);
  if (FAILED(result)) throw Failure(Win32Error("SHGetKnownFolderPath", static_cast<DWORD>(result)));
  json.Key("path").String(std::wstring_view(path));
}

// COM on this thread while it lives.
struct ComScope {
  ComScope() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) throw Failure("CoInitializeEx failed");
  }
  ~ComScope() { CoUninitialize(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
};

void CheckCom(HRESULT result, const char* what) {
  if (FAILED(result)) throw Failure(Win32Error(what, static_cast<DWORD>(result)));
}

// A shell link and its file interface, for `what` (loading or saving).
std::pair<tavrel::UniqueCom<IShellLinkW>, tavrel::UniqueCom<IPersistFile>> ShellLink(const char* what) {
  void* object = nullptr;
  CheckCom(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW), &object), what);
  auto link = tavrel::Adopt<IShellLinkW>(object);
  CheckCom(link->QueryInterface(__uuidof(IPersistFile), &object), what);
  return {std::move(link), tavrel::Adopt<IPersistFile>(object)};
}

void ReadShortcut(Json& json, const std::vector<std::string>& args) {
  const ComScope com;
  const auto [link, persist] = ShellLink("loading the shortcut");
  CheckCom(persist->Load(Wide(args.at(1)).c_str(), STGM_READ), "loading the shortcut");
  wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
  int index = 0;
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) || FAILED(link->GetArguments(arguments, 1024)) ||
      FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) ||
      FAILED(link->GetIconLocation(icon, MAX_PATH, &index))) {
    throw Failure("reading the shortcut's properties failed");
  }
  json.Key("target").String(std::wstring_view(target)).Key("arguments").String(std::wstring_view(arguments));
  json.Key("working_folder").String(std::wstring_view(folder)).Key("icon").String(std::wstring_view(icon));
  json.Key("icon_index").Number(index);
}

void MakeShortcut(Json&, const std::vector<std::string>& args) {
  const ComScope com;
  const auto [link, persist] = ShellLink("saving the shortcut");
  CheckCom(link->SetPath(Wide(args.at(2)).c_str()), "saving the shortcut");
  CheckCom(link->SetArguments(Wide(args.at(3)).c_str()), "saving the shortcut");
  CheckCom(link->SetWorkingDirectory(Wide(args.at(4)).c_str()), "saving the shortcut");
  CheckCom(persist->Save(Wide(args.at(1)).c_str(), TRUE), "saving the shortcut");
}

void RemoveFile(Json&, const std::vector<std::string>& args) {
  if (!DeleteFileW(Wide(args.at(1)).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw Failure(Win32Error("DeleteFileW", GetLastError()));
  }
}

using Command = void (*)(Json&, const std::vector<std::string>&);

const std::map<std::string_view, Command> kCommands = {
    {"windows", Windows},
    {"window", Window},
    {"tree", Tree},
    {"focus", Focus},
    {"window_at", WindowAt},
    {"reg_read", RegRead},
    {"reg_create", RegCreate},
    {"reg_set", RegSet},
    {"reg_delete_value", RegDeleteValue},
    {"reg_delete_tree", RegDeleteTree},
    {"reg_dacl", RegDacl},
    {"processes", Processes},
    {"process", Process},
    {"wait", Wait},
    {"kill", Kill},
    {"start", Start},
    {"load_library", LoadLibraryIn},
    {"send", Send},
    {"post", Post},
    {"set_text", SetText},
    {"raise", Raise},
    {"create_window", CreateOwnWindow},
    {"destroy_window", DestroyOwnWindow},
    {"metrics", Metrics},
    {"desktop_folder", DesktopFolder},
    {"shortcut", ReadShortcut},
    {"make_shortcut", MakeShortcut},
    {"delete_file", RemoveFile},
};

std::string Answer(const std::string& line) {
  const std::vector<std::string> fields = SplitFields(line);
  Json body;
  try {
    const auto command = kCommands.find(fields[0]);
    if (command == kCommands.end()) throw Failure("unknown command");
    command->second(body, fields);
  } catch (const std::exception& e) {  // Failure, or std::out_of_range for a missing field
    Json error;
    error.Key("error").String(fields[0] + ": " + e.what());
    return "{\"ok\":false," + error.Text() + "}\n";
  }
  const std::string text = body.Text();
  return "{\"ok\":true" + (text.empty() ? "" : "," + text) + "}\n";
}

bool ReadLine(HANDLE in, std::string& line) {
  line.clear();
  char c = 0;
  DWORD got = 0;
  while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
    if (c == '\n') return true;
    if (c != '\r') line += c;
  }
  return !line.empty();
}

void WriteAll(HANDLE out, const std::string& text) {
  DWORD written = 0;
  for (std::size_t done = 0; done < text.size(); done += written) {
    if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr)) return;
  }
}

}  // namespace

int wmain() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string line;
  while (ReadLine(in, line) && line != "quit") {
    if (!line.empty()) WriteAll(out, Answer(line));
  }
  WriteAll(out, "{\"ok\":true}\n");
  // Our own windows go with us.
  EnumWindows(
      [](HWND hwnd, LPARAM) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == GetCurrentProcessId() && ClassOf(hwnd) == kOwnClass) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return TRUE;
      },
      0);
  for (auto& thread : g_window_threads) thread.join();
  return 0;
}
