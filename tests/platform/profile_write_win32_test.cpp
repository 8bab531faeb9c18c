// Profile writes on Windows as users meet them: one file reached through
// several spellings by writers running at once, a bare name, '/'
// separators, folder names outside every ANSI code page, links, and writers
// killed at random moments, while a reader polls the file.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <random>
#include <thread>

#include "platform/file_system.h"
#include "platform/portable/profile_file.h"
#include "platform/win32/wide_text.h"
#include "support/held_file.h"
#include "support/program_run.h"
#include "test_support.h"
#include "ui/ui_test_support.h"

namespace tarn {
namespace {

using testing::FolderEntries;
using testing::FsPath;
using testing::TempDir;

constexpr int kFiller = 2000;

std::string Filler() {
  std::string text = "[S]\r\n";
  for (int i = 0; i < kFiller; ++i) text += "f" + std::to_string(i) + "=" + std::string(30, 'f') + "\r\n";
  return text;
}

// Reads the file over and over for its life, counting the reads that found
// no file and those that found a file without every line it always holds.
class Poller {
 public:
  explicit Poller(std::string path) : path_(std::move(path)), thread_([this] { Run(); }) {}
  // Stops polling; every read must have found the file, whole.
  ~Poller() {
    stop_ = true;
    thread_.join();
    EXPECT_EQ(missing_, 0) << "of " << reads_ << " reads";
    EXPECT_EQ(torn_, 0) << "of " << reads_ << " reads";
  }

 private:
  void Run() {
    const std::string last = "f" + std::to_string(kFiller - 1) + "=";
    while (!stop_) {
      std::optional<std::string> text = ReadFileBytes(path_);
      ++reads_;
      if (!text) {
        ++missing_;
      } else if (!text->starts_with("[S]\r\n") || text->find(last) == std::string::npos) {
        ++torn_;
      }
      // As often as a program could start and read its settings; while a
      // reader has the file open, Windows refuses to rename over it.
      ::Sleep(1);
    }
  }
  std::string path_;
  int reads_ = 0, missing_ = 0, torn_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

int LostFillers(const std::string& path) {
  int lost = 0;
  for (int i = 0; i < kFiller; ++i) lost += ReadProfileValue("S", "f" + std::to_string(i), "", path).empty();
  return lost;
}

std::string ShortName(const std::string& path) {
  wchar_t buffer[MAX_PATH];
  return WideToUtf8(std::wstring(buffer, ::GetShortPathNameW(Utf8ToWide(path).c_str(), buffer, MAX_PATH)));
}

// Writers of one file run `tarn-settings set` at once, each spelling the
// file its own way, while a reader polls it: the writers' lock must see one
// folder in every spelling, and the file must always be there and whole.
TEST(ProfileWriteWin32, WritersSpellingOneFileInEveryWayLoseNothing) {
  TempDir dir;
  std::filesystem::create_directory(FsPath(dir.Path("long folder name")));
  const std::string folder = dir.Path("long folder name\\");
  const std::string file = folder + "t.ini";
  std::string forward = file;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  const std::string kSpellings[] = {file, folder + ".\\t.ini", forward, "t.ini", ShortName(folder) + "t.ini",
                                    folder + "..\\long folder name\\t.ini"};
  testing::ScopedWorkingDir working(folder);
  testing::WriteFile(file, Filler());
  constexpr int kKeys = 8;
  auto key = [](size_t writer, int i) { return "w" + std::to_string(writer) + "-" + std::to_string(i); };
  std::string failures[std::size(kSpellings)];
  {
    Poller poller(file);
    std::vector<std::thread> writers;
    for (size_t w = 0; w < std::size(kSpellings); ++w) {
      writers.emplace_back([&, w] {
        for (int i = 0; i < kKeys; ++i) {
          testing::ProgramRun run =
              testing::RunProgram(testing::BuiltProgram("tarn-settings"), {"set", kSpellings[w], "S", key(w, i), "v"});
          if (run.status != 0) failures[w] += kSpellings[w] + ": " + run.output;
        }
      });
    }
    for (std::thread& writer : writers) writer.join();
  }
  int lost = 0;
  for (size_t w = 0; w < std::size(kSpellings); ++w) {
    EXPECT_EQ(failures[w], "");
    for (int i = 0; i < kKeys; ++i) lost += ReadProfileValue("S", key(w, i), "", file) != "v";
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(LostFillers(file), 0);
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"t.ini"});
}

// In a folder whose name no ANSI code page holds: a bare name, '/'
// separators, and a link, each replaced atomically (a new file each time,
// never rewritten in place) with nothing left beside it.
TEST(ProfileWriteWin32, AnySpellingOfAnyFolderIsReplacedAtomically) {
  TempDir dir;
  const std::string folder = dir.Path("\xC5\x81\xC3\xB3" "d\xC5\xBA \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE8\xA8\xAD\xE5\xAE\x9A\\");
  ASSERT_TRUE(CreateDir(folder));
  std::string forward = folder;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  testing::ScopedWorkingDir working(folder);
  for (const std::string& path : {std::string("t.ini"), forward + "t.ini"}) {
    SCOPED_TRACE(path);
    std::optional<FileIdentity> before;
    for (const char* value : {"1", "2", "3"}) {
      WriteProfileValue("s", "k", value, path);
      std::optional<FileIdentity> after = IdentifyFile(folder + "t.ini");
      ASSERT_TRUE(after.has_value());
      if (before) {
        EXPECT_NE(after->file, before->file) << "rewritten in place";
      }
      before = after;
    }
    EXPECT_EQ(ReadProfileValue("s", "k", "", folder + "t.ini"), "3");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"t.ini"});
    std::filesystem::remove(FsPath(folder + "t.ini"));
  }
}

