// tarn-fetch: one REST GET from the command line.
//
//   tarn-fetch URL [--gzip] [--timeout MS]
//
// Prints the answer's body on standard output. On failure prints the error
// class and message on standard error and ends with status 1; a wrong
// command line ends with status 2.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/rest_client.h"
#include "platform/portable/command_line.h"
#include "platform/portable/exceptions.h"

namespace {

constexpr std::uint32_t kDefaultTimeoutMs = 30000;

constexpr tarn::ProgramUsage kUsage{
    "tarn-fetch", "usage: tarn-fetch URL [--gzip] [--timeout MS]\n",
    "Makes one REST GET of URL and prints the body; --gzip asks for a gzip-coded\n"
    "answer, --timeout gives up after MS milliseconds (30000 by default).\n"};

// A timeout of decimal digits only, within 32 bits unsigned.
bool ParseTimeout(std::string_view text, std::uint32_t& timeout) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > UINT32_MAX) return false;
  timeout = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The body goes out byte for byte, as on Linux: no line end is changed.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  if (auto answered = tarn::AnswerHelpOrVersion(kUsage, argc, argv)) return *answered;
  std::string url;
  bool gzip = false;
  std::uint32_t timeout = kDefaultTimeoutMs;
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument == "--gzip") {
      gzip = true;
    } else if (argument == "--timeout") {
      if (++i == argc || !ParseTimeout(argv[i], timeout)) return tarn::WrongCommandLine(kUsage);
    } else if (url.empty() && !argument.starts_with("--")) {
      url = argument;
    } else {
      return tarn::WrongCommandLine(kUsage);
    }
  }
  if (url.empty()) return tarn::WrongCommandLine(kUsage);

  try {
    tarn::TRESTClient client("");
    std::string body;
    client.Fetch(url, gzip, timeout, body);
    std::fwrite(body.data(), 1, body.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  } catch (const tarn::Exception& error) {
    return tarn::ReportFailure(error);
  }
}
