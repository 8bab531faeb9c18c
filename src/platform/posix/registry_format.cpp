#include "platform/posix/registry_format.h"

#include <algorithm>
#include <cstdio>

#include "platform/portable/ascii_text.h"
#include "platform/code_page.h"
#include "platform/display_text.h"
#include "platform/portable/utf8_text.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
// The platform's own limits: a key name holds at most 255 characters, and
// keys nest at most 512 deep.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxKeyDepth = 512;

constexpr char kHexDigits[] = "0123456789abcdef";

// An export saved as UTF-16LE with its byte-order mark, as UTF-8 text of
// the characters the program can hold (unlike Utf16ToUtf8, which keeps every
// unit).
std::string ExportedUtf16AsUtf8(std::string_view text) {
  std::u16string wide;
  for (size_t i = 2; i + 1 < text.size(); i += 2) {
    wide += static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                  (static_cast<unsigned char>(text[i + 1]) << 8));
  }
  // Characters outside Windows-1252 cannot be held by the program anyway.
  return AnsiToUtf8(WideToAnsi(wide));
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// About how many keys a text lists: its lines that start with '[', but no
// more than the shortest key lines ("[HKEY_CURRENT_USER\x]" and a line
// break) could hold, so that lines that are no keys reserve nothing.
size_t CountKeyLines(std::string_view text) {
  size_t count = text.starts_with('[');
  for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
    count += i + 1 < text.size() && text[i + 1] == '[';
  }
  return std::min(count, text.size() / (kRootName.size() + 5));
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& file_name) : text_(text), file_name_(file_name) {}

  RegHive Parse() {
    hive_.ReserveKeys(CountKeyLines(text_));
    bool header_seen = false;
    bool in_key = false;
    while (NextLine()) {
      std::string_view line = Trim(line_);
      if (line.empty() || line.front() == ';') continue;
      if (!header_seen) {
        if (line != kHeader) Fail("the file does not start with \"" + std::string(kHeader) + "\"");
        header_seen = true;
        continue;
      }
      if (line.front() == '[') {
        key_ = StartKey(line);
        in_key = true;
      } else if (!in_key) {
        Fail("a value stands before the first key");
      } else {
        ParseValue(line);
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
    size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    line_ = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ++line_number_;
    return true;
  }

  [[noreturn]] void Fail(const std::string& why) const {
    throw ERegistryException("The registry file " + DisplayPath(file_name_) + " cannot be read: line " +
                             std::to_string(line_number_) + ": " + why);
  }

  RegHive::KeyId StartKey(std::string_view line) {
    if (line.back() != ']') Fail("a key line does not end with ']'");
    std::string_view path = line.substr(1, line.size() - 2);
    std::string converted;
    if (!IsAscii(path)) path = converted = Utf8ToAnsi(path);
    if (path.starts_with('-')) Fail("key deletions are not kept in the registry file");
    if (!SameRegName(path.substr(0, kRootName.size()), kRootName) ||
        (path.size() > kRootName.size() && path[kRootName.size()] != '\\')) {
      Fail("the key is not below " + std::string(kRootName));
    }
    std::string_view relative = path.substr(kRootName.size());
    // An export lists keys in the order of the tree, so a key line mostly
    // repeats the previous one's path: the keys along the part that both
    // spell alike are taken from it instead of looked up again.
    size_t same = std::mismatch(relative.begin(), relative.end(), previous_path_.begin(), previous_path_.end()).first -
                  relative.begin();
    path_keys_.clear();
    RegHive::KeyId key = RegHive::kRoot;
    ForEachRegName(relative, [&](std::string_view name) {
      if (name.size() > kMaxKeyName) Fail("a key name is longer than 255 characters");
      size_t depth = path_keys_.size();
      if (depth == kMaxKeyDepth) Fail("keys nest deeper than 512 levels");
      auto end = static_cast<size_t>(name.data() + name.size() - relative.data());
      if (depth < previous_keys_.size() && previous_keys_[depth].end == end && end <= same) {
        key = previous_keys_[depth].key;
      } else {
        key = hive_.EnsureSubKey(key, name, false);
      }
      path_keys_.push_back({end, key});
      return true;
    });
    previous_path_.assign(relative);
    previous_keys_.swap(path_keys_);
    if (key != RegHive::kRoot) hive_.MarkListed(key);
    return key;
  }

  // A quoted string at `s`, with \\ and \" escapes; `s` is left after it.
  std::string QuotedString(std::string_view& s) {
    if (s.empty() || s.front() != '"') Fail("a quoted string was expected");
    std::string out;
    size_t i = 1;
    while (i < s.size() && s[i] != '"') {
      size_t run = i;
      while (run < s.size() && s[run] != '"' && s[run] != '\\') ++run;
      out.append(s.substr(i, run - i));
      i = run;
      if (i < s.size() && s[i] == '\\') {
        if (++i == s.size()) break;
        out += s[i++];
      }
    }
    if (i >= s.size()) Fail("a quoted string is not closed");
    s.remove_prefix(i + 1);
    return IsAscii(out) ? out : Utf8ToAnsi(out);
  }

  std::string HexBytes(std::string_view s) {
    std::string digits(s);
    // A list of bytes may continue on the next lines after a backslash.
    for (;;) {
      while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) digits.pop_back();
      if (digits.empty() || digits.back() != '\\') break;
      digits.pop_back();
      if (!NextLine()) Fail("a continued value ends with the file");
      digits += Trim(line_);
    }
    std::string bytes;
    std::string_view rest = Trim(digits);
    while (!rest.empty()) {
      size_t comma = rest.find(',');
      std::string_view item = Trim(rest.substr(0, comma));
      int high = item.empty() || item.size() > 2 ? -1 : HexDigitValue(item[0]);
      int low = item.size() == 2 ? HexDigitValue(item[1]) : 0;
      if (high < 0 || low < 0) Fail("'" + std::string(item) + "' is not a hexadecimal byte");
      bytes += static_cast<char>(item.size() == 2 ? high * 16 + low : high);
      if (comma == std::string_view::npos) break;
      rest = rest.substr(comma + 1);
    }
    return bytes;
  }

  void ParseValue(std::string_view line) {
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
      std::string_view digits = line.substr(6);
      uint32_t number = 0;
      for (char c : digits) number = number << 4 | static_cast<uint32_t>(HexDigitValue(c) & 0xF);
      if (digits.size() != 8 || std::any_of(digits.begin(), digits.end(), [](char c) { return HexDigitValue(c) < 0; })) {
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
    // Values directly on the root are accepted and dropped.
    if (key_ != RegHive::kRoot) hive_.SetValue(key_, std::move(value));
  }

  std::string_view text_;
  const std::string& file_name_;
  size_t pos_ = 0;
  size_t line_number_ = 0;
  std::string_view line_;
  RegHive hive_;
  RegHive::KeyId key_ = RegHive::kRoot;
  // Each name of a key line's path: where it ends in the path, and its key.
  struct PathKey {
    size_t end;
    RegHive::KeyId key;
  };
  std::string previous_path_;
  std::vector<PathKey> previous_keys_;
  std::vector<PathKey> path_keys_;
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
  out.reserve(out.size() + 3 * value.bytes.size());
  for (size_t i = 0; i < value.bytes.size(); ++i) {
    auto byte = static_cast<unsigned char>(value.bytes[i]);
    if (i > 0) out += ',';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
  }
  return out;
}

void AppendValue(std::string& out, const RegValue& value) {
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

}  // namespace

RegHive ParseRegistryText(std::string_view text, const std::string& file_name) {
  if (text.starts_with("\xFF\xFE")) {
    std::string utf8 = ExportedUtf16AsUtf8(text);
    return Parser(utf8, file_name).Parse();
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return Parser(text, file_name).Parse();
}

std::string FormatRegistryText(const RegHive& hive) {
  std::string out = std::string(kHeader) + "\r\n\r\n";
  // Depth first without recursion: each frame holds one key's subkeys in
  // order and the length of that key's path.
  struct Frame {
    std::vector<RegHive::KeyId> children;
    size_t next;
    size_t path_length;
  };
  std::string path(kRootName);
  std::vector<Frame> frames;
  frames.push_back({hive.SubKeys(RegHive::kRoot), 0, path.size()});
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next == frame.children.size()) {
      frames.pop_back();
      continue;
    }
    RegHive::KeyId key = frame.children[frame.next++];
    path.resize(frame.path_length);
    path += '\\';
    path += hive.Name(key);
    // A key that holds nothing and has subkeys is implied by them.
    if (hive.Listed(key) || !hive.Values(key).empty() || !hive.HasSubKeys(key)) {
      out += "[" + AnsiToUtf8(path) + "]\r\n";
      for (const RegValue& value : hive.Values(key)) AppendValue(out, value);
      out += "\r\n";
    }
    frames.push_back({hive.SubKeys(key), 0, path.size()});
  }
  return out;
}

}  // namespace tarn
