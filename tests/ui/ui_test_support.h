// Helpers for the window's tests: a working directory for the length of a
// test.
#pragma once

#include <filesystem>
#include <string>

#include "test_support.h"

namespace tarn::testing {

// Makes `dir` the working directory for the life of the object.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::string& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(FsPath(dir));
    std::filesystem::current_path(FsPath(dir));
  }
  ~ScopedWorkingDir() { std::filesystem::current_path(old_); }
  ScopedWorkingDir(const ScopedWorkingDir&) = delete;
  ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace tarn::testing
