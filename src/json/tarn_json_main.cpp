// tarn-json [FILE]: reads JSON text (Windows-1252) from the file or, when it
// is missing or "-", from standard input, parses it into a tree and prints
// the tree's compact text. A failure (a file that cannot be read, a parse
// error, memory running out) prints the error and exits with status 1.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_output.h"
#include "json/json_parser.h"
#include "platform/os_error.h"
#include "platform/portable/command_line.h"

namespace {

constexpr tarn::ProgramUsage kUsage{
    "tarn-json", "usage: tarn-json [FILE]\n",
    "Parses the JSON text (Windows-1252) of FILE, or of standard input when FILE\n"
    "is missing or -, and prints its compact form.\n"};

// The whole stream in one string: a file in one read of its size, into
// memory taken once; anything else (a pipe) copied in blocks.
std::string ReadAll(std::istream& in) {
  if (in.seekg(0, std::ios::end)) {
    std::streamoff size = in.tellg();
    if (size > 0 && in.seekg(0)) {
      std::string text(static_cast<size_t>(size), '\0');
      in.read(text.data(), size);
      text.resize(static_cast<size_t>(in.gcount()));
      return text;
    }
  }
  in.clear();
  std::ostringstream text;
  text << in.rdbuf();
  return std::move(text).str();
}

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    // A file whose name starts with '-' is given as ./-name.
    bool from_file = arguments.size() == 1 && arguments[0] != "-";
    if (arguments.size() > 1 || (from_file && arguments[0].starts_with('-'))) return tarn::WrongCommandLine(kUsage);
    std::string text;
    if (from_file) {
      std::ifstream file(arguments[0], std::ios::binary);
      if (!file) throw tarn::FileArgumentError(arguments[0], tarn::LastOSErrorCode());
      text = ReadAll(file);
    } else {
      text = ReadAll(std::cin);
    }
    std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text.c_str());
    // The tree keeps nothing of the text, which goes before the output comes.
    text = std::string();
    if (root) {
      tarn::TJSONOutput output;
      root->WriteText(output);
      output.ForEachPiece([](std::string_view piece) { tarn::WriteOutput(piece); });
      tarn::WriteOutput("\n");
    }
    return 0;
  });
}
