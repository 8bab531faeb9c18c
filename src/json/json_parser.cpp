#include "json/json_parser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "json/arena_values.h"
#include "json/decimal_to_double.h"
#include "json/json_tree.h"
#include "platform/code_page.h"
#include "platform/portable/ascii_text.h"
#include "runtime/integer_hash.h"

namespace tarn {

namespace {

// =============================================================================
// Errors
// =============================================================================

[[noreturn]] void RaiseAt(const char* message, size_t position) {
  throw TJSONError(message + std::string(" at position ") + std::to_string(position));
}

// The text from the byte on, at most this many bytes of it, is shown.
constexpr size_t kUnexpectedShown = 20;

[[noreturn]] void RaiseUnexpected(size_t position, std::string_view rest) {
  throw TJSONError("Unexpected character at position " + std::to_string(position) + " - " +
                   std::string(rest.substr(0, kUnexpectedShown)));
}

[[noreturn]] void RaiseTooDeep(size_t position) {
  throw TJSONError("Nesting deeper than " + std::to_string(kJSONMaxDepth) + " levels at position " +
                   std::to_string(position));
}

// Positions count from 1 within the content; the content is shown whole.
[[noreturn]] void RaiseEscape(const char* message, size_t escape, std::string_view raw) {
  throw TJSONError(std::string(message) + " at position " + std::to_string(escape + 1) + " in \"" +
                   std::string(raw) + "\"");
}

[[noreturn]] void RaiseNotAFloat(std::string_view token) {
  throw EConvertError("'" + std::string(token) + "' is not a valid floating point value");
}

// =============================================================================
// Bytes: the tests the reader, the strings and the numbers make, eight bytes
// at a time where they can
// =============================================================================

// One comparison for the bytes above the space, which most are.
bool IsWhitespace(char c) {
  constexpr uint64_t kWhitespace = (uint64_t{1} << ' ') | (uint64_t{1} << '\t') | (uint64_t{1} << '\n') |
                                   (uint64_t{1} << '\r');
  auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' && ((kWhitespace >> byte) & 1) != 0;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Where a container is expected, the root among them, it must begin here.
bool OpensContainer(char c) { return c == '[' || c == '{'; }

// How many of the eight bytes at `text` are spaces before the first that is
// not: the bytes that are spaces are zero after the exclusive or, and the
// lowest byte is the first in memory on a little-endian machine.
size_t LeadingSpaces(const char* text) {
  uint64_t word = 0;
  std::memcpy(&word, text, sizeof word);
  uint64_t others = word ^ 0x2020202020202020;
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<size_t>(std::countr_zero(others)) / 8;
  } else {
    return static_cast<size_t>(std::countl_zero(others)) / 8;
  }
}

// Whether any of the eight bytes at `text` is a quote or a backslash: a
// byte equal to one of them is zero after the exclusive or, and a zero byte
// borrows into its top bit.
bool HasQuoteOrBackslash(const char* text) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kTops = 0x8080808080808080;
  uint64_t word = 0;
  std::memcpy(&word, text, sizeof word);
  uint64_t quotes = word ^ (kOnes * '"');
  uint64_t backslashes = word ^ (kOnes * '\\');
  return (((quotes - kOnes) & ~quotes) | ((backslashes - kOnes) & ~backslashes)) & kTops;
}

// The top bit of each byte of the word that is not a digit: adding 0x46
// carries a byte above '9' into its top bit, subtracting 0x30 borrows one
// below '0'. A carry or borrow only spoils the bytes after a non-digit, so
// the lowest marked byte is always the first non-digit.
uint64_t NonDigits(uint64_t word) {
  return ((word + 0x4646464646464646) | (word - 0x3030303030303030)) & 0x8080808080808080;
}

// The value of eight digits read as a little-endian word, the first digit
// in the lowest byte: pairs of digits are joined, then pairs of pairs, then
// the two halves.
uint64_t EightDigitsValue(uint64_t word) {
  constexpr uint64_t kLowBytes = 0x000000FF000000FF;
  constexpr uint64_t kHundredAndMillion = 100 + (uint64_t{1000000} << 32);
  constexpr uint64_t kOneAndTenThousand = 1 + (uint64_t{10000} << 32);
  word -= 0x3030303030303030;
  word = word * 10 + (word >> 8);
  return (((word & kLowBytes) * kHundredAndMillion) + (((word >> 16) & kLowBytes) * kOneAndTenThousand)) >> 32;
}

// Every byte of the 8-bit code page as UTF-16, so that a string widens
// without a branch or a call per byte. Made on first use, so that a parse
// during another file's static start-up finds it ready.
const char16_t* WidenedBytes() {
  static const std::array<char16_t, 256> widened = [] {
    std::array<char16_t, 256> table{};
    for (size_t byte = 0; byte < table.size(); ++byte) {
      table[byte] = AnsiCharToWide(static_cast<unsigned char>(byte));
    }
    return table;
  }();
  return widened.data();
}

}  // namespace

