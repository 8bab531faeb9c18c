#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/comma_locale.h"
#include "expect_error.h"
#include "json/json_output.h"
#include "json/json_parser.h"
#include "json/json_text.h"
#include "json/json_value.h"

namespace tarn {
namespace {

std::unique_ptr<TJSONbase> Scalar(const Variant& value) {
  auto v = std::make_unique<TJSONbase>();
  v->SetValue(value);
  return v;
}

std::string StringText(std::u16string_view text) { return Scalar(Variant::OleStr(text))->Text(); }

TEST(WriteText, Scalars) {
  EXPECT_EQ(TJSONbase().Text(), "null");
  EXPECT_EQ(TJSONlist().Text(), "[]");
  EXPECT_EQ(TJSONobject().Text(), "{}");
  EXPECT_EQ(Scalar(Variant::Boolean(false))->Text(), "false");
  EXPECT_EQ(Scalar(Variant::Integer(-2147483647 - 1))->Text(), "-2147483648");
  TJSONlist list;
  list.Add(Scalar(Variant::Integer(-5)));
  list.Add(Scalar(Variant::Boolean(true)));
  list.Add(nullptr);
  EXPECT_EQ(list.Text(), "[-5,true,null]");
  TJSONobject object;
  object.Add(u"a", Scalar(Variant::Integer(1)));
  object.Add(u"a", std::make_unique<TJSONlist>());
  object.Add(u"b", std::make_unique<TJSONobject>());
  EXPECT_EQ(object.Text(), "{\"a\":1,\"a\":[],\"b\":{}}");
}

// Doubles and the text they are written as, in any locale.
const std::pair<double, const char*> kFloatTexts[] = {
    {12000, "12000"},
    {0.5, "0.5"},
    {0.0001, "0.0001"},
    {0.00001, "1E-5"},
    {1e15, "1E15"},
    {1e20, "1E20"},
    {999999999999999, "999999999999999"},
    {1.0 / 3, "0.333333333333333"},
    {2.0 / 3, "0.666666666666667"},
    {-1.5, "-1.5"},
    {0.00000015, "1.5E-7"},
    {123456789012345678.0, "1.23456789012346E17"},
    {0.1 + 0.2, "0.3"},
    {9999999999999999.0, "1E16"},
    {0.0, "0"},
    {-0.0, "0"},
    {std::numeric_limits<double>::infinity(), "INF"},
    {-std::numeric_limits<double>::infinity(), "-INF"},
    {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    {-std::numeric_limits<double>::quiet_NaN(), "-NAN"},
    {5e-324, "4.94065645841247E-324"},
    {1.7976931348623157e308, "1.79769313486232E308"},
};

TEST(WriteText, FloatFormat) {
  for (const auto& [value, text] : kFloatTexts) {
    EXPECT_EQ(FloatText(value), text) << value;
    EXPECT_EQ(Scalar(Variant::Double(value))->Text(), text) << value;
  }
}

// The C library's %.15G (in the C locale) rounds the same way; only its
// exponent is written differently (E+20, E-07).
std::string ReferenceFloatText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  size_t e = text.find('E');
  if (e == std::string::npos) return text;
  std::string exponent = text.substr(e + 1);
  bool negative = exponent[0] == '-';
  exponent.erase(0, exponent.find_first_not_of("+-0"));
  return text.substr(0, e + 1) + (negative ? "-" : "") + exponent;
}

TEST(WriteText, FloatFormatMatchesExactRounding) {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> coordinates(-180, 180);
  std::uniform_real_distribution<double> magnitudes(-5, 17);
  for (int i = 0; i < 200000; ++i) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value) || value == 0) continue;
    ASSERT_EQ(FloatText(value), ReferenceFloatText(value)) << bits;
    double coordinate = coordinates(random);
    ASSERT_EQ(FloatText(coordinate), ReferenceFloatText(coordinate)) << coordinate;
    double scaled = std::pow(10.0, magnitudes(random));
    ASSERT_EQ(FloatText(scaled), ReferenceFloatText(scaled)) << scaled;
    // Halfway cases at the 16th digit.
    double tie = std::strtod((std::to_string(i) + ".00000000000005").c_str(), nullptr);
    ASSERT_EQ(FloatText(tie), ReferenceFloatText(tie)) << tie;
  }
}

