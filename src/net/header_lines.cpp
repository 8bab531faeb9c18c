#include "net/header_lines.h"

#include <cstdint>

namespace tarn {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

HeaderLineParts::HeaderLineParts(std::string_view line) {
  colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view name = TrimBlanks(line.substr(0, colon));
  name_start = static_cast<std::size_t>(name.data() - line.data());
  name_size = name.size();
}

bool RequestHeaderLines::Add(std::string_view text) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = WithoutLineEnd(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const HeaderLineParts parts(line);
    if (parts.name_size == 0) {
      if (TrimBlanks(line).empty()) continue;
      return false;
    }
    const std::size_t present = Find(parts.Name(line));
    if (present < count_) {
      lines_[present].append(", ").append(parts.Value(line));
      continue;
    }
    if (count_ < lines_.size()) {
      lines_[count_].assign(line);
      parts_[count_] = parts;
    } else {
      lines_.emplace_back(line);
      parts_.push_back(parts);
    }
    ++count_;
  }
  return true;
}

std::size_t RequestHeaderLines::Find(std::string_view name) const {
  for (std::size_t i = 0; i < count_; ++i) {
    if (parts_[i].Names(lines_[i], name)) return i;
  }
  return count_;
}

void ResponseHead::AddLine(std::string_view line) {
  line = WithoutLineEnd(line);
  if (line.starts_with("HTTP/")) {
    Clear();
  } else if (complete_) {
    return;
  }
  if (!line.empty()) {
    lines_.push_back({text_.size(), HeaderLineParts(line)});
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
    const HeaderLineParts& parts = lines_[i].parts;
    if (parts.Names(std::string_view(text_).substr(lines_[i].start), name)) return std::string(parts.Value(Line(i)));
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
