// Text and WriteText of the value classes: compact JSON with no whitespace.
#include <charconv>
#include <vector>

#include "json/json_output.h"
#include "json/json_text.h"
#include "json/json_value.h"

namespace tarn {

std::string TJSONbase::Text() const {
  TJSONOutput output;
  WriteText(output);
  return std::string(output.Written());
}

void TJSONbase::WriteText(TJSONOutput& output) const {
  switch (kind_) {
    case jkNull:
      output.Append("null");
      return;
    case jkBoolean:
      output.Append(value_.AsBoolean() ? "true" : "false");
      return;
    case jkInteger: {
      char digits[16];
      auto end = std::to_chars(digits, digits + sizeof digits, value_.AsInt64()).ptr;
      output.Append({digits, static_cast<size_t>(end - digits)});
      return;
    }
    case jkFloat:
      WriteFloat(output, value_.AsDouble());
      return;
    case jkString:
      // Written whole, U+0000 included, so no part of the value is lost.
      WriteQuoted(output, value_.AsWide());
      return;
    default:
      throw TJSONError("Unsupported data type in TJSONbase.Text");
  }
}

// Lists and objects are written with an explicit stack instead of recursion,
// so a tree of any depth can be written.
void TJSONarray::WriteText(TJSONOutput& output) const {
  struct Level {
    const TJSONarray* array;
    size_t next;
  };
  std::vector<Level> levels;
  auto open = [&](const TJSONarray* array) {
    output.Put(array->kind_ == jkObject ? '{' : '[');
    levels.push_back({array, 0});
  };
  open(this);
  while (!levels.empty()) {
    Level& level = levels.back();
    const TJSONarray* array = level.array;
    if (level.next == array->children_.size()) {
      output.Put(array->kind_ == jkObject ? '}' : ']');
      levels.pop_back();
      continue;
    }
    size_t position = level.next++;
    if (position > 0) output.Put(',');
    if (array->kind_ == jkObject) {
      WriteQuotedNarrow(output, static_cast<const TJSONobject*>(array)->NarrowName(position));
      output.Put(':');
    }
    const TJSONbase& child = *array->children_[position];
    if (const TJSONarray* inner = child.AsArray()) {
      open(inner);
    } else {
      child.WriteText(output);
    }
  }
}

}  // namespace tarn
