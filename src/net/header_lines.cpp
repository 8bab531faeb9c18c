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

// Whether the line's name is `name`, compared without regard to case. Most
// lines differ from the name in their first bytes, and are told apart
// before their colon is looked for.
bool NamedAs(std::string_view line, std::string_view name) {
  const std::string_view trimmed = TrimBlanks(line);
  if (!name.empty() && (trimmed.size() <= name.size() || !SameAsciiText(trimmed.substr(0, name.size()), name))) {
    return false;
  }
  return SameAsciiText(NameOf(line), name);
}

}  // namespace

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
    for (std::string& present : std::span(lines_.data(), count_)) {
      if (!NamedAs(present, name)) continue;
      present.append(", ").append(value);
      merged = true;
      break;
    }
    if (merged) continue;
    if (count_ < lines_.size()) {
      lines_[count_].assign(line);
    } else {
      lines_.emplace_back(line);
    }
    ++count_;
  }
  return true;
}

bool RequestHeaderLines::Has(std::string_view name) const {
  for (const std::string& line : Lines()) {
    if (NamedAs(line, name)) return true;
  }
  return false;
}

void ResponseHead::AddLine(std::string_view line) {
  line = WithoutLineEnd(line);
  if (line.starts_with("HTTP/")) {
    Clear();
  } else if (complete_) {
    return;
  }
  if (!line.empty()) {
    const std::size_t start = text_.size();
    const std::string_view name = NameOf(line);
    const std::size_t name_start = name.empty() ? start : start + static_cast<std::size_t>(name.data() - line.data());
    lines_.push_back({start, name_start, name.size()});
    text_.append(line).append("\r\n");
  } else {
    complete_ = !lines_.empty();
  }
}

std::string_view ResponseHead::Line(std::size_t index) const {
  const std::size_t start = lines_[index].start;
  const std::size_t end = index + 1 < lines_.size() ? lines_[index + 1].start : text_.size();
  return std::string_view(text_).substr(start, end - start - 2);
}

std::string ResponseHead::RawCrlf() const { return text_.empty() ? std::string() : text_ + "\r\n"; }

std::string ResponseHead::Value(std::string_view name) const {
  for (std::size_t i = 1; i < lines_.size(); ++i) {
    const LineSpan& span = lines_[i];
    if (span.name_size != name.size() ||
        !SameAsciiText(std::string_view(text_).substr(span.name_start, span.name_size), name)) {
      continue;
    }
    std::string_view line = Line(i);
    return std::string(TrimBlanks(line.substr(line.find(':') + 1)));
  }
  return {};
}

std::int32_t ResponseHead::StatusCode() const {
  if (lines_.empty() || !text_.starts_with("HTTP/")) return 0;
  std::string_view status_line = Line(0);
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
