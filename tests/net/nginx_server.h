// nginx as the test fixture nginx-fixture left it running: its folder comes
// in TARN_NGINX_DIR (set by ctest), with the two ports it listens on and
// the root the tests write their files to.
#pragma once

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace tarn::testing {

class NginxServer {
 public:
  NginxServer() : dir_(std::getenv("TARN_NGINX_DIR") ? std::getenv("TARN_NGINX_DIR") : "") {}

  // Why it cannot be used, or "".
  std::string Problem() const {
    if (dir_.empty()) return "TARN_NGINX_DIR is not set: run through ctest, whose fixture starts nginx";
    if (HttpPort() == 0 || HttpsPort() == 0) return "nginx did not start:\n" + ReadFile(dir_ + "/error.log");
    return "";
  }

  std::string Root() const { return dir_ + "/www"; }
  int HttpPort() const { return Port("http-port"); }
  int HttpsPort() const { return Port("https-port"); }

 private:
  int Port(const char* name) const { return std::atoi(ReadFile(dir_ + "/" + name).c_str()); }

  std::string dir_;
};

}  // namespace tarn::testing