// One call's state: the text, the position, the callback and the depth.
class JSONParser {
 public:
  JSONParser(const char* text, const TJSONParseEvent& on_event)
      : start_(text),
        end_(text + std::strlen(text)),
        p_(text),
        on_event_(on_event),
        events_(static_cast<bool>(on_event)),
        widened_(WidenedBytes()) {
    if (!events_) arena_ = std::make_unique<ValueArena>();
  }

  // The nodes still on the stack after a failure are the parser's.
  ~JSONParser() {
    for (JSONCell item : items_) {
      if (item.Is(JSONCell::kNode)) delete static_cast<TJSONbase*>(item.AsPointer());
    }
  }
  JSONParser(const JSONParser&) = delete;
  JSONParser& operator=(const JSONParser&) = delete;

  std::unique_ptr<TJSONbase> Parse() {
    size_t first = TJSONStartCheck().Check(std::string_view(start_, Offset(end_)), true);
    if (first == TJSONStartCheck::kUndecided) return nullptr;
    p_ = start_ + first;
    std::unique_ptr<TJSONbase> root = ReadContainer(nullptr);
    SkipWhitespace();
    if (*p_ != '\0') RaiseUnexpected(Offset(p_), Rest());
    return root;
  }

 private:
  template <typename Container>
  static constexpr bool kIsList = std::is_same_v<Container, TJSONlist>;

  size_t Offset(const char* at) const { return static_cast<size_t>(at - start_); }
  std::string_view Rest() const { return std::string_view(p_, static_cast<size_t>(end_ - p_)); }

  // ---------------------------------------------------------------------------
  // Reader: the root, containers, their items, values and literals
  // ---------------------------------------------------------------------------

  // The scanning loops work on a local copy of the position: a store
  // through the member would be repeated for every byte, since the bytes
  // read might alias it.
  void SkipWhitespace() {
    const char* p = p_;
    // Indentation (a line break, then spaces) is skipped up to eight spaces
    // at a time after its first byte.
    while (IsWhitespace(*p)) {
      ++p;
      while (end_ - p >= 8) {
        size_t spaces = LeadingSpaces(p);
        p += spaces;
        if (spaces < 8) break;
      }
    }
    p_ = p;
  }

  void Emit(uint8_t code, const Variant& value) { on_event_(code, value); }

  void Enter() {
    if (++depth_ > kJSONMaxDepth) RaiseTooDeep(Offset(p_));
  }

  // An array or object starting at the position (whitespace skipped), or
  // none when the text ends there.
  std::unique_ptr<TJSONbase> ReadContainer(TJSONarray* parent) {
    if (!OpensContainer(*p_)) {
      if (*p_ == '\0') return nullptr;
      RaiseUnexpected(Offset(p_), Rest());
    }
    Enter();
    bool list = *p_++ == '[';
    return list ? ReadItems<TJSONlist>(parent) : ReadItems<TJSONobject>(parent);
  }

