#include "platform/registry_format.h"

#include <algorithm>
#include <cstdio>

#include "platform/code_page.h"
#include "platform/utf8_text.h"
#include "platform/exceptions.h"

namespace tarn {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
// The platform's own limits: a key name holds at most 255 characters, and
// keys nest at most 512 deep.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxKeyDepth = 512;

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// UTF-16LE with a byte-order mark becomes UTF-8; a UTF-8 mark is dropped.
std::string ToUtf8(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) return std::string(text.substr(3));
  if (!text.starts_with("\xFF\xFE")) return std::string(text);
  std::u16string wide;
  for (size_t i = 2; i + 1 < text.size(); i += 2) {
    wide += static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                  (static_cast<unsigned char>(text[i + 1]) << 8));
  }
  // Characters outside Windows-1252 cannot be held by the program anyway.
  return AnsiToUtf8(WideToAnsi(wide));
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& file_name) : text_(text), file_name_(file_name) {}

  RegHive Parse() {
    RegKey* key = nullptr;
    bool header_seen = false;
    while (NextLine()) {
      std::string_view line = Trim(line_);
      if (line.empty() || line.front() == ';') continue;
      if (!header_seen) {
        if (line != kHeader) Fail("the file does not start with \"" + std::string(kHeader) + "\"");
        header_seen = true;
        continue;
      }
      if (line.front() == '[') {
        key = StartKey(line);
      } else if (key == nullptr) {
        Fail("a value stands before the first key");
      } else {
        ParseValue(line, *key);
      }
    }
    return std::move(hive_);
  }

 private:
  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
  }

  bool NextLine() {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    line_ = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ++line_number_;
    return true;
  }

  [[noreturn]] void Fail(const std::string& why) const {
    throw ERegistryException("The registry file " + file_name_ + " cannot be read: line " +
                             std::to_string(line_number_) + ": " + why);
  }

  RegKey* StartKey(std::string_view line) {
    if (line.back() != ']') Fail("a key line does not end with ']'");
    std::string path = Utf8ToAnsi(line.substr(1, line.size() - 2));
    if (path.starts_with('-')) Fail("key deletions are not kept in the registry file");
    std::string_view rest(path);
    if (!SameText(rest.substr(0, kRoot.size()), kRoot) ||
        (rest.size() > kRoot.size() && rest[kRoot.size()] != '\\')) {
      Fail("the key is not below " + std::string(kRoot));
    }
    std::string relative = NormalizeRegPath(rest.substr(kRoot.size()));
    size_t depth = 0;
    for (size_t begin = 0; begin < relative.size(); ++depth) {
      size_t end = std::min(relative.find('\\', begin), relative.size());
      if (end - begin > kMaxKeyName) Fail("a key name is longer than 255 characters");
      begin = end + 1;
    }
    if (depth > kMaxKeyDepth) Fail("keys nest deeper than 512 levels");
    return relative.empty() ? &root_ : &EnsureRegKey(hive_, relative);
  }

  // A quoted string at `s`, with \\ and \" escapes; `s` is left after it.
  std::string QuotedString(std::string_view& s) {
    if (s.empty() || s.front() != '"') Fail("a quoted string was expected");
    std::string out;
    size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
      if (s[i] == '\\') {
        if (++i == s.size()) break;
      }
      out += s[i];
    }
    if (i >= s.size()) Fail("a quoted string is not closed");
    s.remove_prefix(i + 1);
    return Utf8ToAnsi(out);
  }

  std::string HexBytes(std::string_view s) {
    std::string digits(s);
    // A list of bytes may continue on the next lines after a backslash.
    while (!digits.empty() && Trim(digits).back() == '\\') {
      digits = std::string(Trim(digits));
      digits.pop_back();
      if (!NextLine()) Fail("a continued value ends with the file");
      digits += Trim(line_);
    }
    std::string bytes;
    std::string_view rest = Trim(digits);
    while (!rest.empty()) {
      size_t comma = rest.find(',');
      std::string_view item = Trim(rest.substr(0, comma));
      unsigned value = 0;
      if (item.empty() || item.size() > 2 || std::sscanf(std::string(item).c_str(), "%2x", &value) != 1) {
        Fail("'" + std::string(item) + "' is not a hexadecimal byte");
      }
      bytes += static_cast<char>(value);
      if (comma == std::string_view::npos) break;
      rest = rest.substr(comma + 1);
    }
    return bytes;
  }

  void ParseValue(std::string_view line, RegKey& key) {
    RegValue value;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      value.name = QuotedString(line);
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') Fail("'=' was expected after the value name");
    line = Trim(line.substr(1));
    if (line.starts_with('"')) {
      value.text = QuotedString(line);
      if (!Trim(line).empty()) Fail("text follows a string value");
    } else if (line.starts_with("dword:")) {
      std::string digits(line.substr(6));
      unsigned long number = 0;
      char extra;
      if (digits.size() != 8 || std::sscanf(digits.c_str(), "%8lx%c", &number, &extra) != 1) {
        Fail("a dword value needs eight hexadecimal digits");
      }
      value.type = kRegDword;
      for (int i = 0; i < 4; ++i) value.bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    } else if (line.starts_with("hex:")) {
      value.type = kRegBinary;
      value.bytes = HexBytes(line.substr(4));
    } else if (line.starts_with("hex(")) {
      size_t close = line.find("):");
      unsigned type = 0;
      if (close == std::string_view::npos ||
          std::sscanf(std::string(line.substr(4, close - 4)).c_str(), "%x", &type) != 1) {
        Fail("a typed value needs the form hex(type):bytes");
      }
      value.type = type;
      value.bytes = HexBytes(line.substr(close + 2));
    } else if (line == "-") {
      Fail("value deletions are not kept in the registry file");
    } else {
      Fail("the value's data is not in a known form");
    }
    if (RegValue* existing = key.Find(value.name)) {
      *existing = std::move(value);
    } else {
      key.values.push_back(std::move(value));
    }
  }

  std::string_view text_;
  const std::string& file_name_;
  size_t pos_ = 0;
  size_t line_number_ = 0;
  std::string_view line_;
  RegHive hive_;
  RegKey root_;  // values directly on the root are accepted and dropped
};

