// tarnconfig.exe itself, copied into folders whose names hold characters
// outside Windows-1252, as a user would place it, and started there: its
// window's caption shows the folder by its real name.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <filesystem>
#include <string>
#include <thread>

#include "test_support.h"

namespace tarn::testing {
namespace {

constexpr auto kPatience = std::chrono::seconds(30);

// The visible top-level window of `process`, waited for, or null.
HWND ShownWindowOf(DWORD process) {
  struct Search {
    DWORD process;
    HWND found;
  } search{process, nullptr};
  for (auto deadline = std::chrono::steady_clock::now() + kPatience; std::chrono::steady_clock::now() < deadline;) {
    ::EnumWindows(
        [](HWND window, LPARAM context) {
          auto* search = reinterpret_cast<Search*>(context);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(window, &owner);
          if (owner != search->process || !::IsWindowVisible(window)) return TRUE;
          search->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

std::wstring CaptionOf(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Starts `program` in its own folder and returns its window's caption, then
// closes the window as the title bar's close button does.
std::wstring CaptionOfProgram(const std::filesystem::path& program) {
  std::wstring command_line = L"\"" + program.wstring() + L"\"";
  std::wstring folder = program.parent_path().wstring();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
    ADD_FAILURE() << "the program did not start: error " << ::GetLastError();
    return {};
  }
  std::wstring caption;
  if (HWND window = ShownWindowOf(process.dwProcessId)) {
    caption = CaptionOf(window);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  } else {
    ADD_FAILURE() << "the program showed no window";
  }
  auto patience = static_cast<DWORD>(std::chrono::milliseconds(kPatience).count());
  if (::WaitForSingleObject(process.hProcess, patience) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the program did not end once its window closed";
    ::TerminateProcess(process.hProcess, 1);
  }
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return caption;
}

TEST(TarnconfigWin32, CaptionShowsTheFoldersRealName) {
  Sandbox registry;
  TempDir root;
  for (const char* name : {"Łódź", "Ωμέγα 東京"}) {
    const std::filesystem::path folder = FsPath(root.Path(name));
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(TARN_TARNCONFIG, folder / L"tarnconfig.exe");
    EXPECT_EQ(CaptionOfProgram(folder / L"tarnconfig.exe"), L"Configura\u00E7\u00F5es - " + folder.wstring() + L"\\");
  }
}

// A program of the graphical kind has no console: with its output sent to a
// file, --help and --version answer there without a window, and anything
// else is a wrong command line. A file of its own for each run, not a pipe:
// under Wine the desktop process that a graphical program may start keeps
// what it inherited open.
TEST(TarnconfigWin32, AnswersItsCommandLineWhereItsOutputGoesWithoutAWindow) {
  TempDir dir;
  struct Case {
    const wchar_t* argument;
    DWORD status;
    std::string output;
  };
  for (const Case& c : {Case{L"--version", 0, "tarnconfig " TARN_VERSION "\n"},
                        Case{L"--help", 0, "usage: tarnconfig\n\nOpens"}, Case{L"--bogus", 2, "usage: tarnconfig\n"}}) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    std::string out = dir.Path(std::to_string(c.status) + std::to_string(std::wcslen(c.argument)) + ".txt");
    HANDLE file = ::CreateFileW(FsPath(out).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    std::wstring command_line = L"tarnconfig.exe " + std::wstring(c.argument);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(FsPath(TARN_TARNCONFIG).c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                                 nullptr, nullptr, &startup, &process));
    ::CloseHandle(file);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    EXPECT_EQ(status, c.status) << c.argument;
    EXPECT_TRUE(ReadFile(out).starts_with(c.output)) << ReadFile(out);
  }
}

}  // namespace
}  // namespace tarn::testing
