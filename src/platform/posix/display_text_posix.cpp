#include "platform/display_text.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <cwchar>

#include "platform/code_page.h"
#include "platform/portable/utf8_text.h"

namespace tarn {

namespace {

struct UserCharset {
  locale_t locale;  // for the conversions of a set other than UTF-8
  std::string name;
  bool utf8;
};

const UserCharset& Charset() {
  static const UserCharset charset = [] {
    locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    std::string name = locale != nullptr ? ::nl_langinfo_l(CODESET, locale) : "ANSI_X3.4-1968";
    bool utf8 = name == "UTF-8" || name == "ANSI_X3.4-1968";
    return UserCharset{locale, utf8 ? "UTF-8" : name, utf8};
  }();
  return charset;
}

// The C library converts with the calling thread's locale.
class LocaleInUse {
 public:
  explicit LocaleInUse(locale_t locale) : previous_(::uselocale(locale)) {}
  ~LocaleInUse() { ::uselocale(previous_); }
  LocaleInUse(const LocaleInUse&) = delete;
  LocaleInUse& operator=(const LocaleInUse&) = delete;

 private:
  locale_t previous_;
};

// Program text in a set other than UTF-8; a character it lacks becomes '?'
// and sets `lost`.
std::string ToLocaleCharset(std::string_view text, bool& lost) {
  LocaleInUse in_use(Charset().locale);
  std::string out;
  std::mbstate_t state{};
  char bytes[MB_LEN_MAX];
  for (unsigned char c : text) {
    size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(AnsiCharToWide(c)), &state);
    if (length == static_cast<size_t>(-1)) {
      lost = true;
      state = {};
      out += '?';
    } else {
      out.append(bytes, length);
    }
  }
  return out;
}

}  // namespace

// Bytes that are not UTF-8 (a name made under another encoding) show as the
// Windows-1252 characters of the same value.
std::string DisplayPath(std::string_view path) { return Utf8ToAnsi(path); }

std::string TerminalText(std::string_view text) {
  bool lost = false;
  return Charset().utf8 ? AnsiToUtf8(text) : ToLocaleCharset(text, lost);
}

std::optional<std::string> TerminalTextExactly(std::string_view text) {
  if (Charset().utf8) return AnsiToUtf8(text);
  bool lost = false;
  std::string out = ToLocaleCharset(text, lost);
  if (lost) return std::nullopt;
  return out;
}

std::optional<std::string> TypedTextAsUtf8(std::string_view bytes, TypedFrom) {
  if (Charset().utf8) {
    if (!IsUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  std::string out;
  LocaleInUse in_use(Charset().locale);
  std::mbstate_t state{};
  for (size_t i = 0; i < bytes.size();) {
    wchar_t c;
    size_t length = std::mbrtowc(&c, bytes.data() + i, bytes.size() - i, &state);
    if (length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2)) return std::nullopt;
    AppendUtf8(out, static_cast<char32_t>(c));
    i += length == 0 ? 1 : length;  // 0: a NUL
  }
  return out;
}

std::string TypedCharset(TypedFrom) { return Charset().name; }

}  // namespace tarn
