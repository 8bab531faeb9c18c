// Helpers for the window's tests (the Qt application lives in
// qt_environment.cpp): a toolkit that
// records message boxes instead of showing them, and a working directory
// for the length of a test.
#pragma once

#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/qt/qt_toolkit.h"

namespace tarn::testing {

// The real Qt toolkit, except that message boxes are recorded, together
// with whether the busy cursor was still up when they were shown.
class RecordingToolkit final : public QtToolkit {
 public:
  struct Shown {
    MessageBoxSpec message;
    bool busy_cursor;
  };

  void ShowMessage(const MessageBoxSpec& message) override {
    shown.push_back({message, QApplication::overrideCursor() != nullptr});
  }

  std::vector<Shown> shown;
};

// Makes `dir` the working directory for the life of the object.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::string& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  ~ScopedWorkingDir() { std::filesystem::current_path(old_); }
  ScopedWorkingDir(const ScopedWorkingDir&) = delete;
  ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace tarn::testing
