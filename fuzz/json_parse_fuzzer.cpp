// Parses the input in tree mode and in event mode, and checks that both
// agree: the same error, or trees that write the same text. When it parses,
// writes the tree, parses that text again and checks that both trees write
// the same text. Then edits the parsed tree by hand (values added, replaced,
// materialised, cleared), as a program would, and writes and destroys it: a
// parsed tree's values live in memory of its own, which such edits must not
// confuse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "json/event_tree.h"
#include "json/json_parser.h"

namespace {

// What a parse gives: the text its tree writes ("" for none), or its error
// as "Class: message".
struct Outcome {
  bool failed = false;
  std::string text;
};

Outcome Parse(const std::string& text, bool events, std::unique_ptr<tarn::TJSONbase>& tree) {
  try {
    tarn::testing::EventTree built;
    tree = events ? (tarn::ParseJSON(text.c_str(), built.Callback()), built.TakeRoot()) : tarn::ParseJSON(text.c_str());
    return {false, tree ? tree->Text() : ""};
  } catch (const tarn::Exception& error) {
    return {true, std::string(error.ClassName()) + ": " + error.Message()};
  }
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// The two errors only tree mode reports, at a member's value: a misspelled
// literal (event mode takes its letters for the next member's name) and the
// end of the text (event mode finds the object unclosed).
bool OnlyTreeModeChecks(const std::string& text, const Outcome& tree, const Outcome& events) {
  const std::string empty = "TJSONError: Empty element at position ";
  if (!StartsWith(tree.text, empty)) return false;
  size_t position = std::stoul(tree.text.substr(empty.size()));
  size_t end = std::strlen(text.c_str());
  if (position == end) return events.text == "TJSONError: Missing closing bracket for array";
  return position < end && std::strchr("tTfFnN", text[position]) != nullptr &&
         events.text == "TJSONError: Unquoted property name at position " + std::to_string(position);
}

void Collect(tarn::TJSONbase* value, std::vector<tarn::TJSONarray*>& containers) {
  tarn::TJSONarray* container = value->AsArray();
  if (container == nullptr || containers.size() >= 64) return;
  containers.push_back(container);
  for (int32_t i = 0; i < container->Count() && i < 8; ++i) Collect(container->GetItem(i), containers);
}

void Edit(tarn::TJSONbase* root, const uint8_t* data, size_t size) {
  std::vector<tarn::TJSONarray*> containers;
  Collect(root, containers);
  // Each container gets one edit, chosen by a byte of the input. They are
  // visited last first, so that one destroyed by an edit of a container
  // above it (which comes earlier) is never visited afterwards.
  for (size_t i = containers.size(); i-- > 0;) {
    tarn::TJSONarray* container = containers[i];
    switch (data[i % size] % 5) {
      case 0:
        if (auto* list = dynamic_cast<tarn::TJSONlist*>(container)) {
          for (int k = 0; k < 3; ++k) list->Add(nullptr);
        } else if (auto* object = dynamic_cast<tarn::TJSONobject*>(container)) {
          object->SetNamedItem(u"added by hand", nullptr);
        }
        break;
      case 1:
        if (container->Count() > 0) container->SetItem(0, std::make_unique<tarn::TJSONlist>(container));
        break;
      case 2:
        for (int32_t k = 0; k < container->Count(); ++k) container->GetItem(k);
        break;
      case 3:
        container->Clear();
        break;
      default:
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<tarn::TJSONbase> tree;
  std::unique_ptr<tarn::TJSONbase> reported;
  Outcome from_tree = Parse(text, false, tree);
  Outcome from_events = Parse(text, true, reported);
  if (from_tree.failed != from_events.failed) std::abort();
  if (from_tree.text != from_events.text && !OnlyTreeModeChecks(text, from_tree, from_events)) std::abort();
  if (!tree) return 0;
  std::unique_ptr<tarn::TJSONbase> again;
  if (Parse(from_tree.text, false, again).text != from_tree.text) std::abort();
  Edit(tree.get(), data, size);
  tree->Text();
  return 0;
}
