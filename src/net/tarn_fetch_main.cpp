// tarn-fetch: one REST GET from the command line.
//
//   tarn-fetch URL [--gzip] [--timeout MS]
//
// Prints the answer's body on standard output. On failure prints the error
// class and message on standard error and ends with status 1; a wrong
// command line ends with status 2.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/rest_client.h"
#include "platform/portable/command_line.h"

namespace {

constexpr std::uint32_t kDefaultTimeoutMs = 30000;

constexpr tarn::ProgramUsage kUsage{
    "tarn-fetch", "usage: tarn-fetch URL [--gzip] [--timeout MS]\n",
    "Makes one REST GET of URL and prints the body; --gzip asks for a gzip-coded\n"
    "answer, --timeout gives up after MS milliseconds (30000 by default).\n"};

// A number of decimal digits only, no larger than the platform's limits
// take (a 32-bit signed count of milliseconds).
bool ParseTimeout(std::string_view text, std::uint32_t& timeout) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > INT32_MAX) return false;
  timeout = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    std::string url;
    bool gzip = false;
    std::uint32_t timeout = kDefaultTimeoutMs;
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& argument = arguments[i];
      if (argument == "--gzip") {
        gzip = true;
      } else if (argument == "--timeout") {
        if (++i == arguments.size() || !ParseTimeout(arguments[i], timeout)) return tarn::WrongCommandLine(kUsage);
      } else if (url.empty() && !argument.starts_with("--")) {
        url = tarn::ArgumentText(argument);
      } else {
        return tarn::WrongCommandLine(kUsage);
      }
    }
    if (url.empty()) return tarn::WrongCommandLine(kUsage);
    tarn::TRESTClient client("");
    std::string body;
    client.Fetch(url, gzip, timeout, body);
    tarn::WriteOutput(body);
    return 0;
  });
}
