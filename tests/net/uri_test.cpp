#include "net/uri.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

struct UriCase {
  const char* address;
  bool result;
  bool secure;
  const char* host;
  const char* port;
  const char* path;
};

TEST(ParseUriTest, SplitsAddresses) {
  const UriCase cases[] = {
      {"https://h:8443/a/b", true, true, "h", "8443", "a/b"},
      {"http://h", true, false, "h", "80", ""},
      {"  HTTPS://h/a/b \t\r\n", true, true, "h", "443", "a/b"},
      {"hTtP://h/a/b?q=1", true, false, "h", "80", "a/b?q=1"},
      {"h:81", true, false, "h", "81", ""},
      {"h/x/y", true, false, "h", "80", "x/y"},
      {"https://h/", true, true, "h", "443", ""},
      // Host and port lie before the first "/": a ":" after it is the path's.
      {"http://h/a:b", true, false, "h", "80", "a:b"},
      {"https://h/items/urn:x:1", true, true, "h", "443", "items/urn:x:1"},
      {"h:8080/a:b/c", true, false, "h", "8080", "a:b/c"},
      // An IPv6 address in brackets is the host, brackets kept.
      {"http://[::1]:8080/x", true, false, "[::1]", "8080", "x"},
      {"https://[fe80::1:2]/x:y", true, true, "[fe80::1:2]", "443", "x:y"},
      {"[::1]", true, false, "[::1]", "80", ""},
      {"http://[::1]x:80/", true, false, "[", ":1]x:80", ""},
      {"http://h:/x", true, false, "h", "", "x"},
      {"ftp://h/x", true, false, "ftp", "", "/h/x"},
      {"http://:80/x", false, false, "", "80", "x"},
      {"http://", false, false, "", "80", ""},
      {"https:///x", false, true, "", "443", "x"},
  };
  for (const UriCase& c : cases) {
    TURI uri;
    EXPECT_EQ(ParseUri(c.address, uri), c.result) << c.address;
    EXPECT_EQ(uri.Secure, c.secure) << c.address;
    EXPECT_EQ(uri.Host, c.host) << c.address;
    EXPECT_EQ(uri.PortText, c.port) << c.address;
    EXPECT_EQ(uri.Path, c.path) << c.address;
  }
}

TEST(ParseUriTest, BlankAddressesAreClearedAndRefused) {
  for (const char* address : {"", "   ", "\t\r\n", "\x01\x1F "}) {
    TURI uri{true, "old", "1", "p"};
    EXPECT_FALSE(ParseUri(address, uri));
    EXPECT_FALSE(uri.Secure);
    EXPECT_EQ(uri.Host, "");
    EXPECT_EQ(uri.PortText, "");
    EXPECT_EQ(uri.Path, "");
  }
}

}  // namespace
}  // namespace tarn