// A virus scanner holds the file without sharing for over a second: reading
// it, and saving it, wait for the hold to end instead of failing at once or
// taking the file for a missing one.
TEST(ProfileWriteWin32, ASaveAndAReadWaitForAShortHoldWithoutSharing) {
  TempDir dir;
  std::string file = dir.Path("t.ini");
  testing::WriteFile(file, "[s]\r\nk=1\r\n");
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "read");
    testing::HeldFile held(file);
    std::thread scanner([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(1200));
      held.Release();
    });
    if (save) {
      WriteProfileValue("s", "k", "2", file);
    } else {
      EXPECT_EQ(ReadFileBytes(file), "[s]\r\nk=1\r\n");
    }
    scanner.join();
  }
  EXPECT_EQ(testing::ReadFile(file), "[s]\r\nk=2\r\n");
}

// A file that is a link keeps its link: the text goes to the target.
TEST(ProfileWriteWin32, ALinkIsWrittenThroughToItsTarget) {
  TempDir dir;
  std::string folder = dir.Dir();
  if (const char* made = std::getenv("TARN_LINK_FOLDER")) {
    // Wine's CreateSymbolicLinkW makes nothing (and says it did): the test's
    // set-up made a Linux link, which Wine shows as a link.
    folder = std::string(made) + "\\";
  } else {
    ASSERT_TRUE(CreateDir(folder + "shared"));
    testing::WriteFile(folder + "shared\\real.ini", "[s]\r\nk=1\r\n");
    ASSERT_TRUE(::CreateSymbolicLinkW(Utf8ToWide(folder + "t.ini").c_str(), L"shared\\real.ini",
                                      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE));
  }
  // Wine shows a Linux link as the file it names: both names are one file
  // before the write, and must still be after it.
  ASSERT_EQ(IdentifyFile(folder + "t.ini"), IdentifyFile(folder + "shared\\real.ini"));
  WriteProfileValue("s", "k", "2", folder + "t.ini");
  EXPECT_EQ(testing::ReadFile(folder + "shared\\real.ini"), "[s]\r\nk=2\r\n");
  EXPECT_EQ(IdentifyFile(folder + "t.ini"), IdentifyFile(folder + "shared\\real.ini"));
  EXPECT_EQ(FolderEntries(folder + "shared"), std::vector<std::string>{"real.ini"});
  // A second name of the file (a hard link) is rewritten in place, so that
  // both names keep showing one text.
  if (std::getenv("TARN_LINK_FOLDER") != nullptr) {
    WriteProfileValue("s", "k", "3", folder + "hard.ini");
    EXPECT_EQ(testing::ReadFile(folder + "shared\\real.ini"), "[s]\r\nk=3\r\n");
  }
}

// Writers ended at random moments, as a user ends a program or a machine
// loses power mid-save, while a reader polls: the file is always there and
// whole, and every key a writer finished is kept.
TEST(ProfileWriteWin32, WritersKilledAtRandomMomentsLeaveTheFileWhole) {
  TempDir dir;
  const std::string file = dir.Path("t.ini");
  testing::WriteFile(file, Filler());
  std::mt19937 random(20261208);
  std::vector<int> finished;
  {
    Poller poller(file);
    for (int i = 0; i < 100; ++i) {
      std::wstring command = Utf8ToWide("\"" + testing::BuiltProgram("tarn-settings") + "\" set \"" + file + "\" S k" +
                                        std::to_string(i) + " v");
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process{};
      ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
      ::Sleep(std::uniform_int_distribution<DWORD>(0, 120)(random));
      ::TerminateProcess(process.hProcess, 9);
      ::WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 9;
      ::GetExitCodeProcess(process.hProcess, &code);
      if (code == 0) finished.push_back(i);
      ::CloseHandle(process.hProcess);
      ::CloseHandle(process.hThread);
    }
  }
  EXPECT_EQ(LostFillers(file), 0);
  int lost = 0;
  for (int i : finished) lost += ReadProfileValue("S", "k" + std::to_string(i), "", file) != "v";
  EXPECT_EQ(lost, 0) << "of " << finished.size() << " finished writers";
  EXPECT_LE(FolderEntries(dir.Dir()).size(), 2u);
  WriteProfileValue("S", "last", "v", file);
  EXPECT_EQ(FolderEntries(dir.Dir()), std::vector<std::string>{"t.ini"});
  std::cout << finished.size() << " of 100 writers finished before they were ended\n";
}

}  // namespace
}  // namespace tarn
