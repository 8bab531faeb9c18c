// rest_rate BASE_URL COUNT PATH...
// Keep-alive GETs through TRESTClient, COUNT for each path in turn on one
// client, and the rate of each: "PATH requests/s". Built for Linux (libcurl)
// and for Windows (WinHTTP), so that scripts/bench-windows can compare the
// two back ends against the same server in one run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/rest_client.h"
#include "platform/portable/exceptions.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: rest_rate BASE_URL COUNT PATH...\n", stderr);
    return 2;
  }
  const int count = std::atoi(argv[2]);
  tarn::TRESTClient client(argv[1]);
  std::string response;
  try {
    for (int path = 3; path < argc; ++path) {
      client.Fetch(argv[path], false, 10000, response);  // the connection stands before the clock starts
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < count; ++i) client.Fetch(argv[path], false, 10000, response);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      std::printf("%s %.0f\n", argv[path], count / took.count());
    }
  } catch (const tarn::Exception& error) {
    std::fprintf(stderr, "%s: %s\n", error.ClassName(), error.Message().c_str());
    return 1;
  }
  return 0;
}
