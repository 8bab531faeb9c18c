// The administrators' companion, run as a separate program from a folder of
// its own, as an administrator would run it.
#include <gtest/gtest.h>

#include <random>

#include "platform/display_text.h"
#include "platform/portable/command_line.h"
#include "platform/portable/utf8_text.h"
#include "settings_fixture.h"
#include "support/held_file.h"
#include "support/program_run.h"

namespace tarn {
namespace {

using Outcome = testing::ProgramRun;

class TarnSettings : public testing::SettingsTest {
 protected:
  void SetUp() override {
    std::string name = "tarn-settings" + testing::kProgramSuffix;
    std::filesystem::copy_file(testing::FsPath(std::string(std::getenv("TARN_BIN_DIR")) + testing::kSep + name),
                               testing::FsPath(program_));
  }
  Outcome Execute(const std::vector<std::string>& arguments) { return testing::RunProgram(program_, arguments); }
  std::string program_ = sandbox_.Path("tarn-settings" + testing::kProgramSuffix);
};

TEST_F(TarnSettings, PrintsEveryLoadedValueInLoadOrder) {
  WriteIni("tarnserver.ini", "[SERVER]\r\nmax_tasks=70000\r\ndebug_mem=2\r\n[QUORVAN]\r\nRangeIndex=2\r\nRangeMax=4\r\n");
  WriteIni("tarnclient.ini", "[CLIENT]\r\nUSERTIMEOUT=0\r\n");
  WriteRegistry("CLIENT", "TIMEOUT", "120000");
  Outcome run = Execute({});
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(run.output.starts_with("SERVER.task_governor_interval=30000\nSERVER.debug_mem=1\n")) << run.output;
  for (const char* line : {"\nSERVER.max_tasks=4464\n", "\nSERVER.ip_version=4\n", "\nQUORVAN.RangeLow=536750000\n",
                           "\nQUORVAN.RangeHigh=1073500000\n", "\nCLIENT.TIMEOUT=120000\n",
                           "\nCLIENT.USERTIMEOUT=1800000\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line;
  }
  EXPECT_NE(run.output.find("\nQUORVAN.CounterPath=" + TerminalText(DisplayPath(Dir())) + "\n"), std::string::npos);
  EXPECT_LT(run.output.find("SERVER.WorkersPerCore"), run.output.find("QUORVAN.CounterPath"));
  EXPECT_LT(run.output.find("QUORVAN.RangeHigh"), run.output.find("CLIENT.DEBUG"));
  EXPECT_EQ(run.output.find("ForceLogWrites"), std::string::npos) << "the window writes it; no load reads it";
}

TEST_F(TarnSettings, ALoadFailureIsReportedWithStatusOne) {
  WriteRegistryDword("CLIENT", "DEBUG", 1);
  Outcome run = Execute({});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "ERegistryException: Invalid data type for 'DEBUG'\n");
}

// A settings file that another program holds would list as defaults: the
// listing and get fail with the file and the reason instead.
TEST_F(TarnSettings, AFileThatCannotBeReadFailsTheListingAndGet) {
  WriteIni("tarnclient.ini", "[CLIENT]\r\nTIMEOUT=120000\r\n");
  std::string file = sandbox_.Path("tarnclient.ini");
  testing::HeldFile held(file);
  for (const auto& arguments : {std::vector<std::string>{}, {"get", file, "CLIENT", "TIMEOUT", "0"}}) {
    Outcome run = Execute(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output.find("TIMEOUT"), std::string::npos) << run.output;
    EXPECT_TRUE(run.output.starts_with("tarn-settings: " + TerminalText(DisplayPath(file)) + ": ")) << run.output;
  }
}

TEST_F(TarnSettings, GetsAndSetsOneProfileValue) {
  std::string file = sandbox_.Path("x.ini");
  EXPECT_EQ(Execute({"set", file, "CLIENT", "TIMEOUT", "300000"}).status, 0);
  EXPECT_EQ(Execute({"get", file, "client", "timeout"}).output, "300000\n");
  EXPECT_EQ(Execute({"get", file, "client", "missing", "fallback"}).output, "fallback\n");
  EXPECT_EQ(testing::ReadFile(file), "[CLIENT]\r\nTIMEOUT=300000\r\n");
  // Text a script would take for the value and store: refused.
  using namespace std::string_literals;
  testing::WriteFile(file, "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\x41\x01\r\0\n\0"s);
  Outcome altered = Execute({"get", file, "S", "K"});
  EXPECT_EQ(altered.status, 1);
  EXPECT_EQ(altered.output, "tarn-settings: K: its value in " + TerminalText(DisplayPath(file)) +
                                " has characters that the program's code page cannot hold\n");
  std::string missing = sandbox_.Path("n\xC3\xA3o" + testing::kSep + "such" + testing::kSep + "dir.ini");
  Outcome failed = Execute({"set", missing, "S", "K", "V"});
  EXPECT_EQ(failed.status, 1);
  // The system's reason follows, here that the folder is missing.
  std::string refusal = "EIniFileException: Unable to write to " + TerminalText(DisplayPath(missing)) + ": ";
  EXPECT_TRUE(failed.output.starts_with(refusal) && failed.output.size() > refusal.size() + 1) << failed.output;
}

// A listing only reads: no registry key, no registry file, no folder.
TEST_F(TarnSettings, TheListingCreatesNothing) {
  Outcome run = Execute({});
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_FALSE(TRegistry().KeyExists("SOFTWARE\\KESSLAN\\ORVIK"));
  EXPECT_FALSE(std::filesystem::exists(testing::FsPath(sandbox_.Path("config"))));
}

// Without a default, a script tells a missing value from an empty one by
// the status; with one, it gets the default.
TEST_F(TarnSettings, GetWithoutADefaultFailsForAMissingFileSectionOrKey) {
  WriteIni("x.ini", "[S]\r\nempty=\r\n");
  const std::string file = sandbox_.Path("x.ini");
  const std::string missing = sandbox_.Path("missing.ini");
  auto not_found = [](const char* key, const std::string& in) {
    return "tarn-settings: " + std::string(key) + ": not found in " + TerminalText(DisplayPath(in)) + "\n";
  };
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output;
  };
  for (const Case& c : {
           Case{{"get", file, "s", "EMPTY"}, 0, "\n"},
           Case{{"get", file, "S", "K"}, 1, not_found("K", file)},
           Case{{"get", file, "T", "empty"}, 1, not_found("empty", file)},
           Case{{"get", missing, "S", "empty"}, 1, not_found("empty", missing)},
           Case{{"get", missing, "S", "empty", "fallback"}, 0, "fallback\n"},
       }) {
    Outcome run = Execute(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments[1] << " " << c.arguments[3];
    EXPECT_EQ(run.output, c.output);
  }
  // A file that is there but cannot be read gives the system's reason.
  std::filesystem::create_directory(testing::FsPath(sandbox_.Path("work")));
  Outcome run = Execute({"get", sandbox_.Path("work"), "S", "K"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.output.starts_with("tarn-settings: " + TerminalText(DisplayPath(sandbox_.Path("work"))) + ": "))
      << run.output;
  EXPECT_EQ(run.output.find("not found"), std::string::npos) << run.output;
}

// What is typed (UTF-8 here, wide text on a Windows command line) is stored
// as the program's Windows-1252 text and printed back in the user's
// character set; to a pipe, control characters and all, as stored.
TEST_F(TarnSettings, TextCrossesTheTerminalsEncodingBothWays) {
  const std::string file = sandbox_.Path("x.ini");
  EXPECT_EQ(Execute({"set", file, "S", "K", "a\xC3\xA7\xC3\xA3o"}).status, 0);
  EXPECT_EQ(testing::ReadFile(file), "[S]\r\nK=a\xE7\xE3o\r\n");
  EXPECT_EQ(Execute({"get", file, "S", "K"}).output, TerminalText("a\xE7\xE3o") + "\n");

  WriteIni("x.ini", "[S]\r\nK=a\x1B[31mb\tc\x7F\\t\r\n");
  EXPECT_EQ(Execute({"get", file, "S", "K"}).output, "a\x1B[31mb\tc\x7F\\t\n");
}

// Text that is not text of the user's character set, or that Windows-1252
// cannot hold, is refused; the file keeps what it had.
TEST_F(TarnSettings, TypedTextTheCodePageCannotHoldIsRefused) {
  struct Case {
    std::string typed, message;
  };
  std::vector<Case> cases = {{"\xCE\xA9", "EConvertError: '?' holds characters that Windows-1252 cannot hold\n"}};
#ifndef _WIN32
  cases.push_back({"a\xC3", "EConvertError: '" + TerminalText("a\xC3") + "' is not UTF-8 text\n"});
#endif
  WriteIni("x.ini", "[S]\r\nK=v\r\n");
  for (const Case& c : cases) {
    Outcome refused = Execute({"set", sandbox_.Path("x.ini"), "S", "K", c.typed});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, c.message);
  }
  EXPECT_EQ(testing::ReadFile(sandbox_.Path("x.ini")), "[S]\r\nK=v\r\n");
}

// The bytes a user types for text that the program printed: on Windows
// UTF-8, which the test's runner turns into the wide command line.
std::string Typed(const std::string& printed) {
#ifdef _WIN32
  return AnsiToUtf8(printed);
#else
  return printed;
#endif
}

// Values that files hold and users type: every Windows-1252 byte but NUL and
// the line breaks, blanks and quotes at the ends, lengths past the 2,047
// characters that the window reads, and more drawn from a fixed seed.
std::vector<std::string> GeneratedValues() {
  std::string every;
  for (int c = 1; c < 256; ++c) {
    if (c != '\r' && c != '\n') every += static_cast<char>(c);
  }
  std::vector<std::string> values = {"",         "a\tb",      "a\\tb",       " lead",  "trail\t",
                                     "\"both\"", "'single'", "\" inside ' ", "\"",     "'\"",
                                     every,      std::string(2047, 'x') + "\xE7", std::string(5000, '\x81')};
  std::mt19937 random(33);
  for (int i = 0; i < 24; ++i) {
    std::string value(random() % 64, ' ');
    for (char& c : value) c = every[random() % every.size()];
    values.push_back(value);
  }
  return values;
}

// What get prints, set stores back byte for byte, both for a value set
// before and for one a file spells its own way; and what set stores, get
// prints back exactly.
TEST_F(TarnSettings, EveryValueComesBackExactly) {
  const std::string file = sandbox_.Path("x.ini");
  auto get = [&] { return testing::RunProgram(program_, {"get", file, "S", "K"}, "", testing::Streams::kSeparate); };
  for (const std::string& value : GeneratedValues()) {
    SCOPED_TRACE(EscapeControlCharacters(value.substr(0, 80)));
    for (const std::string& spelled : {std::string(), "K=" + value}) {
      WriteIni("x.ini", "[S]\r\n" + spelled + "\r\n");
      if (spelled.empty()) {
        ASSERT_EQ(Execute({"set", file, "S", "K", Typed(TerminalText(value))}).status, 0);
      }
      std::string stored = testing::ReadFile(file);
      Outcome printed = get();
      ASSERT_EQ(printed.status, 0) << printed.errors;
      if (spelled.empty()) {
        EXPECT_EQ(printed.output, TerminalText(value) + "\n");
      }
      ASSERT_TRUE(printed.output.ends_with('\n'));
      printed.output.pop_back();
      Outcome set = Execute({"set", file, "S", "K", Typed(printed.output)});
      EXPECT_EQ(set.status, 0) << set.output;
      EXPECT_EQ(testing::ReadFile(file), stored);
    }
  }
}

// dump prints both files as a document that load takes back, with where
// the values the files lack come from; load writes only the keys it names
// and tells by its status whether anything changed; --check shows the
// change as a unified diff and makes none.
TEST_F(TarnSettings, DumpAndLoadCarryBothFiles) {
  const std::string client = sandbox_.Path("tarnclient.ini"), server = sandbox_.Path("tarnserver.ini");
  const std::string document = sandbox_.Path("site.ini");
  WriteIni("tarnclient.ini", "; kept\r\n[CLIENT]\r\nTIMEOUT=120000\r\nFORCEADDRESS=\" a \"\r\n[OTHER]\r\nk=v\r\n");
  WriteRegistry("SERVER", "log_level", "7");
  auto run = [&](const std::vector<std::string>& arguments, const std::string& input = "") {
    return testing::RunProgram(program_, arguments, input, testing::Streams::kSeparate);
  };
  Outcome dump = run({"dump", Dir()});
  ASSERT_EQ(dump.status, 0) << dump.errors;
  for (const char* part : {"\n; tarnserver.ini is missing.\n[tarnserver.ini:SERVER]\n; Not in the file; from the registry",
                           "\n;log_level=7\n; Not in the file; the defaults:\n;task_governor_interval=30000\n",
                           "\n[tarnclient.ini:CLIENT]\nTIMEOUT=120000\nFORCEADDRESS=\" a \"\n; Not in the file; the defaults",
                           "\n[tarnclient.ini:OTHER]\nk=v\n"}) {
    EXPECT_NE(dump.output.find(part), std::string::npos) << part << " in\n" << dump.output;
  }
  testing::WriteFile(document, dump.output);
  EXPECT_EQ(run({"load", "--check", document, Dir()}).status, 0) << "a dump loads back unchanged";

  const std::string before = testing::ReadFile(client);
  testing::WriteFile(document, "[tarnclient.ini:CLIENT]\ntimeout = 5\n-FORCEADDRESS\n[tarnserver.ini:SERVER]\nlog_level=2\n");
  Outcome check = run({"load", "--check", "-", Dir()}, document);
  EXPECT_EQ(check.status, 3) << check.errors;
  EXPECT_EQ(check.output, "--- " + TerminalText(DisplayPath(client)) + "\n+++ " + TerminalText(DisplayPath(client)) +
                              "\n@@ -1,6 +1,5 @@\n ; kept\n [CLIENT]\n-TIMEOUT=120000\n-FORCEADDRESS=\" a \"\n+TIMEOUT=5\n"
                              " [OTHER]\n k=v\n--- /dev/null\n+++ " + TerminalText(DisplayPath(server)) +
                              "\n@@ -0,0 +1,2 @@\n+[SERVER]\n+log_level=2\n");
  EXPECT_EQ(testing::ReadFile(client), before);
  EXPECT_FALSE(std::filesystem::exists(testing::FsPath(server)));
  EXPECT_EQ(run({"load", document, Dir()}).status, 3);
  EXPECT_EQ(testing::ReadFile(client), "; kept\r\n[CLIENT]\r\nTIMEOUT=5\r\n[OTHER]\r\nk=v\r\n");
  EXPECT_EQ(testing::ReadFile(server), "[SERVER]\r\nlog_level=2\r\n");
  auto written = std::filesystem::last_write_time(testing::FsPath(client));
  EXPECT_EQ(run({"load", document, Dir()}).status, 0) << "the second load changes nothing";
  EXPECT_EQ(std::filesystem::last_write_time(testing::FsPath(client)), written);

  // A document that cannot be read names its line and changes nothing.
  const std::string after = testing::ReadFile(client);
  for (const auto& [text, why] : std::vector<std::pair<std::string, std::string>>{
           {"TIMEOUT=1\n", "line 1: a key before the first [FILE:SECTION]"},
           {"[CLIENT]\n", "line 1: a section's header is [FILE:SECTION], FILE a name in the folder"},
           {"[tarnclient.ini:CLIENT]\r\nTIMEOUT=1\r\nDEBUG\r\n", "line 3: neither [FILE:SECTION], KEY=VALUE, -KEY nor a comment"},
           {"[tarnclient.ini:CLIENT]\nA=1\n[tarnclient.ini:client]\na=2\n", "line 4: a is named twice in [tarnclient.ini:client]"}}) {
    testing::WriteFile(document, text);
    Outcome refused = run({"load", document, Dir()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.errors, "EDocumentError: " + TerminalText(DisplayPath(document)) + ", " + why + "\n");
  }
  EXPECT_EQ(testing::ReadFile(client), after);
}

#ifndef _WIN32
// A locale of ISO-8859-1 (Latin-1), which lacks the euro sign of
// Windows-1252: typed text and printed values are Latin-1 bytes there.
TEST_F(TarnSettings, TextFollowsTheLocalesCharacterSet) {
  testing::TempDir locales;
  std::string made = "localedef -i pt_BR -f ISO-8859-1 \"" + locales.Path("pt_BR.ISO-8859-1") + "\" >/dev/null 2>&1";
  if (std::system(made.c_str()) != 0) GTEST_SKIP() << "localedef could not make pt_BR.ISO-8859-1";
  testing::ScopedEnv locpath("LOCPATH", locales.Dir()), locale("LC_ALL", "pt_BR.ISO-8859-1");
  const std::string file = sandbox_.Path("x.ini");
  EXPECT_EQ(Execute({"set", file, "S", "K", "a\xE7\xE3o"}).output, "");
  EXPECT_EQ(testing::ReadFile(file), "[S]\r\nK=a\xE7\xE3o\r\n");
  EXPECT_EQ(Execute({"get", file, "S", "K"}).output, "a\xE7\xE3o\n");
  WriteIni("x.ini", "[S]\r\nK=5 \x80\r\n");
  Outcome euro = Execute({"get", file, "S", "K"});
  EXPECT_EQ(euro.status, 1);
  // (The folder's name shows in Latin-1 too, with '?' for what it lacks.)
  EXPECT_TRUE(euro.output.starts_with("tarn-settings: K: its value in ") &&
              euro.output.ends_with("x.ini has characters that ISO-8859-1 cannot hold\n"))
      << euro.output;
}
#endif

}  // namespace
}  // namespace tarn
