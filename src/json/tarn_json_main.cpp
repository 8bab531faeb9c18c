// tarn-json [file]: reads JSON text (Windows-1252) from the file or from
// standard input, parses it into a tree and prints the tree's compact text.
// A parse error prints the error class and message and exits with status 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "json/json_parser.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: tarn-json [file]\n";
    return 2;
  }
  std::string text;
  if (argc == 2) {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "tarn-json: cannot read " << argv[1] << "\n";
      return 2;
    }
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } else {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  try {
    std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text.c_str());
    if (root) std::cout << root->Text() << "\n";
  } catch (const tarn::Exception& error) {
    std::cerr << error.ClassName() << ": " << error.Message() << "\n";
    return 1;
  }
  return 0;
}