// The neighbours of each power of ten, where the decimal exponent changes.
TEST(WriteText, FloatsBesidePowersOfTen) {
  for (int exponent = -6; exponent <= 18; ++exponent) {
    double power = std::strtod(("1E" + std::to_string(exponent)).c_str(), nullptr);
    double below = power;
    double above = power;
    for (int step = 0; step < 4; ++step) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, 1e300);
      for (double value : {power, below, above, -below}) {
        ASSERT_EQ(FloatText(value), ReferenceFloatText(value)) << exponent << " " << step;
      }
    }
  }
}

// Values whose 16th digit is an exact binary half: the C library rounds
// them to the even digit.
TEST(WriteText, ExactHalvesRoundToEven) {
  EXPECT_EQ(FloatText(1000000000000.125), "1000000000000.12");
  EXPECT_EQ(FloatText(1000000000000.375), "1000000000000.38");
  EXPECT_EQ(FloatText(-99999999999999.25), "-99999999999999.2");
  EXPECT_EQ(FloatText(999999999999999.5), "1E15");
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    // 14 digits before the point and .25 or .75, or 15 digits and .5.
    auto whole = static_cast<double>(10000000000000 + random() % 90000000000000);
    for (double value : {whole + 0.25, whole + 0.75, whole * 10 + 0.5, -(whole + 0.25)}) {
      ASSERT_EQ(FloatText(value), ReferenceFloatText(value)) << std::to_string(value);
    }
  }
}

TEST(WriteText, FloatsIgnoreTheLocale) {
  testing::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << "no locale with a decimal comma could be set";
  for (const auto& [value, text] : kFloatTexts) EXPECT_EQ(FloatText(value), text) << value;
}

TEST(WriteText, IntegralFloatReadsBackAsInteger) {
  std::unique_ptr<TJSONbase> root = ParseJSON(("[" + Scalar(Variant::Double(12000))->Text() + "]").c_str());
  EXPECT_EQ(root->GetItem(0)->Kind(), jkInteger);
}

TEST(WriteText, EscapeTable) {
  EXPECT_EQ(StringText(u"\"\\/"), "\"\\\"\\\\\\/\"");
  EXPECT_EQ(StringText(u"\b\t\n\f\r"), "\"\\b\\t\\n\\f\\r\"");
  EXPECT_EQ(StringText(u"\u0001\u001F\u007F\u00E9\uABCD"), "\"\\u0001\\u001F\\u007F\\u00E9\\uABCD\"");
  EXPECT_EQ(StringText(u"\U0001F600"), "\"\\uD83D\\uDE00\"");
  EXPECT_EQ(StringText(u" ~az09"), "\" ~az09\"");
  EXPECT_EQ(StringText(u""), "\"\"");
  // U+0000 is written, and so is everything after it.
  EXPECT_EQ(StringText(std::u16string(u"a\0b", 3)), "\"a\\u0000b\"");
  TJSONobject object;
  object.Add(u"caf\u00E9/\"", nullptr);
  EXPECT_EQ(object.Text(), "{\"caf\\u00E9\\/\\\"\":null}");
}

// Text is scanned a word at a time: every escape must be found wherever it
// stands in a run of plain characters (the run alternates ' ' and '~', the
// ends of the plain range), in values and in member names.
TEST(WriteText, EscapesAreFoundWhereverTheyStand) {
  const std::pair<char16_t, std::string> kSpecials[] = {
      {u'"', "\\\""},     {u'\\', "\\\\"},    {u'/', "\\/"},          {0x1F, "\\u001F"},
      {0x7F, "\\u007F"}, {0xE9, "\\u00E9"}, {0x0141, "\\u0141"}, {0xFFFF, "\\uFFFF"}};
  for (size_t length = 1; length <= 18; ++length) {
    std::u16string plain(length, u' ');
    for (size_t i = 1; i < length; i += 2) plain[i] = u'~';
    for (size_t at = 0; at < length; ++at) {
      for (const auto& [special, escaped] : kSpecials) {
        std::u16string text = plain;
        text[at] = special;
        const std::string expected = "\"" + std::string(plain.begin(), plain.begin() + at) + escaped +
                                     std::string(plain.begin() + at + 1, plain.end()) + "\"";
        EXPECT_EQ(StringText(text), expected) << length << " " << at << " " << escaped;
        if (special > 0xFF) continue;
        TJSONobject object;
        object.Add(text, nullptr);
        EXPECT_EQ(object.Text(), "{" + expected + ":null}") << length << " " << at << " " << escaped;
      }
    }
  }
}

