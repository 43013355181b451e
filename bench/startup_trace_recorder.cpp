// The recorder of the benchmark's traced tavrel.exe: it takes the place of
// the empty marks of src/shell/startup_trace.cpp, notes the
// performance counter at each mark and, at the end of start-up, writes the
// marks to the file that TAVREL_STARTUP_TRACE names, a "COUNTER<TAB>PHASE"
// line each. bench_driver reads them against the counter it took just before
// it started the process.
#include <windows.h>

#include <cstdio>
#include <iterator>

#include "shell/startup_trace.h"

namespace {

struct Mark {
  LONGLONG counter;
  const char* phase;
};

Mark marks[64];
int markCount = 0;
bool ended = false;

void Record(const char* phase) {
  if (ended || markCount == static_cast<int>(std::size(marks))) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  marks[markCount++] = Mark{now.QuadPart, phase};
}

// The loader calls the executable's TLS callbacks once it has loaded and
// initialised every DLL the executable imports, before the C runtime starts.
void NTAPI OnLoaderDone(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_PROCESS_ATTACH) Record("process creation, loader and DLLs");
}

}  // namespace

extern "C" __attribute__((used, section(".CRT$XLY"))) const PIMAGE_TLS_CALLBACK
    tavrelStartupTraceCallback = OnLoaderDone;

namespace tavrel {

void MarkStartup(const char* phase) { Record(phase); }

void EndStartupTrace() {
  if (ended) return;
  ended = true;
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"TAVREL_STARTUP_TRACE", path, MAX_PATH - 4);
  if (length == 0 || length >= MAX_PATH - 4) return;
  // Written beside, then moved into place: the driver never reads half a file.
  wchar_t partial[MAX_PATH];
  std::swprintf(partial, std::size(partial), L"%ls.tmp", path);
  FILE* out = _wfopen(partial, L"w");
  if (!out) return;
  for (int i = 0; i < markCount; ++i) {
    std::fprintf(out, "%lld\t%s\n", static_cast<long long>(marks[i].counter), marks[i].phase);
  }
  const bool written = std::fclose(out) == 0;
  if (written) MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace tavrel
