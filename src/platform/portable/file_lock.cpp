#include "platform/file_lock.h"

#include <chrono>

#include "platform/file_ops.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

LockWait lock_wait;

// Frequent attempts find the moment between two other writers' saves.
constexpr int kAttemptPauseMs = 20;

}  // namespace

void SetLockWait(LockWait wait) { lock_wait = std::move(wait); }

const LockWait& CurrentLockWait() { return lock_wait; }

FileWriteLock::FileWriteLock(const std::string& path) {
  auto start = std::chrono::steady_clock::now();
  bool told = false;
  while (!TryTake(path, handle_)) {
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (waited.count() >= lock_wait.give_up_after_ms) {
      throw LockTimeoutError(path, (lock_wait.give_up_after_ms + 999) / 1000);
    }
    if (!told && waited.count() >= lock_wait.notice_after_ms) {
      told = true;
      if (lock_wait.notice) lock_wait.notice(path);
    }
    PlatformFileOps().Pause(kAttemptPauseMs);
  }
}

FileWriteLock::~FileWriteLock() { Release(handle_); }

}  // namespace tarn
