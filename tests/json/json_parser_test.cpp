#include "json/json_parser.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "json/comma_locale.h"
#include "expect_error.h"
#include "platform/code_page.h"

namespace tarn {
namespace {

std::string Compact(const char* text) {
  std::unique_ptr<TJSONbase> root = ParseJSON(text);
  return root ? root->Text() : "(none)";
}

// A parsed number, integer or not, as a double.
double NumberOf(TJSONbase* item) {
  return item->Kind() == jkInteger ? static_cast<double>(item->GetValue().AsInt64()) : item->GetValue().AsDouble();
}

// Runs the text in event mode and returns the events as "code:value" items.
std::vector<std::string> Events(const char* text) {
  std::vector<std::string> events;
  EXPECT_EQ(ParseJSON(text,
                      [&](uint8_t code, const Variant& value) {
                        std::string item = std::to_string(code);
                        switch (value.Type()) {
                          case varOleStr: item += ":s" + std::string(value.AsWide().begin(), value.AsWide().end()); break;
                          case varString: item += ":n" + std::string(value.AsNarrow()); break;
                          case varInteger: item += ":i" + std::to_string(value.AsInt64()); break;
                          case varDouble: item += ":d" + std::to_string(value.AsDouble()); break;
                          case varBoolean: item += value.AsBoolean() ? ":true" : ":false"; break;
                          case varNull: item += ":null"; break;
                          case varEmpty: break;
                          default: item += ":?";
                        }
                        events.push_back(item);
                      }),
            nullptr);
  return events;
}

// Both modes raise the same error.
#define EXPECT_PARSE_ERROR(text, message)                                                         \
  do {                                                                                            \
    EXPECT_THROW_MSG(ParseJSON(text), TJSONError, message);                                       \
    EXPECT_THROW_MSG(ParseJSON(text, [](uint8_t, const Variant&) {}), TJSONError, message);       \
  } while (false)

TEST(ParseJSON, NoTextGivesNoRoot) { EXPECT_EQ(ParseJSON(nullptr), nullptr); }

TEST(ParseJSON, TreeShapeAndParents) {
  std::unique_ptr<TJSONbase> root = ParseJSON(" { \"a\" : [ 1 , {\"b\":null} ] , \"c\":\"x\" } ");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Kind(), jkObject);
  EXPECT_EQ(root->Parent(), nullptr);
  TJSONbase* a = root->GetNamedItem(u"a");
  EXPECT_EQ(a->Kind(), jkList);
  EXPECT_EQ(a->Parent(), root.get());
  EXPECT_EQ(a->GetItem(0)->Parent(), a);
  EXPECT_EQ(a->GetItem(1)->GetNamedItem(u"b")->Kind(), jkNull);
  EXPECT_EQ(root->GetNamedItem(u"c")->GetValue().AsWide(), u"x");
  // A parsed scalar's object is made once and then stays the same object.
  TJSONbase* first = a->GetItem(0);
  EXPECT_EQ(a->GetItem(0), first);
  first->SetValue(Variant::String("y"));
  EXPECT_EQ(root->Text(), "{\"a\":[\"y\",{\"b\":null}],\"c\":\"x\"}");
  // Of a name given twice, the later member is found.
  EXPECT_EQ(ParseJSON("{\"a\":1,\"a\":2}")->GetNamedItem(u"a")->GetValue().AsInt64(), 2);
}

TEST(ParseJSON, Numbers) {
  std::unique_ptr<TJSONbase> root =
      ParseJSON("[12e3, 1.0, 2147483647, 2147483648, -2147483648, -2147483647, 007, -.5, 1E+2, 2e-1, -0]");
  std::vector<std::pair<uint8_t, double>> expected = {
      {jkFloat, 12000},      {jkFloat, 1.0},         {jkInteger, 2147483647}, {jkFloat, 2147483648.0},
      {jkFloat, -2147483648.0}, {jkInteger, -2147483647}, {jkInteger, 7},        {jkFloat, -0.5},
      {jkFloat, 100},        {jkFloat, 0.2},         {jkInteger, 0}};
  ASSERT_EQ(root->Count(), static_cast<int32_t>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    TJSONbase* item = root->GetItem(static_cast<int32_t>(i));
    EXPECT_EQ(item->Kind(), expected[i].first) << i;
    EXPECT_EQ(NumberOf(item), expected[i].second) << i;
  }
}

// Every number token reads as the nearest double, as std::from_chars reads
// it: short and long mantissas, points anywhere, exponents, and integers
// that lie exactly halfway between two doubles.
TEST(ParseJSON, NumbersReadAsTheNearestDouble) {
  std::mt19937_64 random(11);
  auto check = [](const std::string& token) {
    std::unique_ptr<TJSONbase> root = ParseJSON(("[" + token + "]").c_str());
    double expected = 0;
    std::from_chars(token.data(), token.data() + token.size(), expected);
    ASSERT_EQ(std::bit_cast<uint64_t>(NumberOf(root->GetItem(0))), std::bit_cast<uint64_t>(expected)) << token;
  };
  for (int i = 0; i < 100000; ++i) {
    std::string digits = std::to_string(random() % 100000000000000000u);
    digits.resize(1 + random() % digits.size());
    std::string token = (random() % 2 ? "-" : "") + std::string(random() % 3, '0') + digits;
    size_t point = 1 + random() % token.size();
    if (point < token.size() && token[point - 1] != '-') token.insert(point, ".");
    if (random() % 3 == 0) token += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
    check(token);
    // Odd integers from 2^53 to 2^55 lie halfway between two doubles.
    uint64_t halfway = (uint64_t{1} << (53 + random() % 2)) + 2 * (random() % (uint64_t{1} << 52)) + 1;
    check(std::to_string(halfway));
    check(std::to_string(halfway) + "e-3");
  }
  check("12345678901234567890123");
  check("0.00000000000000000000000000000000012345");
  // Digits are gathered eight at a time: runs of every length, split by the
  // point anywhere.
  std::string run = "98765432109876543210987654321";
  for (size_t length = 1; length <= run.size(); ++length) {
    for (size_t point = 0; point <= length; ++point) {
      std::string token = run.substr(0, length);
      token.insert(point, point == 0 ? "0." : ".");
      if (point == length) token += "5";
      check(token);
    }
  }
}

// A long run of digits and an exponent far outside a double's range offset
// each other: the value is decided by both together. Each token reads as the
// short one beside it.
TEST(ParseJSON, LongDigitRunsOffsetLargeExponents) {
  const std::string zeros(99990, '0');
  const std::pair<std::string, std::string> cases[] = {
      {"0." + zeros + "1e100001", "1e10"},
      {"0." + zeros + "1e100100", "1e109"},
      {"-0." + zeros + "25e99991", "-2.5"},
      {"0." + zeros + "12345678901234567890123e100013", "1.2345678901234567890123e22"},
      {"1" + zeros + "e-99990", "1"},
      {"17976931348623157" + zeros + "e-99698", "1.7976931348623157e308"},
      {"0." + zeros + "49406564584124654e99667", "4.9406564584124654e-324"},
      {"1e-99999999999999999999999", "0"},
      {"0e99999999999999999999999", "0"},
  };
  for (const auto& [token, same] : cases) {
    std::unique_ptr<TJSONbase> root = ParseJSON(("[" + token + "]").c_str());
    double expected = 0;
    std::from_chars(same.data(), same.data() + same.size(), expected);
    EXPECT_EQ(std::bit_cast<uint64_t>(root->GetItem(0)->GetValue().AsDouble()), std::bit_cast<uint64_t>(expected))
        << same;
  }
  for (std::string token : {"1" + zeros + "e-99670", "0." + zeros + "1e99999999999999999999"}) {
    EXPECT_THROW_MSG(ParseJSON(("[" + token + "]").c_str()), EConvertError,
                     "'" + token + "' is not a valid floating point value");
  }
}

// Strings are scanned several bytes at a time: a quote, a backslash or the
// end of the text is found wherever it lies in a long string.
TEST(ParseJSON, StringsFindTheirEndAndEscapesAnywhere) {
  for (size_t length = 0; length < 40; ++length) {
    std::string content(length, 'a');
    EXPECT_EQ(Compact(("[\"" + content + "\"]").c_str()), "[\"" + content + "\"]");
    EXPECT_PARSE_ERROR(("[\"" + content).c_str(), "Unterminated string at position 2");
    for (size_t at = 0; at < length; ++at) {
      std::string escaped = content;
      escaped.replace(at, 1, "\\\"");
      EXPECT_EQ(Compact(("[\"" + escaped + "\"]").c_str()), "[\"" + escaped + "\"]") << length << " " << at;
      EXPECT_PARSE_ERROR(("[\"" + content.substr(0, at) + "\\").c_str(), "Unterminated string at position 2");
    }
  }
}

// Runs of spaces are skipped several at a time; every length ends where
// the next character is.
TEST(ParseJSON, WhitespaceRunsOfAnyLength) {
  for (size_t length = 0; length < 30; ++length) {
    std::string spaces(length, ' ');
    EXPECT_EQ(Compact(("[" + spaces + "1," + spaces + "\t2" + spaces + "]" + spaces).c_str()), "[1,2]");
    std::string text = "[1]" + spaces + "x";
    EXPECT_PARSE_ERROR(text.c_str(), "Unexpected character at position " + std::to_string(3 + length) + " - x");
  }
}

// Every byte of the code page widens to its character, in strings with and
// without escapes.
TEST(ParseJSON, StringsWidenEveryByte) {
  std::string bytes;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if (byte != '"' && byte != '\\') bytes += static_cast<char>(byte);
  }
  std::unique_ptr<TJSONbase> root = ParseJSON(("[\"" + bytes + "\", \"" + bytes + "\\n\"]").c_str());
  EXPECT_EQ(root->GetItem(0)->GetValue().AsWide(), AnsiToWide(bytes));
  EXPECT_EQ(root->GetItem(1)->GetValue().AsWide(), AnsiToWide(bytes) + u"\n");
}

