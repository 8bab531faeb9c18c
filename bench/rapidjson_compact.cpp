// The peer of tarn-json in the process benchmark: the least a RapidJSON
// program does for the same job. Reads the file named (as tarn-json does),
// parses it into a document and prints its compact text.
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream file(argv[1], std::ios::binary);
  file.seekg(0, std::ios::end);
  std::string text(static_cast<size_t>(file.tellg()), '\0');
  file.seekg(0);
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  rapidjson::Document document;
  if (document.Parse(text.c_str()).HasParseError()) return 1;
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  std::fwrite(buffer.GetString(), 1, buffer.GetSize(), stdout);
  std::fputc('\n', stdout);
  return 0;
}
