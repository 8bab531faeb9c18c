// A profile file in a fresh folder, read and written by the tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/portable/profile_file.h"
#include "test_support.h"

namespace tarn::testing {

class ProfileFile : public ::testing::Test {
 protected:
  std::string Read(const std::string& bytes, const char* section, const char* key, const char* fallback = "<none>") {
    WriteFile(file_, bytes);
    return ReadProfileValue(section, key, fallback, file_);
  }
  // Writes into a file holding `before` and returns the file afterwards.
  std::string Write(const std::string& before, const char* section, const char* key, const char* value) {
    WriteFile(file_, before);
    WriteProfileValue(section, key, value, file_);
    return ReadFile(file_);
  }

  TempDir dir_;
  std::string file_ = dir_.Path("test.ini");
};

}  // namespace tarn::testing
