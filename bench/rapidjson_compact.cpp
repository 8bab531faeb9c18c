// The peer of tarn-json in the process benchmark: the least a RapidJSON
// program does for the same job. Reads the file named (as tarn-json does),
// parses it into a document and prints its compact text: with --ascii every
// character outside ASCII as \uXXXX, as tarn-json writes it, else in UTF-8.
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

namespace {

template <typename TargetEncoding>
void Print(const rapidjson::Document& document) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, TargetEncoding> writer(buffer);
  document.Accept(writer);
  std::fwrite(buffer.GetString(), 1, buffer.GetSize(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool ascii = argc == 3 && std::string_view(argv[1]) == "--ascii";
  if (argc != (ascii ? 3 : 2)) return 2;
  std::ifstream file(argv[argc - 1], std::ios::binary);
  file.seekg(0, std::ios::end);
  std::string text(static_cast<size_t>(file.tellg()), '\0');
  file.seekg(0);
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  rapidjson::Document document;
  if (document.Parse(text.c_str()).HasParseError()) return 1;
  if (ascii) {
    Print<rapidjson::ASCII<>>(document);
  } else {
    Print<rapidjson::UTF8<>>(document);
  }
  return 0;
}