TEST(ParseJSON, NumbersIgnoreTheLocale) {
  testing::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << "no locale with a decimal comma could be set";
  EXPECT_EQ(Compact("[1.5, -0.25e2, 3.14159, 1e-7]"), "[1.5,-25,3.14159,1E-7]");
  std::unique_ptr<TJSONbase> root = ParseJSON("[1.5]");
  EXPECT_EQ(root->GetItem(0)->GetValue().AsDouble(), 1.5);
}

TEST(ParseJSON, Strings) {
  std::unique_ptr<TJSONbase> root = ParseJSON(
      "[\"\", \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\ \", \"\\u00e9\\U00E9\", \"\\uD83D\\uDE00\", \"caf\xE9\x80\"]");
  EXPECT_EQ(root->GetItem(0)->Kind(), jkString);
  EXPECT_EQ(root->GetItem(0)->GetValue().AsWide(), u"");
  EXPECT_EQ(root->GetItem(1)->GetValue().AsWide(), u"\"\\/\b\f\n\r\t ");
  EXPECT_EQ(root->GetItem(2)->GetValue().AsWide(), u"\u00E9\u00E9");
  EXPECT_EQ(root->GetItem(3)->GetValue().AsWide(), u"\U0001F600");
  // Bytes are Windows-1252 characters, not UTF-8.
  EXPECT_EQ(root->GetItem(4)->GetValue().AsWide(), u"caf\u00E9\u20AC");
  std::unique_ptr<TJSONbase> object = ParseJSON("{\"caf\\u00e9\":1, \"\\u4e2d\":2}");
  EXPECT_EQ(object->GetName(0), u"caf\u00E9");
  EXPECT_EQ(object->GetName(1), u"?");
}

