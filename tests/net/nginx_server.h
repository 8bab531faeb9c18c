// nginx as the test fixture nginx-fixture left it running: its folder comes
// in TARN_NGINX_DIR (set by ctest), with the ports it listens on, the
// authority of two of their certificates and the root the tests write
// their files to.
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
  // A self-signed certificate issued to another name than 127.0.0.1.
  int HttpsPort() const { return Port("https-port"); }
  // Certificates of the authority in AuthorityFile(): one issued to
  // 127.0.0.1, one to another name.
  int TrustedPort() const { return Port("trusted-port"); }
  int WrongNamePort() const { return Port("wrong-name-port"); }
  std::string AuthorityFile() const { return dir_ + "/ca.pem"; }

 private:
  int Port(const char* name) const { return std::atoi(ReadFile(dir_ + "/" + name).c_str()); }

  std::string dir_;
};

}  // namespace tarn::testing