  // The elements of an array or the members of an object, up to the closing
  // bracket. Tree mode builds the container, event mode reports its bounds.
  // Both count the items read, so a leading comma is an error in both.
  // ReadItem(container, first_item) reads one item; in tree mode it keeps
  // it (Keep), given the size of the parser's stack when the container
  // opened.
  template <typename Container>
  std::unique_ptr<TJSONbase> ReadItems(TJSONarray* parent) {
    constexpr uint8_t begin = kIsList<Container> ? jeArrayBegin : jeObjectBegin;
    constexpr uint8_t end = kIsList<Container> ? jeArrayEnd : jeObjectEnd;
    constexpr char close = kIsList<Container> ? ']' : '}';
    std::unique_ptr<Container> container;
    if (events_) {
      Emit(begin, Variant());
    } else if (parent == nullptr) {
      container = std::make_unique<ArenaRoot<Container>>();
    } else {
      container = std::unique_ptr<Container>(new (*arena_) ArenaValue<Container>(parent));
    }
    size_t first_item = items_.size();
    size_t count = 0;
    bool comma_pending = false;
    for (;;) {
      SkipWhitespace();
      char c = *p_;
      if (c == '\0') throw TJSONError("Missing closing bracket for array");
      if (c == close) {
        if (comma_pending) RaiseAt("Empty element", Offset(p_));
        ++p_;
        --depth_;
        if (events_) {
          Emit(end, Variant());
        } else {
          TakeItems(*container, first_item);
          // The whole tree is read: the root takes the memory it lives in.
          if (parent == nullptr) static_cast<ArenaRoot<Container>&>(*container).Adopt(std::move(arena_));
        }
        return container;
      }
      if (c == ',') {
        if (comma_pending || count == 0) RaiseAt("Empty element", Offset(p_));
        ++p_;
        comma_pending = true;
        continue;
      }
      ReadItem(container.get(), first_item);
      ++count;
      // A comma right after an item, as most are, is taken at once.
      comma_pending = false;
      if (*p_ == ',') {
        ++p_;
        comma_pending = true;
      }
    }
  }

  void TakeItems(TJSONlist& list, size_t first_item) { MoveItems(first_item, list); }

  // An object takes the names of the last object with the same names, if the
  // table of names made remembers one, else names of its own.
  void TakeItems(TJSONobject& object, size_t first_item) {
    MoveItems(first_item, object);
    size_t count = json_detail::ChildCount(object);
    if (count == 0) return;
    json_detail::Names*& made = made_names_[names_.HashOfLast(count) % made_names_.size()];
    if (made != nullptr && made->list.SameAsLast(names_, count)) {
      names_.RemoveLast(count);
    } else {
      using json_detail::Names;
      auto* names = new (arena_->Allocate(sizeof(Names), alignof(Names))) Names;
      names->list.TakeLast(names_, count, *arena_);
      made = names;
    }
    json_detail::TreeAccess::NamesOf(object).Set(made, true);
  }

  // A list whose items all went into its own room has none waiting.
  void MoveItems(size_t first, TJSONarray& to) {
    if (items_.size() == first) return;
    json_detail::AppendCells(to, items_.data() + first, items_.size() - first, *arena_);
    items_.resize(first);
  }

  // Tree mode keeps each item read, a container or a scalar. A list's first
  // items go straight into its own room; from the first that does not fit
  // there on, all of them wait on the parser's stack, as an object's members
  // do, and move into the container, at their exact number, when it closes.
  template <typename Container>
  void Keep(Container* container, size_t first_item, std::unique_ptr<TJSONbase>& node, JSONCell scalar) {
    if (kIsList<Container> && items_.size() == first_item &&
        json_detail::ChildCount(*container) < json_detail::ChildCapacity(*container)) {
      json_detail::PutChild(*container, node ? JSONCell::Pointer(JSONCell::kNode, node.release()) : scalar);
      return;
    }
    // Room first: a node leaves its owner only when nothing can fail.
    if (items_.capacity() - items_.size() <= json_detail::ChildRoom::kInline) {
      items_.reserve(std::max<size_t>(64, items_.capacity() * 2));
    }
    if (kIsList<Container> && items_.size() == first_item) {
      json_detail::Child* children = json_detail::Children(*container);
      for (size_t i = 0; i < json_detail::ChildCount(*container); ++i) items_.push_back(children[i].Take());
      json_detail::ClearChildren(*container);
    }
    items_.push_back(node ? JSONCell::Pointer(JSONCell::kNode, node.release()) : scalar);
  }

