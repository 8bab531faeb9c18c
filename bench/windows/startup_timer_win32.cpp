// startup_timer ROUNDS PROGRAM...
// Start-up to the window shown: each round starts every program in turn (in
// its own folder) and measures the time from CreateProcess until the
// process has a visible captioned top-level window; the process is then
// ended. Prints each program's median and, for each program after the
// first, its ratio to the first; the fastest start too, which a busy
// machine disturbs least.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
  DWORD process;
  bool found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && ::IsWindowVisible(window) &&
      (::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds until the program's window is shown, or -1 when it could not
// be started or ended first.
double TimeToWindow(const std::string& program) {
  std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
  std::string command_line = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const Clock::time_point start = Clock::now();
  if (!::CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return -1;
  }
  Search search{process.dwProcessId, false};
  while (!search.found && ::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    ::EnumWindows(&FindShownWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(1);
  }
  const std::chrono::duration<double, std::milli> took = Clock::now() - start;
  ::TerminateProcess(process.hProcess, 0);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return search.found ? took.count() : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: startup_timer ROUNDS PROGRAM...\n", stderr);
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  std::vector<std::vector<double>> times(static_cast<size_t>(argc - 2));
  for (int round = 0; round < rounds; ++round) {
    for (int program = 2; program < argc; ++program) {
      const double took = TimeToWindow(argv[program]);
      if (took < 0) {
        std::fprintf(stderr, "%s showed no window\n", argv[program]);
        return 1;
      }
      times[static_cast<size_t>(program - 2)].push_back(took);
    }
  }
  for (size_t i = 0; i < times.size(); ++i) {
    std::printf("%s: median %.1f ms, fastest %.1f ms over %d rounds", argv[i + 2], Median(times[i]), Fastest(times[i]),
                rounds);
    if (i > 0) {
      std::printf(" (%.3f and %.3f times the first)", Median(times[i]) / Median(times[0]),
                  Fastest(times[i]) / Fastest(times[0]));
    }
    std::printf("\n");
  }
  return 0;
}
