// tarn-json [FILE]: reads JSON text (Windows-1252) from the file or, when it
// is missing or "-", from standard input, parses it into a tree and prints
// the tree's compact text. A failure (a file that cannot be read, a text
// holding a NUL byte or no JSON text, a parse error, memory running out, an
// output that cannot be written) prints the error and exits with status 1.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_output.h"
#include "json/json_parser.h"
#include "json/tarn_json_input.h"
#include "platform/portable/command_line.h"

namespace {

constexpr tarn::ProgramUsage kUsage{
    "tarn-json", "usage: tarn-json [FILE]\n",
    "Parses the JSON text (Windows-1252) of FILE, or of standard input when FILE\n"
    "is missing or -, and prints its compact form.\n"};

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    // A file whose name starts with '-' is given as ./-name.
    bool from_file = arguments.size() == 1 && arguments[0] != "-";
    if (arguments.size() > 1 || (from_file && arguments[0].starts_with('-'))) return tarn::WrongCommandLine(kUsage);
    tarn::InputText text = from_file ? tarn::ReadFileArgument(arguments[0]) : tarn::ReadStandardInput();
    std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text.c_str());
    if (!root) throw tarn::TJSONError("The input holds no JSON text");
    // The tree keeps nothing of the text, which goes before the output comes;
    // the output goes out as it is written.
    text.Release();
    tarn::TJSONOutput output([](std::string_view piece) { tarn::WriteOutput(piece); });
    root->WriteText(output);
    output.Put('\n');
    output.Flush();
    return 0;
  });
}
