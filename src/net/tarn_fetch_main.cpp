// tarn-fetch: one REST GET from the command line.
//
//   tarn-fetch URL [--gzip] [--timeout MS] [--max-time MS] [--max-size BYTES]
//              [--insecure | --cacert FILE]
//
// Prints the answer's body on standard output. On failure prints the error
// class and message on standard error and ends with status 1; a wrong
// command line ends with status 2. Unlike the library, whose callers rely on
// any certificate being accepted, the program checks the server's
// certificate unless told not to.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/rest_client.h"
#include "platform/file_ops.h"
#include "platform/portable/command_line.h"

namespace {

constexpr std::int32_t kDefaultTimeoutMs = 30000;

constexpr tarn::ProgramUsage kUsage{
    "tarn-fetch",
    "usage: tarn-fetch URL [--gzip] [--timeout MS] [--max-time MS] [--max-size BYTES]\n"
    "                  [--insecure | --cacert FILE]\n",
    "Makes one REST GET of URL and prints the body.\n"
    "  --gzip            asks for a gzip-coded answer.\n"
    "  --timeout MS      limits each phase of the call on its own, as the platform\n"
    "                    does: MS/5 milliseconds to resolve the name and as many to\n"
    "                    connect, MS for each wait while sending and receiving. A\n"
    "                    body that keeps coming, however slowly, is not cut by it.\n"
    "                    30000 by default; 0 means no limit.\n"
    "  --max-time MS     limits the whole call to MS milliseconds (redirects are\n"
    "                    never followed). None by default; 0 means no limit.\n"
    "  --max-size BYTES  refuses a body longer than BYTES, as received and as\n"
    "                    decoded (a gzip answer is refused as soon as its\n"
    "                    decoding passes BYTES). 2147483647 by default.\n"
    "  --insecure        accepts any server certificate, whoever issued it, for\n"
    "                    whatever name and dates.\n"
    "  --cacert FILE     trusts the certificate authorities of FILE (PEM) instead\n"
    "                    of the system's. Not on Windows, where WinHTTP trusts the\n"
    "                    Windows certificate store only.\n"
    "An HTTPS server's certificate is checked against the system's trust store\n"
    "(on Windows, its certificate store) unless --insecure is given; the\n"
    "variables SSL_CERT_FILE and CURL_CA_BUNDLE are not read. A certificate\n"
    "refused (an unknown authority, another name, out of its dates) ends the\n"
    "call with status 1 and the reason on standard error.\n"};

// A file of authorities that cannot be read is told as the user's mistake,
// before any traffic.
void CheckReadable(const std::string& path) {
  tarn::FileOps& files = tarn::PlatformFileOps();
  try {
    files.Close(files.Open(path, false));
  } catch (const tarn::EOSError& error) {
    throw tarn::FileArgumentError(path, error.ErrorCode());
  }
}

// A number of decimal digits only, no larger than the platform's limits
// take (a 32-bit signed count).
bool ParseCount(std::string_view text, std::int32_t& count) {
  if (text.empty() || text.size() > 10) return false;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > INT32_MAX) return false;
  count = static_cast<std::int32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    std::string url;
    bool gzip = false;
    std::int32_t timeout = kDefaultTimeoutMs;
    tarn::TRESTClient client("");
    bool insecure = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& argument = arguments[i];
      std::int32_t* count = argument == "--timeout"    ? &timeout
                            : argument == "--max-time" ? &client.MaxTime
                            : argument == "--max-size" ? &client.MaxBodySize
                                                       : nullptr;
      if (count != nullptr) {
        if (++i == arguments.size() || !ParseCount(arguments[i], *count)) return tarn::WrongCommandLine(kUsage);
      } else if (argument == "--gzip") {
        gzip = true;
      } else if (argument == "--insecure") {
        insecure = true;
      } else if (argument == "--cacert") {
        if (++i == arguments.size()) return tarn::WrongCommandLine(kUsage);
        client.CACertFile = arguments[i];
      } else if (url.empty() && !argument.starts_with("--")) {
        url = tarn::ArgumentText(argument);
      } else {
        return tarn::WrongCommandLine(kUsage);
      }
    }
    // Accepting any certificate and naming whom to trust contradict.
    if (url.empty() || (insecure && !client.CACertFile.empty())) return tarn::WrongCommandLine(kUsage);
    client.CheckCertificate = !insecure;
    if (!client.CACertFile.empty()) CheckReadable(client.CACertFile);
    std::string body;
    client.Fetch(url, gzip, static_cast<std::uint32_t>(timeout), body);
    tarn::WriteOutput(body);
    return 0;
  });
}
