// process_timer OUTPUT PROGRAM [ARGUMENT...]
// One run of a console program as a Windows parent starts it: the time from
// CreateProcess to the program's end, with its standard input empty and its
// standard output going to OUTPUT (NUL, or a file made afresh). Prints the
// wall time in milliseconds. scripts/bench-windows calls it once per round,
// between runs of the Linux program, so that both meet the same load of a
// shared machine.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: process_timer OUTPUT PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  // The arguments are plain paths and options: quoted, no quote inside.
  std::string command_line;
  for (int i = 2; i < argc; ++i) command_line += (i > 2 ? " \"" : "\"") + std::string(argv[i]) + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE input = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE output = ::CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "%s cannot be written: error %lu\n", argv[1], ::GetLastError());
    return 1;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  if (!::CreateProcessA(argv[2], command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "%s did not start: error %lu\n", argv[2], ::GetLastError());
    return 1;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  if (status != 0) {
    std::fprintf(stderr, "%s ended with status %lu\n", argv[2], status);
    return 1;
  }
  std::printf("%.2f\n", wall.count());
  return 0;
}
