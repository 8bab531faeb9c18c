// The exclusive lock that writers of a folder's files hold around their
// read-modify-write, so that changes made by two programs follow one another
// instead of one losing the other's. Readers take no lock: files are only
// ever replaced whole, so a read sees one version or the next.
//
// The lock is a lock on the file ".tarn.lock" in the folder, which whoever
// may write the folder may open for writing and no one else may: a user who
// may only read the settings cannot hold it. One lock serves every writer of
// the folder, in every logon session and on every machine that reaches the
// folder through a file server, which carries such locks; the system
// releases it when its holder ends, however it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarn {

// How long a writer waits for the lock, and what it does meanwhile.
struct LockWait {
  int notice_after_ms = 1000;
  int give_up_after_ms = 10000;
  // Called once, with the file being saved, when the writer has waited
  // notice_after_ms: the program tells its user that another one is saving.
  std::function<void(const std::string& path)> notice;
};

// The wait of every lock taken afterwards in this process, and the one in
// force.
void SetLockWait(LockWait wait);
const LockWait& CurrentLockWait();

class FileWriteLock final {
 public:
  // Waits until no other writer of `path`'s folder holds the lock, then
  // holds it until destroyed. `path` need not exist, but its folder must.
  // Where the lock file cannot be made or opened for writing (a folder this
  // user may not write), the lock is taken on the existing file `path`
  // itself, which such a user can only rewrite in place. Raises
  // EWriteRefused (LockTimeoutError) when another writer held the lock for
  // the whole wait, EOSError when the lock cannot be taken.
  explicit FileWriteLock(const std::string& path);
  ~FileWriteLock();
  FileWriteLock(const FileWriteLock&) = delete;
  FileWriteLock& operator=(const FileWriteLock&) = delete;

 private:
  // One attempt that does not wait: true with `handle` set when the lock is
  // held (or needs no holding: kNoHandle), false when another writer holds it.
  static bool TryTake(const std::string& path, intptr_t& handle);
  static void Release(intptr_t handle);
  static constexpr intptr_t kNoHandle = -1;

  intptr_t handle_ = kNoHandle;  // the platform's handle of what is locked
};

}  // namespace tarn