  // An element of an array. It and ReadValue are part of the items' loop,
  // whatever the compiler would weigh: they run once per element.
  [[gnu::always_inline]] void ReadItem(TJSONlist* list, size_t first_item) {
    const char* value_start = p_;
    std::unique_ptr<TJSONbase> value;
    JSONCell scalar = JSONCell::Null();
    if (!ReadValue(list, value, scalar)) RaiseAt("Empty element", Offset(value_start));
    if (list) Keep(list, first_item, value, scalar);
  }

  // A member of an object.
  void ReadItem(TJSONobject* object, size_t first_item) {
    if (*p_ != '"') RaiseAt("Unquoted property name", Offset(p_));
    std::string_view raw = ReadStringToken();
    if (raw.empty()) RaiseAt("Empty property name", Offset(p_ - 1));
    // Without escapes the narrow name is the raw text itself.
    std::string_view narrow_name = raw;
    std::string unescaped;
    if (escaped_) {
      Unescape(raw);
      unescaped = WideToAnsi(wide_);
      narrow_name = unescaped;
      if (events_) Emit(jeName, Variant::OleStr(wide_));
    } else if (events_) {
      Emit(jeName, Variant::OleStr(AnsiToWide(raw)));
    }
    SkipWhitespace();
    if (*p_ != ':') RaiseAt("Missing property name/value delimiter (:)", Offset(p_));
    ++p_;
    SkipWhitespace();
    if (*p_ == ',' || *p_ == '}') RaiseAt("Missing property value", Offset(p_));
    std::unique_ptr<TJSONbase> value;
    JSONCell scalar = JSONCell::Null();
    bool recognised = ReadValue(object, value, scalar);
    // Event mode does not catch a misspelled literal here: its letters are
    // then read as the next member name.
    if (object && !recognised) RaiseAt("Empty element", Offset(p_));
    if (object) {
      names_.Add(narrow_name);
      Keep(object, first_item, value, scalar);
    }
  }

  // Reads the value starting at the position (whitespace skipped) and
  // reports it (event mode), or gives it: a container in `container`, a
  // scalar in `scalar`. False when nothing was recognised: a misspelled
  // literal, or the end of the text.
  [[gnu::always_inline]] bool ReadValue(TJSONarray* parent, std::unique_ptr<TJSONbase>& container, JSONCell& scalar) {
    switch (*p_) {
      case '"':
        ReadString(scalar);
        return true;
      case '-': case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
        scalar = ReadNumber();
        if (events_) {
          Emit(jeNumber, scalar.IsDouble() ? Variant::Double(scalar.AsDouble()) : Variant::Integer(scalar.AsInteger()));
        }
        return true;
      case 't': case 'T': case 'f': case 'F': case 'n': case 'N':
        if (!ReadLiteral(scalar)) return false;
        if (events_) {
          bool boolean = !scalar.IsNull();
          Emit(boolean ? jeBoolean : jeString, boolean ? Variant::Boolean(scalar.AsBoolean()) : Variant::Null());
        }
        return true;
      default:
        // Tree mode keeps "[]" and "{}" in their container as a cell, as it
        // keeps a scalar, until their object is asked for (a closing bracket
        // is its opening one plus two). One nested too deep goes on, to be
        // refused below.
        if (!events_ && OpensContainer(*p_) && p_[1] == *p_ + 2 && depth_ < kJSONMaxDepth) {
          scalar = *p_ == '[' ? JSONCell::EmptyList() : JSONCell::EmptyObject();
          p_ += 2;
          return true;
        }
        container = ReadContainer(parent);
        return container != nullptr || events_;
    }
  }

