#include "net/base64.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(Base64Test, EncodesTheVectorsOfRfc4648) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},       {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (auto [bytes, text] : vectors) EXPECT_EQ(Base64Encode(bytes), text) << bytes;
  EXPECT_EQ(Base64Encode(std::string("\xFB\xFF\x00", 3)), "+/8A");
}

}  // namespace
}  // namespace tarn
