// A sandbox with a folder that plays the executable's directory and a
// registry hive of its own.
#pragma once

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "test_support.h"

namespace tarn::testing {

class SettingsTest : public ::testing::Test {
 protected:
  void WriteIni(const std::string& name, const std::string& text) { WriteFile(sandbox_.Path(name), text); }
  void WriteRegistry(const std::string& subkey, const std::string& name, const std::string& value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\" + subkey, true));
    reg.WriteString(name, value);
  }
  void WriteRegistryDword(const std::string& subkey, const std::string& name, uint32_t value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\" + subkey, true));
    reg.WriteInteger(name, value);
  }
  std::string Dir() const { return sandbox_.Dir(); }

  Sandbox sandbox_;
};

}  // namespace tarn::testing