TEST(ParseJSON, DepthBound) {
  std::string deep(1000000, '[');
  EXPECT_PARSE_ERROR(deep.c_str(), "Nesting deeper than 512 levels at position 512");
  std::string objects;
  for (int i = 0; i < 600; ++i) objects += "{\"a\":";
  EXPECT_PARSE_ERROR(objects.c_str(), "Nesting deeper than 512 levels at position 2560");
  std::string limit = std::string(512, '[') + std::string(512, ']');
  EXPECT_EQ(Compact(limit.c_str()), limit);
  // An empty container one level too deep counts as much as a full one.
  EXPECT_PARSE_ERROR(("[" + limit + "]").c_str(), "Nesting deeper than 512 levels at position 512");
  EXPECT_PARSE_ERROR((std::string(512, '[') + "{ }" + std::string(512, ']')).c_str(),
                     "Nesting deeper than 512 levels at position 512");
}

// Objects of a parse with the same names in the same order share them until
// one of them changes them: the others keep theirs.
TEST(ParseJSON, ObjectsOfTheSameNamesStayApartWhenOneChanges) {
  std::string nine = "{";
  for (int i = 1; i <= 9; ++i) nine += (i > 1 ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
  nine += "}";
  const std::string pair = "{\"a\":1,\"b\":2}";
  std::unique_ptr<TJSONbase> root = ParseJSON(("[" + nine + "," + nine + "," + pair + "," + pair + "," + pair + "]").c_str());
  EXPECT_EQ(root->GetItem(0)->GetNamedItem(u"k9")->GetValue().AsInt64(), 9);  // indexed from now on
  static_cast<TJSONobject*>(root->GetItem(1))->Add(u"k10", nullptr);
  EXPECT_EQ(root->GetItem(0)->GetNamedItem(u"k10"), nullptr);
  EXPECT_EQ(root->GetItem(1)->GetNamedItem(u"k10")->Kind(), jkNull);
  static_cast<TJSONobject*>(root->GetItem(2))->Clear();
  static_cast<TJSONobject*>(root->GetItem(2))->Add(u"z", nullptr);
  root->GetItem(3)->SetNamedItem(u"c", nullptr);
  EXPECT_EQ(root->GetItem(4)->Count(), 2);
  EXPECT_EQ(root->GetItem(4)->GetName(1), u"b");
  EXPECT_EQ(root->Text(), "[" + nine + "," + nine.substr(0, nine.size() - 1) + ",\"k10\":null}," +
                              "{\"z\":null},{\"a\":1,\"b\":2,\"c\":null}," + pair + "]");
}

// A parsed tree keeps an empty list or object as a cell in its container;
// asked for, it becomes an object of its own, which then stays the same and
// takes what is added to it.
TEST(ParseJSON, EmptyContainersBecomeObjectsWhenAskedFor) {
  std::unique_ptr<TJSONbase> root = ParseJSON("{\"a\":[ ],\"b\":{},\"c\":[[],{}]}");
  TJSONbase* a = root->GetNamedItem(u"a");
  EXPECT_EQ(a->Kind(), jkList);
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(a->Parent(), root.get());
  EXPECT_EQ(root->GetNamedItem(u"a"), a);
  static_cast<TJSONlist*>(a)->Add(nullptr);
  TJSONbase* b = root->GetNamedItem(u"b");
  EXPECT_EQ(b->Kind(), jkObject);
  static_cast<TJSONobject*>(b)->Add(u"x", nullptr);
  TJSONbase* c = root->GetNamedItem(u"c");
  EXPECT_EQ(c->GetItem(1)->Kind(), jkObject);
  EXPECT_EQ(c->GetItem(1)->Parent(), c);
  EXPECT_EQ(root->Text(), "{\"a\":[null],\"b\":{\"x\":null},\"c\":[[],{}]}");
}

TEST(ParseJSON, EventSequence) {
  EXPECT_EQ(Events("[{\"k\":5}]"), (std::vector<std::string>{"0", "2", "4:sk", "7:i5", "3", "1"}));
  EXPECT_EQ(Events("{\"a\":[\"\", \"x\", null, TRUE, false, 1.5, 3000000000]}"),
            (std::vector<std::string>{"2", "4:sa", "0", "5:n", "5:sx", "5:null", "6:true", "6:false",
                                      "7:d1.500000", "7:d3000000000.000000", "1", "3"}));
  EXPECT_TRUE(Events("").empty());
}

// A list's first items are kept in the list itself and the rest wait
// until it closes: lists of every length keep their items in order, also
// when the text breaks off after any of them.
TEST(ParseJSON, ListsOfEveryLength) {
  for (int length = 0; length <= 6; ++length) {
    std::string text = "[";
    for (int i = 0; i < length; ++i) text += (i > 0 ? "," : "") + (i % 2 ? "[\"s\",[]]" : std::to_string(i));
    EXPECT_EQ(Compact((text + "]").c_str()), text + "]");
    EXPECT_THROW(ParseJSON((text + ",{\"a\":[1,2,3]").c_str()), TJSONError) << text;
  }
}

TEST(ParseJSON, FailedParseDestroysEverything) {
  // Under AddressSanitizer a leak of the partial tree fails this test.
  EXPECT_THROW(ParseJSON("{\"a\":[1,2,{\"b\":[\"x\"]}], \"c\": [1,,2]}"), TJSONError);
  EXPECT_THROW(ParseJSON("[[1],[2]] x"), TJSONError);
}

// A parsed tree keeps its values in memory of its own; values added,
// replaced or cleared afterwards by hand mix with them. Under
// AddressSanitizer a value used after it was destroyed, or memory leaked or
// freed twice, fails this test.
TEST(ParseJSON, ParsedTreesMixWithValuesAddedByHand) {
  std::unique_ptr<TJSONbase> root =
      ParseJSON("{\"list\":[1,[2,3],\"a long string value\",4,5],\"pair\":[6,7],\"name\":\"x\"}");
  auto* list = static_cast<TJSONlist*>(root->GetNamedItem(u"list"));
  auto* pair = static_cast<TJSONlist*>(root->GetNamedItem(u"pair"));
  // Rooms made by the parse grow into the heap; a replaced parsed value goes.
  for (int i = 0; i < 20; ++i) list->Add(nullptr);
  pair->Add(nullptr);
  list->SetItem(1, std::make_unique<TJSONlist>(list));
  static_cast<TJSONlist*>(list->GetItem(1))->Add(nullptr);
  auto* object = static_cast<TJSONobject*>(root.get());
  for (int i = 0; i < 12; ++i) object->Add(u"added" + std::u16string(1, static_cast<char16_t>(u'a' + i)), nullptr);
  object->SetNamedItem(u"name", nullptr);
  EXPECT_EQ(root->GetNamedItem(u"pair")->Count(), 3);
  EXPECT_EQ(root->GetNamedItem(u"addedl")->Kind(), jkNull);
  Variant text = list->GetItem(2)->GetValue();  // a copy, which outlives the tree
  std::string expected = "{\"list\":[1,[null],\"a long string value\",4,5";
  for (int i = 0; i < 20; ++i) expected += ",null";
  expected += "],\"pair\":[6,7,null],\"name\":null";
  for (char name = 'a'; name <= 'l'; ++name) expected += ",\"added" + std::string(1, name) + "\":null";
  EXPECT_EQ(root->Text(), expected + "}");
  // A parsed tree may become part of another; it goes with it.
  TJSONlist outer;
  outer.Add(std::move(root));
  outer.Add(ParseJSON("[[1,2],[3,4]]"));
  EXPECT_EQ(outer.GetItem(1)->Text(), "[[1,2],[3,4]]");
  static_cast<TJSONlist*>(outer.GetItem(1))->Clear();
  static_cast<TJSONlist*>(outer.GetItem(1))->Add(nullptr);
  EXPECT_EQ(outer.GetItem(1)->Text(), "[null]");
  outer.Clear();
  EXPECT_EQ(text.AsWide(), u"a long string value");
}

// Deep inside a parsed tree, each way of giving a container something from
// the heap: the tree must then destroy it. Under AddressSanitizer a leak
// fails this test.
TEST(ParseJSON, HeapValuesDeepInAParsedTreeGoWithIt) {
  const char* text =
      "[[{\"a\":[1,\"s\"],"
      "\"b\":{\"c\":1,\"d\":2,\"e\":3,\"f\":4,\"g\":5,\"h\":6,\"i\":7,\"j\":8,\"k\":9}}]]";
  auto deep = [&](const std::unique_ptr<TJSONbase>& root, const char16_t* name) {
    return root->GetItem(0)->GetItem(0)->GetNamedItem(name);
  };
  std::vector<std::function<void(const std::unique_ptr<TJSONbase>&)>> edits = {
      [&](auto& root) { EXPECT_EQ(deep(root, u"a")->GetItem(1)->GetValue().AsWide(), u"s"); },
      [&](auto& root) { static_cast<TJSONlist*>(deep(root, u"a"))->Add(nullptr); },
      [&](auto& root) { deep(root, u"a")->SetItem(0, std::make_unique<TJSONlist>()); },
      [&](auto& root) { EXPECT_EQ(deep(root, u"b")->GetNamedItem(u"k")->GetValue().AsInt64(), 9); },
      [&](auto& root) { static_cast<TJSONobject*>(root->GetItem(0)->GetItem(0))->Add(u"z", nullptr); },
  };
  for (const auto& edit : edits) {
    std::unique_ptr<TJSONbase> root = ParseJSON(text);
    edit(root);
  }
}

TEST(ParseJSON, LargeDocumentRoundTrip) {
  std::string text = "{";
  for (int i = 0; i < 5000; ++i) {
    if (i > 0) text += ",";
    text += "\"k" + std::to_string(i) + "\":[" + std::to_string(i) + ",\"v\\u00E9" + std::to_string(i) + "\",0.5]";
  }
  text += "}";
  ASSERT_GT(text.size(), 100000u);
  std::unique_ptr<TJSONbase> root = ParseJSON(text.c_str());
  EXPECT_EQ(root->Count(), 5000);
  EXPECT_EQ(root->GetNamedItem(u"k4999")->GetItem(0)->GetValue().AsInt64(), 4999);
  EXPECT_EQ(root->Text(), text);
}

}  // namespace
}  // namespace tarn