  // true, false or null in any letter case; nothing is consumed when the
  // letters do not match.
  bool ReadLiteral(JSONCell& scalar) {
    static constexpr std::string_view kWords[] = {"TRUE", "FALSE", "NULL"};
    for (std::string_view word : kWords) {
      if (AsciiUpper(*p_) != word[0]) continue;
      for (size_t i = 1; i < word.size(); ++i) {
        if (AsciiUpper(p_[i]) != word[i]) return false;
      }
      p_ += word.size();
      scalar = word[0] == 'N' ? JSONCell::Null() : JSONCell::Boolean(word[0] == 'T');
      return true;
    }
    return false;
  }

  // ---------------------------------------------------------------------------
  // Strings
  // ---------------------------------------------------------------------------

  char16_t Widen(char c) const { return widened_[static_cast<unsigned char>(c)]; }

  // The raw content between the quotes; the position moves past the closing
  // quote. A backslash makes the byte after it part of the content;
  // escaped_ tells whether there was one.
  std::string_view ReadStringToken() {
    const char* content = p_ + 1;
    const char* p = content;
    escaped_ = false;
    for (;;) {
      while (end_ - p >= 8 && !HasQuoteOrBackslash(p)) p += 8;
      char c = *p;
      if (c == '"') break;
      if (c == '\0') RaiseAt("Unterminated string", Offset(content));
      if (c == '\\') {
        if (p[1] == '\0') RaiseAt("Unterminated string", Offset(content));
        escaped_ = true;
        ++p;
      }
      ++p;
    }
    p_ = p + 1;
    return std::string_view(content, static_cast<size_t>(p - content));
  }

  // Tree mode widens a string without escapes straight into the arena.
  void ReadString(JSONCell& scalar) {
    std::string_view raw = ReadStringToken();
    if (!events_) {
      if (escaped_) {
        Unescape(raw);
        scalar = JSONCell::TextIn(wide_, *arena_);
      } else if (raw.empty()) {
        scalar = JSONCell::TextIn({}, *arena_);
      } else {
        char16_t* units = nullptr;
        scalar = JSONCell::TextRoomIn(raw.size(), *arena_, units);
        WidenInto(raw, units);
      }
      return;
    }
    if (raw.empty()) {
      Emit(jeString, Variant::String({}));
      return;
    }
    if (escaped_) {
      Unescape(raw);
    } else {
      wide_.resize(raw.size());
      WidenInto(raw, wide_.data());
    }
    Emit(jeString, Variant::OleStr(wide_));
  }

  // Widens text without escapes; eight ASCII bytes at a time are their own
  // code units.
  void WidenInto(std::string_view raw, char16_t* out) const {
    size_t i = 0;
    for (; raw.size() - i >= 8; i += 8) {
      uint64_t word = 0;
      std::memcpy(&word, raw.data() + i, sizeof word);
      if ((word & 0x8080808080808080) == 0) {
        for (size_t k = 0; k < 8; ++k) out[i + k] = static_cast<char16_t>(static_cast<unsigned char>(raw[i + k]));
      } else {
        for (size_t k = 0; k < 8; ++k) out[i + k] = Widen(raw[i + k]);
      }
    }
    for (; i < raw.size(); ++i) out[i] = Widen(raw[i]);
  }

