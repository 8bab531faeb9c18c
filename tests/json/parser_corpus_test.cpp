// The parser's cases as files: tests/json/corpus/accepted/ holds texts that
// must parse, refused/ texts that must fail. Each file is the text, then its
// expectation on the last lines:
//
//   => [1,2]                               the compact text the tree writes
//   => (none)                              no root (an empty text)
//     ^ TJSONError: Empty element at position 3
//                                          the error, in both modes
//     ^ tree: ...   ^ events: ...          the error of one mode
//
// The caret stands under the byte of the text's last line where the error
// is reported (the end of the text when the message names no position);
// control characters in a message are written as \n, \t, \r, \u001B.
// Accepted texts are read in both modes, written, and read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "json/event_tree.h"
#include "json/json_parser.h"

namespace tarn {
namespace {

struct Expectation {
  std::string mode;     // "tree", "events" or "" for both
  size_t caret;         // offset in the text
  std::string outcome;  // "Class: message", or the written text
};

struct Case {
  std::string name;
  std::string text;
  std::vector<Expectation> expected;
};

std::filesystem::path CorpusDir() { return std::filesystem::path(std::getenv("TARN_SOURCE_DIR")) / "tests/json/corpus"; }

Case ReadCase(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  Case c{file.filename().string(), "", {}};
  // The expectations are the last lines that look like one.
  static const std::regex kExpectation(R"(( *)\^ (?:(tree|events): )?(.*)|=> (.*))");
  std::smatch match;
  while (!lines.empty() && std::regex_match(lines.back(), match, kExpectation)) {
    std::string outcome = match[4].matched ? match[4].str() : match[3].str();
    c.expected.insert(c.expected.begin(), {match[2].str(), static_cast<size_t>(match[1].length()), outcome});
    lines.pop_back();
  }
  for (size_t i = 0; i < lines.size(); ++i) c.text += (i == 0 ? "" : "\n") + lines[i];
  size_t last_line = c.text.rfind('\n');
  for (Expectation& e : c.expected) e.caret += last_line == std::string::npos ? 0 : last_line + 1;
  return c;
}

std::vector<Case> ReadCases(const char* folder) {
  std::vector<Case> cases;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir() / folder)) cases.push_back(ReadCase(entry));
  return cases;
}

// Control characters as the expectations write them.
std::string Escaped(const std::string& text) {
  std::string shown;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n': shown += "\\n"; break;
      case '\t': shown += "\\t"; break;
      case '\r': shown += "\\r"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04X", byte);
          shown += code;
        } else {
          shown += c;
        }
    }
  }
  return shown;
}

// "Class: message" of the failure, or what the tree writes.
std::string Outcome(const std::string& text, bool events) {
  try {
    testing::EventTree built;
    std::unique_ptr<TJSONbase> root = events ? (ParseJSON(text.c_str(), built.Callback()), built.TakeRoot())
                                              : ParseJSON(text.c_str());
    return root ? root->Text() : "(none)";
  } catch (const Exception& error) {
    return std::string(error.ClassName()) + ": " + Escaped(error.Message());
  }
}

// The caret's offset as the message counts it: from 0 in the text, or from
// 1 within the string for an escape (the string's quote then stands that
// many bytes before the caret). A message without a position says nothing.
void ExpectCaretAgrees(const Case& c, const Expectation& e) {
  static const std::regex kPosition(R"(at position (\d+)( in ")?)");
  std::smatch match;
  if (!std::regex_search(e.outcome, match, kPosition)) return;
  size_t position = std::stoul(match[1].str());
  if (!match[2].matched) {
    EXPECT_EQ(e.caret, position) << "the caret is not where the message says";
  } else {
    ASSERT_GE(e.caret, position);
    EXPECT_EQ(c.text[e.caret - position], '"') << "the caret is not where the message says";
  }
}

TEST(ParserCorpus, AcceptedTextsAreWrittenAndReadBack) {
  std::vector<Case> cases = ReadCases("accepted");
  ASSERT_GE(cases.size(), 10u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.expected.size(), 1u) << "an accepted text has one line: => the written text";
    const std::string& written = c.expected[0].outcome;
    EXPECT_EQ(Outcome(c.text, false), written);
    EXPECT_EQ(Outcome(c.text, true), written);
    if (written != "(none)") {
      EXPECT_EQ(Outcome(written, false), written);
    }
  }
}

TEST(ParserCorpus, RefusedTextsFailWhereTheCaretPoints) {
  std::vector<Case> cases = ReadCases("refused");
  ASSERT_GE(cases.size(), 30u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.expected.empty());
    for (const char* mode : {"tree", "events"}) {
      size_t found = 0;
      for (const Expectation& e : c.expected) {
        if (!e.mode.empty() && e.mode != mode) continue;
        ++found;
        EXPECT_EQ(Outcome(c.text, std::string(mode) == "events"), e.outcome) << mode;
        ExpectCaretAgrees(c, e);
      }
      EXPECT_EQ(found, 1u) << "one expectation for " << mode;
    }
  }
}

}  // namespace
}  // namespace tarn
