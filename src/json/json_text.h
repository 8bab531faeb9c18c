// The text forms the writer uses for scalars: the general float format with
// 15 significant digits, and the escaped, quoted form of a string. Both are
// pure 7-bit ASCII and independent of the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

class TJSONOutput;

// 12000, 0.5, 0.0001, 1E-5, 1E15, 0.333333333333333, INF, -INF, NAN.
void WriteFloat(TJSONOutput& output, double value);
std::string FloatText(double value);

// Double quotes around the string; quote, backslash and slash escaped with a
// backslash, \b \t \n \f \r for those controls, and \uXXXX (upper-case hex)
// for every other code unit outside U+0020 to U+007E.
void WriteQuoted(TJSONOutput& output, std::u16string_view text);
// The same for a narrow (Windows-1252) text, each byte widened first.
void WriteQuotedNarrow(TJSONOutput& output, std::string_view text);

}  // namespace tarn
