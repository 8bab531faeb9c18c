#include "support/program_run.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/wide_text.h"
#include "test_support.h"

namespace tarn::testing {

namespace {

// One argument quoted so that the child's command-line parser splits it
// back out.
std::wstring Quote(const std::string& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : Utf8ToWide(argument)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// A console program writes its lines in text mode, ending them with CR LF;
// the tests compare lines ended by LF alone.
std::string AsText(std::string text) {
  for (size_t cr = text.find("\r\n"); cr != std::string::npos; cr = text.find("\r\n", cr)) text.erase(cr, 1);
  return text;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& input_file, Streams streams) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, &inherit, 0)) return {-1, "", ""};
  ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  HANDLE input = ::CreateFileW(input_file.empty() ? L"NUL" : Utf8ToWide(input_file).c_str(), GENERIC_READ, FILE_SHARE_READ,
                               &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  TempDir dir;
  const std::string errors_file = dir.Path("errors");
  HANDLE errors = streams == Streams::kSeparate
                      ? ::CreateFileW(Utf8ToWide(errors_file).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                      : write_end;
  std::wstring command_line = Quote(program);
  for (const std::string& argument : arguments) command_line += L" " + Quote(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = write_end;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  BOOL started = ::CreateProcessW(Utf8ToWide(program).c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process);
  ::CloseHandle(write_end);
  if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
  if (errors != write_end && errors != INVALID_HANDLE_VALUE) ::CloseHandle(errors);
  ProgramRun run{-1, "", ""};
  char buffer[4096];
  DWORD got = 0;
  while (started && ::ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
  ::CloseHandle(read_end);
  if (streams == Streams::kInterleaved) run.output = AsText(run.output);
  if (started) {
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
  }
  if (streams == Streams::kSeparate) run.errors = AsText(ReadFile(errors_file));
  return run;
}

// The input goes through a named pipe, which the program's standard input
// opens by name as it opens a file.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const PipedInput& input,
                      Streams streams) {
  static std::atomic<int> pipes;
  std::string name = "\\\\.\\pipe\\tarn-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++pipes);
  HANDLE pipe = ::CreateNamedPipeW(Utf8ToWide(name).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536,
                                   0, 0, nullptr);
  size_t piped = 0;
  std::thread feeder([&] {
    DWORD written = 0;
    bool connected = ::ConnectNamedPipe(pipe, nullptr) || ::GetLastError() == ERROR_PIPE_CONNECTED;
    for (size_t i = 0; connected && i < input.repeat; ++i) {
      if (!::WriteFile(pipe, input.text.data(), static_cast<DWORD>(input.text.size()), &written, nullptr)) break;
      piped += written;
    }
    // Until the program has read all, or has gone.
    ::FlushFileBuffers(pipe);
    ::CloseHandle(pipe);
  });
  ProgramRun run = RunProgram(program, arguments, name, streams);
  feeder.join();
  run.piped = piped;
  return run;
}

}  // namespace tarn::testing
