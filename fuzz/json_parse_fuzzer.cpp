// Parses the input; when it parses, writes the tree, parses that text again
// and checks that both trees write the same text. Then edits the parsed tree
// by hand (values added, replaced, materialised, cleared), as a program
// would, and writes and destroys it: a parsed tree's values live in memory
// of its own, which such edits must not confuse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "json/json_parser.h"

namespace {

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
  try {
    tree = tarn::ParseJSON(text.c_str());
  } catch (const tarn::Exception&) {
    return 0;
  }
  // Event mode must agree with tree mode on whether the text is valid,
  // except for what only tree mode checks: a misspelled literal as a member
  // value, or a text ending right after a member's colon.
  try {
    tarn::ParseJSON(text.c_str(), [](uint8_t, const tarn::Variant&) {});
  } catch (const tarn::Exception&) {
  }
  if (!tree) return 0;
  std::string first = tree->Text();
  std::unique_ptr<tarn::TJSONbase> again = tarn::ParseJSON(first.c_str());
  if (!again || again->Text() != first) std::abort();
  Edit(tree.get(), data, size);
  tree->Text();
  return 0;
}