TEST(WriteText, HolderOfContainerIsRefused) {
  TJSONlist target;
  auto holder = std::make_unique<TJSONbase>();
  holder->SetValue(Variant::ByRef(&target));
  EXPECT_THROW_MSG(holder->Text(), TJSONError, "Unsupported data type in TJSONbase.Text");
  TJSONobject outer;
  outer.Add(u"a", std::make_unique<TJSONlist>());
  static_cast<TJSONlist*>(outer.GetItem(0))->Add(std::move(holder));
  EXPECT_THROW_MSG(outer.Text(), TJSONError, "Unsupported data type in TJSONbase.Text");
}

// A container class of a user's that writes its own text around the usual.
template <typename Container>
class Angled : public Container {
 public:
  using Container::Container;
  void WriteText(TJSONOutput& output) const override {
    output.Put('<');
    Container::WriteText(output);
    output.Put('>');
  }
};

TEST(WriteText, DerivedContainersWriteTheirOwnTextWhenNested) {
  TJSONlist root;
  auto list = std::make_unique<Angled<TJSONlist>>();
  list->Add(Scalar(Variant::Integer(1)));
  list->Add(std::make_unique<Angled<TJSONobject>>());
  root.Add(std::move(list));
  auto object = std::make_unique<TJSONobject>();
  object->Add(u"a", std::make_unique<Angled<TJSONlist>>());
  root.Add(std::move(object));
  EXPECT_EQ(root.Text(), "[<[1,<{}>]>,{\"a\":<[]>}]");
}

TEST(WriteText, OutputGrowsInSteps) {
  TJSONOutput output;
  EXPECT_EQ(output.Capacity(), 50000u);
  output.Append(std::string(49999, 'a'));
  output.Put('b');
  EXPECT_EQ(output.Capacity(), 50000u);
  output.Put('c');
  EXPECT_EQ(output.Capacity(), 100000u);
  output.Append(std::string(120000, 'd'));
  EXPECT_EQ(output.Capacity(), 200000u);
  EXPECT_EQ(output.Size(), 170001u);
  std::string text = output.Text();
  EXPECT_EQ(text.size(), 170001u);
  EXPECT_EQ(text.substr(49998, 4), "abcd");
  EXPECT_EQ(text.substr(169999), "dd");
}

// An output with a sink hands each piece over as it fills, and the rest on
// Flush, in order; it keeps one piece of room however long the text.
TEST(WriteText, OutputWithASinkHandsOverFullPieces) {
  std::vector<std::string> pieces;
  TJSONOutput output([&pieces](std::string_view piece) { pieces.emplace_back(piece); });
  std::string text;
  for (int i = 0; text.size() < 3 * TJSONOutput::kSinkPiece; ++i) text += std::to_string(i) + ",";
  output.Append(text.substr(0, 100));
  for (char c : text.substr(100)) output.Put(c);
  EXPECT_EQ(pieces.size(), 3u);
  output.Flush();
  output.Flush();
  ASSERT_EQ(pieces.size(), 4u);
  std::string joined;
  for (const std::string& piece : pieces) joined += piece;
  EXPECT_EQ(joined, text);
  EXPECT_EQ(pieces[0].size(), TJSONOutput::kSinkPiece);
}

TEST(WriteText, LongTextComesOutWhole) {
  TJSONlist list;
  std::string expected = "[";
  for (int i = 0; i < 20000; ++i) {
    list.Add(Scalar(Variant::OleStr(u"\u00E9")));
    expected += i == 0 ? "\"\\u00E9\"" : ",\"\\u00E9\"";
  }
  expected += "]";
  ASSERT_GT(expected.size(), 150000u);
  EXPECT_EQ(list.Text(), expected);
}

TEST(WriteText, DeepTreeIsWrittenWithoutRecursion) {
  auto root = std::make_unique<TJSONlist>();
  TJSONarray* tail = root.get();
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) {
    auto next = i % 2 ? std::unique_ptr<TJSONarray>(std::make_unique<TJSONlist>(tail))
                      : std::unique_ptr<TJSONarray>(std::make_unique<TJSONobject>(tail));
    TJSONarray* raw = next.get();
    if (tail->Kind() == jkObject) {
      static_cast<TJSONobject*>(tail)->Add(u"k", std::move(next));
    } else {
      static_cast<TJSONlist*>(tail)->Add(std::move(next));
    }
    tail = raw;
  }
  std::string text = root->Text();
  EXPECT_EQ(text.size(), 1u + depth / 2 * 6 + depth / 2 * 2 + 1 + 0u);
  EXPECT_EQ(text.substr(0, 9), "[{\"k\":[{\"");
}

}  // namespace
}  // namespace tarn
