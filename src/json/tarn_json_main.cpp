// tarn-json [FILE]: reads JSON text (Windows-1252) from the file or, when it
// is missing or "-", from standard input, parses it into a tree and prints
// the tree's compact text. A failure (a file that cannot be read, a parse
// error, memory running out) prints the error and exits with status 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <string_view>

#include "json/json_output.h"
#include "json/json_parser.h"
#include "platform/portable/command_line.h"
#include "platform/portable/exceptions.h"

namespace {

constexpr tarn::ProgramUsage kUsage{
    "tarn-json", "usage: tarn-json [FILE]\n",
    "Parses the JSON text (Windows-1252) of FILE, or of standard input when FILE\n"
    "is missing or -, and prints its compact form.\n"};

// Writes text taken from the input so that it cannot act on the terminal:
// line breaks and control characters (those of Windows-1252: C0, DEL and the
// five undefined bytes, which stand for C1 controls) are shown as escapes.
void ShowEscaped(std::ostream& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
                   byte == 0x9D;
    if (!control) {
      out << c;
      continue;
    }
    switch (c) {
      case '\b': out << "\\b"; break;
      case '\t': out << "\\t"; break;
      case '\n': out << "\\n"; break;
      case '\f': out << "\\f"; break;
      case '\r': out << "\\r"; break;
      default: out << "\\u00" << kHex[byte >> 4] << kHex[byte & 0xF];
    }
  }
}

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

int Fail(const tarn::Exception& error) {
  std::cerr << error.ClassName() << ": ";
  ShowEscaped(std::cerr, error.Message());
  std::cerr << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (auto answered = tarn::AnswerHelpOrVersion(kUsage, argc, argv)) return *answered;
  // A file whose name starts with '-' is given as ./-name.
  bool from_file = argc == 2 && std::string_view(argv[1]) != "-";
  if (argc > 2 || (from_file && argv[1][0] == '-')) return tarn::WrongCommandLine(kUsage);
  try {
    std::string text;
    if (from_file) {
      std::ifstream file(argv[1], std::ios::binary);
      if (!file) {
        std::cerr << "tarn-json: cannot read ";
        ShowEscaped(std::cerr, argv[1]);
        std::cerr << "\n";
        return 1;
      }
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
      output.ForEachPiece([](std::string_view piece) { std::cout.write(piece.data(), piece.size()); });
      std::cout << "\n";
    }
  } catch (const tarn::Exception& error) {
    return Fail(error);
  } catch (const std::bad_alloc&) {
    return Fail(tarn::EOutOfMemory());
  }
  return 0;
}
