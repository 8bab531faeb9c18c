#include "net/proxy_bypass.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(ProxyBypassTest, ReadsThePlatformsSyntax) {
  struct Case {
    std::string list;
    std::string host;
    bool bypassed;
  };
  const Case cases[] = {
      {"", "intranet", false},
      {"<local>", "intranet", true},
      {"<LOCAL>", "intranet", true},
      {"<local>", "intranet.corp.example", false},
      {"a.example;b.example", "b.example", true},
      {"a.example \t b.example", "B.Example", true},
      {" ;; a.example ; ", "a.example", true},
      {"a.example", "www.a.example", false},
      {"*.a.example", "www.a.example", true},
      {"*.a.example", "a.example", false},
      {"10.*", "10.1.2.3", true},
      {"a*b*c", "axxbyyc", true},
      {"a*b*c", "axxbyy", false},
      {"*a*a*a*a*a*a*a*a*b", std::string(2000, 'a'), false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(BypassesProxy(test.list, test.host), test.bypassed) << "'" << test.list << "' / " << test.host;
  }
}

}  // namespace
}  // namespace tarn
