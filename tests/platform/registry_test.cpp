// The current user's registry through TRegistry, on either back end. Every
// key lies below the settings key, which the sandbox empties.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/portable/exceptions.h"
#include "expect_error.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::Sandbox;

const std::string kKey = "SOFTWARE\\KESSLAN\\ORVIK\\";

TEST(Registry, ValuesRoundTrip) {
  Sandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey + "CLIENT", true));
  reg.WriteString("TIMEOUT", "120000");
  reg.WriteString("Path", "C:\\Apps \"quoted\" a\xE7\xE3o");
  reg.WriteString("Empty", "");

  TRegistry again(RegAccess::kRead);
  ASSERT_TRUE(again.OpenKeyReadOnly("software\\kesslan\\orvik\\client"));
  EXPECT_TRUE(again.ValueExists("timeout"));
  EXPECT_EQ(again.ReadString("TIMEOUT"), "120000");
  EXPECT_EQ(again.ReadString("Path"), "C:\\Apps \"quoted\" a\xE7\xE3o");
  EXPECT_EQ(again.ReadStringValue("Empty"), "");
  EXPECT_EQ(again.ReadString("Missing"), "");
  EXPECT_EQ(again.ReadStringValue("Missing"), std::nullopt);
  EXPECT_FALSE(again.ValueExists("Missing"));
  EXPECT_THROW(again.WriteString("TIMEOUT", "1"), ERegistryException);
}

TEST(Registry, AValueOfAnotherTypeIsAnError) {
  Sandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey + "K", true));
  reg.WriteInteger("TIMEOUT", 5);
  EXPECT_TRUE(reg.ValueExists("TIMEOUT"));
  EXPECT_THROW_MSG(reg.ReadString("TIMEOUT"), ERegistryException, "Invalid data type for 'TIMEOUT'");
}

TEST(Registry, OpeningDoesNotCreateUnlessAsked) {
  Sandbox sandbox;
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKeyReadOnly(kKey + "A\\B"));
  EXPECT_FALSE(reg.OpenKey(kKey + "A\\B", false));
  EXPECT_FALSE(reg.KeyExists(kKey + "A"));
  EXPECT_TRUE(reg.OpenKey("\\" + kKey + "A\\B\\", true));
  EXPECT_TRUE(reg.KeyExists("software\\kesslan\\orvik\\a"));
  TRegistry read_only(RegAccess::kRead);
  EXPECT_FALSE(read_only.OpenKey(kKey + "A\\C", true));
  EXPECT_FALSE(reg.KeyExists(kKey + "A\\C"));
}

TEST(Registry, DeleteKeyRemovesEverythingBelowIt) {
  Sandbox sandbox;
  TRegistry reg;
  for (const char* key : {"R\\L\\A\\X", "R\\L\\B", "R\\L\\C\\Y\\Z", "R\\Keep"}) ASSERT_TRUE(reg.OpenKey(kKey + key, true));
  ASSERT_TRUE(reg.OpenKey(kKey + "R", false));
  std::vector<std::string> expected = {"Keep", "L"};
  EXPECT_EQ(reg.GetKeyNames(), expected);
  EXPECT_TRUE(reg.DeleteKey(kKey + "R\\L"));
  EXPECT_FALSE(reg.KeyExists(kKey + "R\\L"));
  EXPECT_FALSE(reg.KeyExists(kKey + "R\\L\\C\\Y"));
  EXPECT_TRUE(reg.KeyExists(kKey + "R\\Keep"));
  EXPECT_FALSE(reg.DeleteKey(kKey + "R\\L"));
  EXPECT_FALSE(TRegistry(RegAccess::kRead).DeleteKey(kKey + "R\\Keep"));
  EXPECT_TRUE(reg.KeyExists(kKey + "R\\Keep"));
  ASSERT_TRUE(reg.OpenKey(kKey + "R\\L\\B", true));  // made anew, with nothing of the old one
  EXPECT_FALSE(reg.KeyExists(kKey + "R\\L\\A"));
}

}  // namespace
}  // namespace tarn
