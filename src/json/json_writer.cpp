// Text and WriteText of the value classes: compact JSON with no whitespace.
#include <charconv>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "json/arena_values.h"
#include "json/json_output.h"
#include "json/json_text.h"
#include "json/json_tree.h"
#include "json/json_value.h"

namespace tarn {

namespace {

void WriteScalar(TJSONOutput& output, JSONCell value) {
  if (value.IsDouble()) {
    WriteFloat(output, value.AsDouble());
    return;
  }
  switch (value.BoxTag()) {
    case JSONCell::kLiteral: {
      static constexpr std::string_view kTexts[] = {"false", "true", "null", "[]", "{}"};
      output.Append(kTexts[value.LiteralCode()]);
      return;
    }
    case JSONCell::kInteger:
      output.Write(16, [value](char* digits) {
        return static_cast<size_t>(std::to_chars(digits, digits + 16, value.AsInteger()).ptr - digits);
      });
      return;
    case JSONCell::kBorrowedText:
    case JSONCell::kOwnedText:
      // Written whole, U+0000 included, so no part of the value is lost.
      WriteQuoted(output, value.AsText());
      return;
    default:
      throw TJSONError("Unsupported data type in TJSONbase.Text");
  }
}

// Whether the container is of one of the library's own classes, whose text
// the writer's stack writes; a class derived from them elsewhere may write
// its own text.
bool IsLibraryContainer(const TJSONarray& array) {
  const std::type_info& type = typeid(array);
  return type == typeid(ArenaValue<TJSONlist>) || type == typeid(ArenaValue<TJSONobject>) ||
         type == typeid(TJSONlist) || type == typeid(TJSONobject) || type == typeid(ArenaRoot<TJSONlist>) ||
         type == typeid(ArenaRoot<TJSONobject>);
}

}  // namespace

std::string TJSONbase::Text() const {
  TJSONOutput output;
  WriteText(output);
  return output.Text();
}

void TJSONbase::WriteText(TJSONOutput& output) const { WriteScalar(output, slot_.cell); }

// The library's lists and objects are written with an explicit stack instead
// of recursion, so a tree of any depth can be written. Any other class keeps
// its own WriteText, nested or not.
void TJSONarray::WriteText(TJSONOutput& output) const {
  struct Level {
    const TJSONarray* array;
    bool object;
    size_t next;
  };
  std::vector<Level> levels;
  auto open = [&](const TJSONarray* array) {
    bool object = array->Kind() == jkObject;
    output.Put(object ? '{' : '[');
    levels.push_back({array, object, 0});
  };
  open(this);
  while (!levels.empty()) {
    Level& level = levels.back();
    const TJSONarray* array = level.array;
    if (level.next == json_detail::ChildCount(*array)) {
      output.Put(level.object ? '}' : ']');
      levels.pop_back();
      continue;
    }
    size_t position = level.next++;
    if (position > 0) output.Put(',');
    if (level.object) {
      WriteQuotedNarrow(output, json_detail::NarrowName(*static_cast<const TJSONobject*>(array), position));
      output.Put(':');
    }
    const json_detail::Child& child = json_detail::Children(*array)[position];
    const TJSONbase* node = child.Node();
    if (node == nullptr) {
      WriteScalar(output, child.Scalar());
    } else if (const TJSONarray* inner = node->AsArray(); inner != nullptr && IsLibraryContainer(*inner)) {
      open(inner);
    } else {
      node->WriteText(output);
    }
  }
}

}  // namespace tarn
