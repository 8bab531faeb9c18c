#include "runtime/comma_text.h"

namespace tarn {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// Reads the quoted item that starts at `pos` and moves `pos` past its
// closing quote.
std::string QuotedItem(std::string_view text, size_t& pos) {
  std::string item;
  ++pos;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c != '"') {
      item += c;
    } else if (pos < text.size() && text[pos] == '"') {
      item += '"';
      ++pos;
    } else {
      break;
    }
  }
  return item;
}

std::string PlainItem(std::string_view text, size_t& pos) {
  size_t start = pos;
  while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != ',') ++pos;
  return std::string(text.substr(start, pos - start));
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> items;
  size_t pos = SkipBlanks(text, 0);
  while (pos < text.size()) {
    items.push_back(text[pos] == '"' ? QuotedItem(text, pos) : PlainItem(text, pos));
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      pos = SkipBlanks(text, pos + 1);
      if (pos == text.size()) items.emplace_back();
    }
  }
  return items;
}

}  // namespace tarn
