// The Qt application of the window's tests: made before the first test and
// destroyed after the last, while Qt's own globals still exist.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <thread>

namespace {

std::ptrdiff_t ThreadCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
}

class QtEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    // No display is needed, also when the program is run by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    threads_before_ = ThreadCount();
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  // Qt's painter fills large areas on the global thread pool, whose threads
  // the application ends when it is destroyed. They are awaited here until
  // gone: one still exiting when the leak checker runs at exit holds its
  // thread data only on its own stack, and the checker would count it leaked.
  void TearDown() override {
    application_.reset();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ThreadCount() > threads_before_ && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

 private:
  int argc_ = 1;
  char name_[16] = "tarn-ui-test";
  char* argv_[2] = {name_, nullptr};
  std::ptrdiff_t threads_before_ = 0;
  std::unique_ptr<QApplication> application_;
};

// gtest owns the environment.
[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
