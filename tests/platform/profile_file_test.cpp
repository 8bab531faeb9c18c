#include "platform/portable/profile_file.h"

#include <gtest/gtest.h>

#include "platform/display_text.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/utf8_text.h"
#include "platform/code_page.h"
#include "expect_error.h"
#include "profile_fixture.h"

namespace tarn {
namespace {

using testing::ProfileFile;
using testing::ReadFile;
using testing::WriteFile;

TEST_F(ProfileFile, NamesCompareWithoutCaseAndValuesKeepIt) {
  EXPECT_EQ(Read("[server]\r\nLOG_LEVEL=Mixed\r\n", "SERVER", "log_level"), "Mixed");
}

TEST_F(ProfileFile, BlanksAroundNamesAndValuesAreNotPartOfThem) {
  std::string file = "[ S ]\r\n  key  =   a value \t \r\n";
  EXPECT_EQ(Read(file, "S", "key"), "a value");
  EXPECT_EQ(Read(file, "  S  ", "  key "), "a value");
  EXPECT_EQ(Read(file, "S\t", "key"), "<none>");  // a tab in an argument stays
}

TEST_F(ProfileFile, OneOuterPairOfMatchingQuotesIsStripped) {
  std::string file = "[s]\na=\" x \"\nb='y'\nc=\"z'\nd=\"\ne=\"\"q\"\"\nf=\"\n";
  EXPECT_EQ(Read(file, "s", "a"), " x ");
  EXPECT_EQ(Read(file, "s", "b"), "y");
  EXPECT_EQ(Read(file, "s", "c"), "\"z'");
  EXPECT_EQ(Read(file, "s", "d"), "\"");
  EXPECT_EQ(Read(file, "s", "e"), "\"q\"");
  EXPECT_EQ(Read("[\"s\"]\n\"k\"=v\n", "\"s\"", "\"k\""), "v");  // names keep their quotes
}

TEST_F(ProfileFile, CommentsAndLinesThatAreNotKeys) {
  std::string file = "k=before\n[s]\n;k=comment\n  ;x=1\nk;=semi\nk#=hash\nno equals\nk=v\n";
  EXPECT_EQ(Read(file, "s", "k"), "v");
  EXPECT_EQ(Read(file, "s", ";k"), "<none>");
  EXPECT_EQ(Read(file, "s", ";x"), "<none>");
  EXPECT_EQ(Read(file, "s", "k;"), "semi");
  EXPECT_EQ(Read(file, "s", "k#"), "hash");
  EXPECT_EQ(Read(file, "s", "no equals"), "<none>");
}

TEST_F(ProfileFile, SectionHeaderForms) {
  EXPECT_EQ(Read("[a] trailing text\nk=1\n", "a", "k"), "1");
  EXPECT_EQ(Read("[open header\nk=2\n", "open header", "k"), "2");
  EXPECT_EQ(Read("[]\nk=3\n", "", "k"), "3");
  EXPECT_EQ(Read("[a]b]\nk=4\n", "a", "k"), "4");
}

TEST_F(ProfileFile, FirstSectionAndFirstKeyWin) {
  std::string file = "[s]\nk=1\nk=2\n[t]\nk=3\n[S]\nk=4\nj=5\n";
  EXPECT_EQ(Read(file, "s", "k"), "1");
  EXPECT_EQ(Read(file, "s", "j"), "<none>");  // a repeated section is never searched
  EXPECT_EQ(Read(file, "t", "k"), "3");
}

TEST_F(ProfileFile, DefaultsAndEmptyValues) {
  EXPECT_EQ(ReadProfileValue("s", "k", "dflt  ", dir_.Path("missing.ini")), "dflt");
  EXPECT_EQ(Read("[s]\nk=\n", "s", "k"), "");
  EXPECT_EQ(Read("[s]\nk=\n", "s", "other", "  d  "), "  d");
  EXPECT_EQ(Read("[s]\n", "t", "k"), "<none>");
}

// A load reads the file once and sees that one version, whatever a writer
// does meanwhile; Find tells a missing key from an empty value.
TEST_F(ProfileFile, ASnapshotAnswersForTheFileAsItWasRead) {
  WriteFile(file_, "[s]\r\nk=1\r\ne=\r\n");
  ProfileSnapshot snapshot = ProfileSnapshot::Read(file_);
  WriteProfileValue("s", "k", "2", file_);
  EXPECT_EQ(snapshot.Value("S", "K", "d"), "1");
  EXPECT_EQ(snapshot.Find("s", "e"), "");
  EXPECT_EQ(snapshot.Find("s", "missing"), std::nullopt);
  EXPECT_EQ(ProfileSnapshot(std::nullopt).Value("s", "k", "d "), "d");
}

TEST_F(ProfileFile, ValuesAreCutAt2047Characters) {
  std::string long_value(3000, 'v');
  EXPECT_EQ(Read("[s]\nk=" + long_value + "\n", "s", "k"), std::string(2047, 'v'));
}

TEST_F(ProfileFile, EveryLineEndAndNoFinalNewline) {
  std::string file = "[s]\r\na=1\nb=2\rc=3\r\nd=4";
  EXPECT_EQ(Read(file, "s", "a"), "1");
  EXPECT_EQ(Read(file, "s", "b"), "2");
  EXPECT_EQ(Read(file, "s", "c"), "3");
  EXPECT_EQ(Read(file, "s", "d"), "4");
}

TEST_F(ProfileFile, Utf8ByteOrderMarkIsSkipped) {
  EXPECT_EQ(Read("\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k"), "v");
  EXPECT_EQ(Write("\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "w"), "\xEF\xBB\xBF[s]\r\nk=w\r\n");
}

// UTF-16 text with its byte-order mark, from UTF-8.
std::string Utf16(std::string_view utf8, bool big_endian = false) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// A file that starts with a UTF-16 mark is read as Unicode text, in either
// byte order; what the program's code page lacks comes as the platform's
// conversion gives it.
TEST_F(ProfileFile, UnicodeFilesAreReadInTheProgramsCodePage) {
  const std::string text = "; \xCE\xA3\xCF\x87\xCF\x8C\xCE\xBB\xCE\xB9\xCE\xBF\r\n[Se\xC3\xA7\xC3\xA3o]\r\n"
                           "caf\xC3\xA9=\"\xE2\x82\xAC 5 \xCE\xA9\"\r\nlast=x";
  const std::string omega = WideToAnsi(u"\u03A9");
  for (bool big_endian : {false, true}) {
    EXPECT_EQ(Read(Utf16(text, big_endian), "SE\xE7\xE3O", "CAF\xE9"), "\x80 5 " + omega);
    EXPECT_EQ(Read(Utf16(text, big_endian), "se\xE7\xE3o", "last"), "x");
    EXPECT_EQ(Read(Utf16(text, big_endian), "se\xE7\xE3o", "missing"), "<none>");
  }
}

// A write keeps a Unicode file Unicode, in its byte order and with its
// mark, and every other character of it, whatever the code page lacks.
TEST_F(ProfileFile, UnicodeFilesStayUnicodeWhenWritten) {
  const std::string comment = "; \xCE\xA3\xCF\x87\xCF\x8C\xCE\xBB\xCE\xB9\xCE\xBF \xF0\x9F\x93\x81\n";
  const ProfileEntry entries[] = {{"s", "k", "caf\xE9"}, {"t", "new", "\x80"}};
  for (bool big_endian : {false, true}) {
    WriteFile(file_, Utf16(comment + "[s]\r\nk=1\r\n", big_endian));
    WriteProfileValues(file_, entries);
    EXPECT_EQ(ReadFile(file_), Utf16(comment + "[s]\r\nk=caf\xC3\xA9\r\n[t]\r\nnew=\xE2\x82\xAC\r\n", big_endian));
  }
  // A value the code page cannot hold reads as its nearest text, and
  // writing that text back (an unchanged field) keeps what is stored.
  const std::string stored = Utf16("[s]\r\nk=\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n");
  WriteFile(file_, stored);
  ProfileSnapshot read(stored);
  EXPECT_TRUE(read.Altered("s", "k"));
  WriteProfileValue("s", "k", *read.Find("s", "k"), file_);
  EXPECT_EQ(ReadFile(file_), stored);
  // A new file, and one without the mark, are 8-bit text.
  EXPECT_EQ(Write("", "s", "k", "caf\xE9"), "[s]\r\nk=caf\xE9\r\n");
}

// Bytes that are not whole UTF-16 units could not be written back as they
// were: the write fails and the file is unchanged, never made a mixed file.
TEST_F(ProfileFile, AUnicodeFileThatCannotBeKeptIsNotWritten) {
  const std::string odd = Utf16("[s]\r\nk=1\r\n") + "\x01";
  EXPECT_EQ(Read(odd, "s", "k"), "1");
  EXPECT_THROW(WriteProfileValue("s", "k", "2", file_), EIniFileException);
  EXPECT_EQ(ReadFile(file_), odd);
}

TEST_F(ProfileFile, NewFileSectionsAndKeysAreAppendedInOrder) {
  std::string path = dir_.Path("new.ini");
  WriteProfileValue("A", "one", "1", path);
  WriteProfileValue("B", "two", "2", path);
  WriteProfileValue("A", "three", "3", path);
  WriteProfileValue("A", "four", "", path);
  EXPECT_EQ(ReadFile(path), "[A]\r\none=1\r\nthree=3\r\nfour=\r\n[B]\r\ntwo=2\r\n");
}

TEST_F(ProfileFile, SeveralEntriesLandAsSingleWritesWouldInOneReplacement) {
  std::string before = "; top\n[A]\r\nTwo=x\n";
  WriteFile(file_, before);
  const ProfileEntry entries[] = {{"A", "one", "1"}, {"B", "two", "2"}, {"A", "TWO", "3"}, {" A ", " four ", ""}};
  WriteProfileValues(file_, entries);
  std::string together = ReadFile(file_);
  WriteFile(file_, before);
  for (const ProfileEntry& entry : entries) WriteProfileValue(entry.section, entry.key, entry.value, file_);
  EXPECT_EQ(together, ReadFile(file_));
  EXPECT_EQ(together, "; top\n[A]\r\nTwo=3\none=1\r\nfour=\r\n[B]\r\ntwo=2\r\n");
}

TEST_F(ProfileFile, OneUnwritableEntryLeavesTheFileAsItWas) {
  std::string before = "[s]\r\nk=1\r\n";
  WriteFile(file_, before);
  const ProfileEntry entries[] = {{"s", "k", "2"}, {"s", "j", "a\nb"}};
  EXPECT_THROW_MSG(WriteProfileValues(file_, entries), EIniFileException, "Unable to write to " + DisplayPath(file_));
  EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(ProfileFile, NewKeyGoesAfterTheLastKeyOfItsSection) {
  EXPECT_EQ(Write("[s]\nk=1\n\n; note\n[t]\nx=1\n", "s", "new", "v"),
            "[s]\nk=1\nnew=v\r\n\n; note\n[t]\nx=1\n");
  EXPECT_EQ(Write("[s]\n[t]\n", "s", "k", "v"), "[s]\nk=v\r\n[t]\n");
}

TEST_F(ProfileFile, MissingFinalLineBreakIsInsertedBeforeNewText) {
  EXPECT_EQ(Write("[s]\r\nk=1", "s", "j", "2"), "[s]\r\nk=1\r\nj=2\r\n");
  EXPECT_EQ(Write("[s]\r\nk=1", "t", "j", "2"), "[s]\r\nk=1\r\n[t]\r\nj=2\r\n");
}

TEST_F(ProfileFile, ExistingKeyChangesInItsOwnLineAndEverythingElseStays) {
  std::string before = "; top\n[Server]\r\n  Log_Level = 1 \r\nUnknown=x\n\n[Other]\nlog_level=9\n";
  EXPECT_EQ(Write(before, "SERVER", "log_level", "3"),
            "; top\n[Server]\r\nLog_Level=3\r\nUnknown=x\n\n[Other]\nlog_level=9\n");
}

TEST_F(ProfileFile, NamesLoseSpacesAndValuesAreWrittenAsGiven) {
  EXPECT_EQ(Write("", "  s  ", " k ", " \"v\" "), "[s]\r\nk= \"v\" \r\n");
}

TEST_F(ProfileFile, WritesThatCouldNotBeReadBackAreRefusedAndTheFileIsUnchanged) {
  std::string before = "[s]\r\nk=1\r\n";
  WriteFile(file_, before);
  struct Entry {
    const char* section;
    const char* key;
    const char* value;
  };
  for (Entry entry : {Entry{"s", "k", "a\r\n[evil]\r\nx=1"}, Entry{"s", "k", "a\nb"}, Entry{"s", "k", "a\rb"},
                      Entry{"s\n", "k", "v"}, Entry{"s", "k\r", "v"}, Entry{"s", "a=b", "v"}, Entry{"s", ";k", "v"},
                      Entry{"s", "[k", "v"}, Entry{"s]", "k", "v"}, Entry{"s", "k\t", "v"}, Entry{"\ts", "k", "v"}}) {
    EXPECT_THROW_MSG(WriteProfileValue(entry.section, entry.key, entry.value, file_), EIniFileException, "Unable to write to " + DisplayPath(file_));
  }
  EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(ProfileFile, AFileInPlaceOfADirectoryFailsTheWrite) {
  WriteFile(dir_.Path("plain"), "not a directory");
  std::string path = dir_.Path("plain/settings.ini");
  EXPECT_THROW_MSG(WriteProfileValue("s", "k", "v", path), EIniFileException, "Unable to write to " + DisplayPath(path));
  EXPECT_EQ(ReadFile(dir_.Path("plain")), "not a directory");
}

}  // namespace
}  // namespace tarn
