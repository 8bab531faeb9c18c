// json_phases REPETITIONS FILE...
// The work of tarn-json inside one process, phase by phase, for each file:
// the parse into a tree, the writing of its compact text into an output
// with a sink that drops the pieces, and the release of the tree. Prints
// "NAME parse_ms write_ms release_ms", the medians of REPETITIONS. Built for
// Linux and for Windows, so that scripts/bench-windows can tell the work of
// the Windows build under Wine (its allocator and C runtime included) from
// the cost of starting a process there.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "json/json_output.h"
#include "json/json_parser.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: json_phases REPETITIONS FILE...\n", stderr);
    return 2;
  }
  const int repetitions = std::max(1, std::atoi(argv[1]));
  for (int file = 2; file < argc; ++file) {
    std::ifstream in(argv[file], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = std::move(bytes).str();
    std::vector<double> parse, write, release;
    for (int i = 0; i < repetitions; ++i) {
      const Clock::time_point start = Clock::now();
      std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text.c_str());
      const Clock::time_point parsed = Clock::now();
      tarn::TJSONOutput output([](std::string_view) {});
      if (root) root->WriteText(output);
      output.Flush();
      const Clock::time_point written = Clock::now();
      root.reset();
      const Clock::time_point released = Clock::now();
      parse.push_back(Milliseconds(start, parsed));
      write.push_back(Milliseconds(parsed, written));
      release.push_back(Milliseconds(written, released));
    }
    std::string name = argv[file];
    name = name.substr(name.find_last_of("/\\") + 1);
    std::printf("%s %.2f %.2f %.2f\n", name.c_str(), Median(parse), Median(write), Median(release));
  }
  return 0;
}
