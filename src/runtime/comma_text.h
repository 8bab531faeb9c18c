// Splitting a comma-separated text into its items.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// The items of a comma list, in order. Items are separated by commas: two
// commas in a row enclose an empty item, and a comma at the end (blanks aside)
// adds a final empty item. An item may be enclosed in double quotes, inside
// which a doubled quote stands for one quote; an unterminated quote runs to the
// end of the text. Outside quotes, blanks and control characters (bytes up to
// the space) around an item are not part of it and also separate items. A
// text of blanks alone has no items.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace tarn
