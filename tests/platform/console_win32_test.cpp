// Program text on a Windows console: the console shows its own (OEM) code
// page's bytes, so the companions write wide text to it, and every
// character reaches the screen as the program means it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

// A console of the test's own, which the programs it starts write to.
class OwnConsole {
 public:
  OwnConsole() {
    ::FreeConsole();
    ::AllocConsole();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    screen_ = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr);
  }
  ~OwnConsole() {
    ::CloseHandle(screen_);
    ::FreeConsole();
  }
  OwnConsole(const OwnConsole&) = delete;
  OwnConsole& operator=(const OwnConsole&) = delete;

  // Runs a companion with its standard output and error on the console.
  void Run(const std::string& program, const std::string& arguments) {
    std::wstring path = Utf8ToWide(testing::BuiltProgram(program));
    std::wstring command_line = L"\"" + path + L"\" " + Utf8ToWide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = startup.hStdError = screen_;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
      return;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }

  // What the screen shows on a line, without its trailing blanks.
  std::wstring Line(short row) const {
    wchar_t text[200] = {};
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen_, text, 200, COORD{0, row}, &read);
    std::wstring line(text, read);
    return line.erase(line.find_last_not_of(L' ') + 1);
  }

 private:
  HANDLE screen_ = INVALID_HANDLE_VALUE;
};

TEST(CommandLineWin32, ProgramTextReachesAConsoleAsTheProgramMeansIt) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("t.ini"), "[S]\r\nk=Configura\xE7\xE3o \x80 \xAB\x81\xBB\r\n");
  OwnConsole console;
  console.Run("tarn-settings", "get \"" + dir.Path("t.ini") + "\" S k");
  EXPECT_EQ(console.Line(0), L"Configura\u00E7\u00E3o \u20AC \u00AB\\u0081\u00BB");
}

}  // namespace
}  // namespace tarn
