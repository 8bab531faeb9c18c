// A FileOps that passes every call on to another (the platform's) and fails
// the calls a test chooses, as a failing disk, a full one or another program
// would: the chosen call raises the platform's exception for a code and is
// not made. It can also cut writes short. Calls are counted by kind.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/portable/exceptions.h"

namespace tarn::testing {

enum class FileCall {
  kExamine, kOpen, kCreate, kRead, kWrite, kIdentify, kAdopt, kReserve, kTruncate, kSync, kClose, kRename,
  kRemove, kSyncFolder, kPause, kCount
};

inline const char* FileCallName(FileCall call) {
  static constexpr const char* kNames[] = {"Examine", "Open", "Create", "Read", "Write", "Identify", "Adopt",
                                           "Reserve", "Truncate", "Sync", "Close", "Rename", "Remove",
                                           "SyncFolder", "Pause"};
  return kNames[static_cast<size_t>(call)];
}

class FaultyFileOps final : public FileOps {
 public:
  explicit FaultyFileOps(FileOps& real = PlatformFileOps()) : real_(real) {}

  // The `nth` call of `call` from now (1 for the next) and the `times` - 1
  // after it fail with `code`. `before`, when given, runs as each of them
  // fails: what the platform did before it gave up.
  void Fail(FileCall call, int nth, int code, int times = 1, std::function<void()> before = {}) {
    faults_.push_back(Fault{call, Calls(call) + nth, Calls(call) + nth + times, code, std::move(before)});
  }
  // Every write takes at most `bytes`.
  void LimitWrites(size_t bytes) { write_limit_ = bytes; }
  int Calls(FileCall call) const { return counts_[static_cast<size_t>(call)]; }

  std::optional<FileStatus> Examine(const std::string& path) override {
    Enter(FileCall::kExamine);
    return real_.Examine(path);
  }
  Handle Open(const std::string& path, bool write) override {
    Enter(FileCall::kOpen);
    return real_.Open(path, write);
  }
  Handle Create(const std::string& path, bool owner_only) override {
    Enter(FileCall::kCreate);
    return real_.Create(path, owner_only);
  }
  size_t Read(Handle file, uint64_t offset, char* buffer, size_t size) override {
    Enter(FileCall::kRead);
    return real_.Read(file, offset, buffer, size);
  }
  size_t Write(Handle file, uint64_t offset, std::string_view bytes) override {
    Enter(FileCall::kWrite);
    return real_.Write(file, offset, bytes.substr(0, write_limit_));
  }
  FileIdentity Identify(Handle file) override {
    Enter(FileCall::kIdentify);
    return real_.Identify(file);
  }
  FileIdentity Adopt(Handle file, const std::string& path) override {
    Enter(FileCall::kAdopt);
    return real_.Adopt(file, path);
  }
  void Reserve(Handle file, uint64_t size) override {
    Enter(FileCall::kReserve);
    real_.Reserve(file, size);
  }
  void Truncate(Handle file, uint64_t size) override {
    Enter(FileCall::kTruncate);
    real_.Truncate(file, size);
  }
  void Sync(Handle file) override {
    Enter(FileCall::kSync);
    real_.Sync(file);
  }
  // A failed close still releases the file, as the platform's does.
  void Close(Handle file) override {
    try {
      Enter(FileCall::kClose);
    } catch (...) {
      real_.Close(file);
      throw;
    }
    real_.Close(file);
  }
  void Rename(const std::string& from, const std::string& to) override {
    Enter(FileCall::kRename);
    real_.Rename(from, to);
  }
  void Remove(const std::string& path) override {
    Enter(FileCall::kRemove);
    real_.Remove(path);
  }
  void SyncFolder(const std::string& folder) override {
    Enter(FileCall::kSyncFolder);
    real_.SyncFolder(folder);
  }
  // Counted, not waited: the tests need not sleep.
  void Pause(int) override { Enter(FileCall::kPause); }

 private:
  struct Fault {
    FileCall call;
    int first;  // counts of the calls that fail: [first, end)
    int end;
    int code;
    std::function<void()> before;
  };

  void Enter(FileCall call) {
    int count = ++counts_[static_cast<size_t>(call)];
    for (const Fault& fault : faults_) {
      if (fault.call != call || count < fault.first || count >= fault.end) continue;
      if (fault.before) fault.before();
      throw OSError(fault.code);
    }
  }

  FileOps& real_;
  std::array<int, static_cast<size_t>(FileCall::kCount)> counts_{};
  std::vector<Fault> faults_;
  size_t write_limit_ = std::string_view::npos;
};

}  // namespace tarn::testing