  // Widens the raw content into wide_ and resolves its escapes.
  void Unescape(std::string_view raw) {
    wide_.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      char c = raw[i];
      if (c != '\\') {
        wide_.push_back(Widen(c));
        continue;
      }
      size_t escape = ++i;  // the character after the backslash
      switch (raw[escape]) {
        case '"': case '\\': case '/': case ' ': wide_.push_back(static_cast<char16_t>(raw[escape])); break;
        case 'b': wide_.push_back(u'\b'); break;
        case 'f': wide_.push_back(u'\f'); break;
        case 'n': wide_.push_back(u'\n'); break;
        case 'r': wide_.push_back(u'\r'); break;
        case 't': wide_.push_back(u'\t'); break;
        case 'u':
        case 'U': {
          int code = 0;
          bool valid = raw.size() - escape - 1 >= 4;
          for (size_t k = 1; valid && k <= 4; ++k) {
            int digit = HexDigitValue(raw[escape + k]);
            if (digit < 0) valid = false;
            code = code * 16 + digit;
          }
          if (!valid) RaiseEscape("Invalid UNICODE escape sequence", escape, raw);
          wide_.push_back(static_cast<char16_t>(code));
          i += 4;
          break;
        }
        default:
          RaiseEscape("Unrecognized escape sequence", escape, raw);
      }
    }
  }

  // ---------------------------------------------------------------------------
  // Numbers
  // ---------------------------------------------------------------------------

  // Scans the token once, gathering its digits into a mantissa and a
  // decimal exponent; with at most 19 significant digits the mantissa is
  // exact, and most such tokens convert from it exactly. The rest are read
  // again from their digits (DigitsValue).
  JSONCell ReadNumber() {
    const char* token = p_;
    const char* p = p_;
    bool negative = *p == '-';
    if (negative) ++p;
    // Leading zeros add nothing to the mantissa; the digits after them are
    // gathered without a check each, as their count is checked once.
    const char* whole = p;
    while (*p == '0') ++p;
    const char* first = p;
    uint64_t mantissa = 0;
    p = ReadDigits(p, mantissa);
    const char* decimals = p;
    auto significant = static_cast<size_t>(p - first);
    bool any_digit = p != whole;
    int64_t scale = 0;  // the token's value is mantissa × 10^scale
    bool fraction = false;
    bool exponent = false;
    if (*p == '.') {
      ++p;
      if (!IsDigit(*p)) RaiseAt("Missing fractional part of a floating-point number", Offset(token));
      decimals = p;
      if (significant == 0) {
        while (*p == '0') ++p;
      }
      first = p;
      p = ReadDigits(p, mantissa);
      significant += static_cast<size_t>(p - first);
      scale = -static_cast<int64_t>(p - decimals);
      any_digit = true;
      fraction = true;
    }
    if (*p == 'e' || *p == 'E') {
      ++p;
      bool negative_exponent = *p == '-';
      if (*p == '+' || *p == '-') ++p;
      if (!IsDigit(*p)) RaiseAt("Exponent of the number is not integer", Offset(token));
      // Digits stop counting once the exponent passes 10^17: one that large
      // outweighs the digits of any text that fits in memory, so the value
      // lies outside a double's range either way.
      int64_t magnitude = 0;
      for (; IsDigit(*p); ++p) {
        if (magnitude < kExponentSaturation) magnitude = magnitude * 10 + (*p - '0');
      }
      scale += negative_exponent ? -magnitude : magnitude;
      exponent = true;
    }
    bool exact = any_digit && significant <= kMantissaDigits;
    // A whole number that fits in 32 bits (-2147483648 does not) is an
    // integer; every other number is a double.
    if (!fraction && !exponent && exact && mantissa <= 2147483647) {
      auto integer = static_cast<int32_t>(mantissa);
      p_ = p;
      return JSONCell::Integer(negative ? -integer : integer);
    }
    double real = 0;
    if (!(exact && ExactDecimal(mantissa, scale, real))) {
      real = DigitsValue(std::string_view(token, static_cast<size_t>(p - token)), scale);
    }
    p_ = p;
    return JSONCell::Number(negative ? -real : real);
  }

  // The value of a number token from all its digits, given the token's
  // power of ten with its fraction's length taken off. Kept out of
  // ReadNumber, whose common path then needs fewer registers.
  [[gnu::noinline]] static double DigitsValue(std::string_view token, int64_t scale) {
    auto digits_at = [&token](size_t start) {
      size_t end = start;
      while (end < token.size() && IsDigit(token[end])) ++end;
      return token.substr(start, end - start);
    };
    std::string_view whole = digits_at(token[0] == '-' ? 1 : 0);
    size_t point = static_cast<size_t>(whole.data() - token.data()) + whole.size();
    std::string_view fraction = point < token.size() && token[point] == '.' ? digits_at(point + 1) : std::string_view();
    double value = 0;
    if ((whole.empty() && fraction.empty()) || !DigitsToDouble(whole, fraction, scale, value)) RaiseNotAFloat(token);
    return value;
  }

  static constexpr int64_t kExponentSaturation = 100000000000000000;
  static constexpr size_t kMantissaDigits = 19;  // always below 2^64

  // Appends the digits at `p` to the mantissa, eight at a time, and the
  // fewer than eight before a non-digit as one word padded with leading
  // zeros; gives the position after them. More than 19 digits wrap the
  // mantissa, which is then not used.
  const char* ReadDigits(const char* p, uint64_t& mantissa) const {
    static constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    if constexpr (std::endian::native == std::endian::little) {
      while (end_ - p >= 8) {
        uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        uint64_t non_digits = NonDigits(word);
        if (non_digits == 0) {
          mantissa = mantissa * 100000000 + EightDigitsValue(word);
          p += 8;
          continue;
        }
        int count = std::countr_zero(non_digits) / 8;
        if (count != 0) {
          uint64_t padded = (word << (64 - 8 * count)) | (0x3030303030303030 >> (8 * count));
          mantissa = mantissa * kPowersOfTen[count] + EightDigitsValue(padded);
        }
        return p + count;
      }
    }
    for (; IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    return p;
  }

  // mantissa × 10^scale correctly rounded, or false when it is left to
  // ToDouble. Within 2^53 and 10^22 both factors are exact doubles, so one
  // operation rounds correctly.
  static bool ExactDecimal(uint64_t mantissa, int64_t scale, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (mantissa <= (uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
      auto exact = static_cast<double>(mantissa);
      value = scale < 0 ? exact / kPowers[-scale] : exact * kPowers[scale];
      return true;
    }
    return DecimalToDouble(mantissa, scale, value);
  }

  // ---------------------------------------------------------------------------
  // State of one call
  // ---------------------------------------------------------------------------

  const char* start_;
  const char* end_;  // the NUL that ends the text
  const char* p_;
  const TJSONParseEvent& on_event_;
  bool events_;
  const char16_t* widened_;  // each byte of the code page as UTF-16
  int depth_ = 0;
  // Tree mode: the memory of the values read, until the root takes it. It
  // outlives the items below, which may hold values made in it.
  std::unique_ptr<ValueArena> arena_;
  std::u16string wide_;  // reused by every string
  bool escaped_ = false;  // whether the last string token held a backslash
  // The items of every open container, innermost last; a node among them
  // is owned by the parser until its container takes it.
  std::vector<JSONCell> items_;
  TJSONnames names_;  // of every open object, innermost last
  // Tree mode: the names last made for each hash of names, which objects of
  // the same names share (documents repeat the same shape of object).
  std::array<json_detail::Names*, 256> made_names_{};
};

size_t TJSONStartCheck::Check(std::string_view head, bool whole) {
  while (blanks_ < head.size() && IsWhitespace(head[blanks_])) ++blanks_;
  if (blanks_ == head.size()) return kUndecided;
  if (OpensContainer(head[blanks_])) return blanks_;
  if (!whole && head.size() - blanks_ < kUnexpectedShown) return kUndecided;
  RaiseUnexpected(blanks_, head.substr(blanks_));
}

std::unique_ptr<TJSONbase> ParseJSON(const char* text, const TJSONParseEvent& on_event) {
  if (text == nullptr) return nullptr;
  return JSONParser(text, on_event).Parse();
}

}  // namespace tarn
