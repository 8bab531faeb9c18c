// rest_rate BASE_URL COUNT PATH...
// Keep-alive GETs through TRESTClient, COUNT for each path in turn on one
// client, and the rate of each: "PATH requests/s". Built for Linux (libcurl)
// and for Windows (WinHTTP), so that scripts/bench-windows can compare the
// two back ends against the same server in one run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/rest_client.h"
#include "platform/portable/command_line.h"

namespace {

constexpr tarn::ProgramUsage kUsage{"rest_rate", "usage: rest_rate BASE_URL COUNT PATH...\n",
                                    "Keep-alive GETs of each PATH, COUNT times, and the rate of each.\n"};

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) return tarn::WrongCommandLine(kUsage);
    const int count = std::atoi(arguments[1].c_str());
    tarn::TRESTClient client(arguments[0]);
    std::string response;
    for (size_t path = 2; path < arguments.size(); ++path) {
      client.Fetch(arguments[path], false, 10000, response);  // the connection stands before the clock starts
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < count; ++i) client.Fetch(arguments[path], false, 10000, response);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      char line[64];
      std::snprintf(line, sizeof line, " %.0f\n", count / took.count());
      tarn::WriteOutput(arguments[path] + line);
    }
    return 0;
  });
}
