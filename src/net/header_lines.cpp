#include "net/header_lines.h"

#include <cstdint>

#include "platform/ascii_text.h"

namespace tarn {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// The name of a "Name: value" line, or nothing when the line has no ":".
std::string_view NameOf(std::string_view line) {
  std::size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(0, colon));
}

}  // namespace

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool RequestHeaderLines::Add(std::string_view text) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = WithoutLineEnd(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (TrimBlanks(line).empty()) continue;
    std::string_view name = NameOf(line);
    if (name.empty()) return false;
    std::string_view value = TrimBlanks(line.substr(line.find(':') + 1));
    bool merged = false;
    for (std::string& present : lines_) {
      if (!SameAsciiText(NameOf(present), name)) continue;
      present.append(", ").append(value);
      merged = true;
      break;
    }
    if (!merged) lines_.emplace_back(line);
  }
  return true;
}

bool RequestHeaderLines::Has(std::string_view name) const {
  for (const std::string& line : lines_) {
    if (SameAsciiText(NameOf(line), name)) return true;
  }
  return false;
}

void ResponseHead::AddLine(std::string_view line) {
  line = WithoutLineEnd(line);
  if (line.starts_with("HTTP/")) {
    lines_.clear();
    complete_ = false;
  } else if (complete_) {
    return;
  }
  if (!line.empty()) {
    lines_.emplace_back(line);
  } else {
    complete_ = !lines_.empty();
  }
}

std::string ResponseHead::RawCrlf() const {
  std::string raw;
  for (const std::string& line : lines_) raw.append(line).append("\r\n");
  if (!raw.empty()) raw.append("\r\n");
  return raw;
}

std::string ResponseHead::Value(std::string_view name) const {
  for (std::size_t i = 1; i < lines_.size(); ++i) {
    if (SameAsciiText(NameOf(lines_[i]), name)) {
      std::string_view line = lines_[i];
      return std::string(TrimBlanks(line.substr(line.find(':') + 1)));
    }
  }
  return {};
}

std::int32_t ResponseHead::StatusCode() const {
  if (lines_.empty() || !lines_.front().starts_with("HTTP/")) return 0;
  std::string_view status_line = lines_.front();
  std::size_t space = status_line.find(' ');
  return space == std::string_view::npos ? 0 : HeaderNumberValue(status_line.substr(space + 1));
}

std::int32_t HeaderNumberValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  std::int64_t number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    number = number * 10 + (text[at] - '0');
    if (number > INT32_MAX) return 0;
  }
  return static_cast<std::int32_t>(number);
}

}  // namespace tarn
