// ParseJSON: reads JSON text into a tree (tree mode) or reports what it reads
// as events (event mode, when a callback is given).
//
// The text is narrow Windows-1252 ending at its first NUL byte; string
// contents are widened byte by byte before their escapes are resolved. The
// root must be an array or an object. The grammar is lenient: commas between
// elements may be left out, literals are case-insensitive, numbers may have
// leading zeros, raw control characters may stand in strings. Numbers read
// the same in every locale.
//
// Every syntax error raises TJSONError naming the byte offset where it was
// found; a token that is not a number (a lone "-") raises EConvertError. On
// failure every value created by the call has been destroyed. Containers may
// nest at most kJSONMaxDepth deep. Re-entrant: the parser keeps no state
// between calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "json/json_value.h"
#include "platform/portable/variant.h"

namespace tarn {

// Event codes and the value passed with each.
enum TJSONEventCode : uint8_t {
  jeArrayBegin = 0,   // empty variant
  jeArrayEnd = 1,     // empty variant
  jeObjectBegin = 2,  // empty variant
  jeObjectEnd = 3,    // empty variant
  jeName = 4,         // the member name, wide string
  jeString = 5,       // the string (an empty one as an empty narrow string) or null
  jeBoolean = 6,      // the boolean
  jeNumber = 7,       // 32-bit integer or double
};

using TJSONParseEvent = std::function<void(uint8_t event, const Variant& value)>;

// The deepest nesting of arrays and objects that ParseJSON accepts; one more
// level raises "Nesting deeper than 512 levels at position %d".
constexpr int kJSONMaxDepth = 512;

// Tree mode (no callback): the root, owned by the caller, or none for no
// text, an empty text or one of only whitespace. Event mode: calls on_event
// in text order and returns none.
std::unique_ptr<TJSONbase> ParseJSON(const char* text, const TJSONParseEvent& on_event = {});

// ParseJSON's first step: it skips leading whitespace, and the root must
// begin there with "[" or "{"; any other byte refuses the text with
// "Unexpected character at position %d - %.20s". A reader of a text that is
// still arriving asks this after each piece, so that a text that cannot be
// JSON is refused at its first bytes rather than after all of it has come.
class TJSONStartCheck {
 public:
  static constexpr size_t kUndecided = static_cast<size_t>(-1);

  // `head` is the text's start, no NUL among its bytes, and at least as
  // long as at the call before; `whole` says that it is the whole text.
  // Raises the error ParseJSON raises for every text that starts with head.
  // Returns the offset of the root's first byte once head shows that the
  // text begins well; kUndecided while head is all whitespace, or too short
  // (unless whole) to hold the bytes the message shows.
  size_t Check(std::string_view head, bool whole);

 private:
  size_t blanks_ = 0;  // the leading whitespace seen by the calls before
};

}  // namespace tarn
