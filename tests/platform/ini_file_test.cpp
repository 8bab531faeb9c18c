// TIniFile keeps its writes until UpdateFile, which puts them into the file
// in one replacement.
#include "platform/portable/ini_file.h"

#include <gtest/gtest.h>

#include "expect_error.h"
#include "platform/display_text.h"
#include "platform/portable/exceptions.h"
#include "profile_fixture.h"

namespace tarn {
namespace {

using testing::ProfileFile;
using testing::ReadFile;
using testing::WriteFile;

TEST_F(ProfileFile, IniFileWritesNothingUntilUpdatedThenEverythingInOrder) {
  const std::string before = "; kept\r\n[s]\r\nb=old\r\n";
  WriteFile(file_, before);
  {
    TIniFile ini(file_);
    ini.WriteString("s", "a", "1");
    ini.WriteString("S", "B", "-5");
    ini.WriteString("t", "flag", "1");
    EXPECT_EQ(ReadProfileValue("s", "a", "none", file_), "none") << "a pending write is not in the file yet";
    EXPECT_EQ(ReadFile(file_), before);
  }
  EXPECT_EQ(ReadFile(file_), before) << "released without UpdateFile";

  TIniFile ini(file_);
  ini.WriteString("s", "a", "1");
  ini.WriteString("S", "B", "-5");
  ini.WriteString("t", "flag", "1");
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(file_), "; kept\r\n[s]\r\nb=-5\r\na=1\r\n[t]\r\nflag=1\r\n");
}

TEST_F(ProfileFile, IniFileRefusingOneWriteWritesNone) {
  const std::string before = "[s]\r\nk=v\r\n";
  WriteFile(file_, before);
  TIniFile ini(file_);
  ini.WriteString("s", "k", "changed");
  ini.WriteString("s", "bad", "two\r\nlines");
  EXPECT_THROW_MSG(ini.UpdateFile(), EIniFileException, "Unable to write to " + DisplayPath(file_));
  EXPECT_EQ(ReadFile(file_), before);
}

}  // namespace
}  // namespace tarn