std::string Quote(std::string_view ansi) {
  std::string out = "\"";
  for (char c : AnsiToUtf8(ansi)) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string HexList(const RegValue& value) {
  std::string out = value.type == kRegBinary ? "hex:" : "hex(" + [&] {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", value.type);
    return std::string(buffer);
  }() + "):";
  for (size_t i = 0; i < value.bytes.size(); ++i) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(value.bytes[i]));
    if (i > 0) out += ',';
    out += buffer;
  }
  return out;
}

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(Fold(a[i]));
    unsigned char y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

RegValue* RegKey::Find(std::string_view name) {
  for (RegValue& value : values) {
    if (SameText(value.name, name)) return &value;
  }
  return nullptr;
}

const RegValue* RegKey::Find(std::string_view name) const {
  return const_cast<RegKey*>(this)->Find(name);
}

RegKey& EnsureRegKey(RegHive& hive, const std::string& path) {
  if (auto found = hive.find(path); found != hive.end()) return found->second;
  for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    hive.try_emplace(path.substr(0, slash));
  }
  return hive[path];
}

RegHive ParseRegistryText(std::string_view text, const std::string& file_name) {
  std::string utf8 = ToUtf8(text);
  return Parser(utf8, file_name).Parse();
}

std::string FormatRegistryText(const RegHive& hive) {
  std::string out = std::string(kHeader) + "\r\n\r\n";
  for (const auto& [path, key] : hive) {
    out += "[" + AnsiToUtf8(std::string(kRoot) + "\\" + path) + "]\r\n";
    for (const RegValue& value : key.values) {
      out += value.name.empty() ? std::string("@") : Quote(value.name);
      out += '=';
      if (value.type == kRegSz) {
        out += Quote(value.text);
      } else if (value.type == kRegDword && value.bytes.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.bytes[i]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        out += buffer;
      } else {
        out += HexList(value);
      }
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace tarn
