// The exclusive lock that writers of a file hold around their
// read-modify-write, so that changes made by two processes follow one
// another instead of one losing the other's. Readers take no lock: files are
// only ever replaced whole, so a read sees one version or the next.
#pragma once

#include <cstdint>
#include <string>

namespace tarn {

class FileWriteLock final {
 public:
  // Waits until no other writer of `path` holds the lock, in this process or
  // another, then holds it until destroyed. `path` need not exist, but its
  // folder must. The lock also covers the temporary file that
  // ReplaceFileAtomically writes beside `path`. Raises EOSError when the
  // lock cannot be taken.
  explicit FileWriteLock(const std::string& path);
  ~FileWriteLock();
  FileWriteLock(const FileWriteLock&) = delete;
  FileWriteLock& operator=(const FileWriteLock&) = delete;

 private:
  intptr_t handle_;  // the platform's handle of what is locked
};

}  // namespace tarn
