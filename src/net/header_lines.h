// Header lines of a request being built, and of a response as received.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/ascii_text.h"

namespace tarn {

// A space or a tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// The text without the spaces and tabs around it.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Where the name and the value of a "Name: value" line lie in it; found
// once per line, as headers are looked up by name.
struct HeaderLineParts {
  std::size_t name_start = 0;
  std::size_t name_size = 0;  // 0 for a line without a ":"
  std::size_t colon = 0;

  explicit HeaderLineParts(std::string_view line);
  // The name without the blanks around it; `line` may go on past the
  // line's end.
  std::string_view Name(std::string_view line) const { return line.substr(name_start, name_size); }
  // Whether the name is `name`, compared without regard to case.
  bool Names(std::string_view line, std::string_view name) const {
    return name_size == name.size() && SameAsciiText(Name(line), name);
  }
  // The value without the blanks around it.
  std::string_view Value(std::string_view line) const { return TrimBlanks(line.substr(colon + 1)); }
};

// Request header lines. A line whose name is already present is merged into
// it, the values separated by a comma, as the platform's HTTP service does.
class RequestHeaderLines {
 public:
  // Adds one or more lines separated by CR LF (or LF); empty lines are
  // skipped. Returns false, adding nothing more, at a line without a ":".
  bool Add(std::string_view text);
  bool Has(std::string_view name) const { return Find(name) < count_; }
  std::span<const std::string> Lines() const noexcept { return {lines_.data(), count_}; }
  // The parts of each of Lines().
  std::span<const HeaderLineParts> Parts() const noexcept { return {parts_.data(), count_}; }
  // Forgets the lines; their memory serves the next request's.
  void Clear() noexcept { count_ = 0; }

 private:
  // The position of the line of that name, or count_.
  std::size_t Find(std::string_view name) const;

  std::vector<std::string> lines_;
  std::vector<HeaderLineParts> parts_;  // of each line
  std::size_t count_ = 0;              // the lines in use, at the front
};

// The head of the last response received: its status line and header lines.
// A new status line (an interim or authentication answer before the final
// one) starts the head afresh. Once the blank line has ended a head, other
// lines are trailer fields sent after a chunked body: they are not part of
// the head and decide nothing.
class ResponseHead {
 public:
  // One line as received, with or without its CR LF or bare LF.
  void AddLine(std::string_view line);
  void Clear() noexcept {
    text_.clear();
    lines_.clear();
    complete_ = false;
  }

  // Status line first, every line ended by CR LF, a blank line at the end;
  // empty when nothing was received.
  std::string RawCrlf() const;
  // The first header of that name (compared without regard to case), its
  // value without surrounding blanks; empty when missing.
  std::string Value(std::string_view name) const;
  // The status code, or 0 when there is no status line.
  std::int32_t StatusCode() const;
  // Whether a blank line has ended the head.
  bool Complete() const noexcept { return complete_; }

 private:
  std::string_view Line(std::size_t index) const;

  struct LineSpan {
    std::size_t start;  // in the text
    HeaderLineParts parts;
  };

  // The lines one after another, each ended by CR LF, in one text that
  // keeps its memory from one answer to the next.
  std::string text_;
  std::vector<LineSpan> lines_;
  bool complete_ = false;
};

// Leading blanks, then decimal digits up to the first other character; 0
// when there are none or the number exceeds 32 bits.
std::int32_t HeaderNumberValue(std::string_view text);

}  // namespace tarn
