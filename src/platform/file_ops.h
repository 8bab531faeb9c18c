// The calls that reading and writing whole files are made of, behind one
// interface: the platform's own implementation serves the program, and a
// test wraps it to make any call fail midway (tests/platform/
// faulty_file_ops.h). The algorithms over these calls (ReadFileBytes,
// ReplaceFileAtomically, OverwriteFileInPlace in file_system.h) are written
// once for every platform.
//
// Each call is one call of the platform. It raises EOSError on failure, made
// from the platform's code by OSError (exceptions.h), and leaves retrying,
// cleaning up and deciding what a failure means to its caller. Paths are
// UTF-8. An implementation holds no state of its own between calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Which version of a file is on disk: the file itself (device and file
// number), its size and its last modification in nanoseconds. Every
// replacement gives a later modification time, so a cache keyed by this
// sees each of them even when the file number is reused.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t file = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  bool operator==(const FileIdentity&) const = default;
};

enum class FileKind { kRegular, kFolder, kOther };

struct FileStatus {
  FileKind kind;
  FileIdentity identity;
};

class FileOps {
 public:
  // An open file; valid until given to Close.
  using Handle = intptr_t;

  virtual ~FileOps() = default;

  // What `path` names, links followed; nothing when it does not exist.
  virtual std::optional<FileStatus> Examine(const std::string& path) = 0;

  // Opens the existing regular file at `path` (or, for reading, a link to
  // one) for reading, or for reading and writing. Anything else is refused
  // without being opened in a way that could wait (a FIFO, a device): a
  // folder with IsAFolderCode, the rest with NotRegularFileError. A writer
  // resolves links first (ResolveFileLinks), so a link met when opening for
  // writing was put there since, and is refused, never followed.
  virtual Handle Open(const std::string& path, bool write) = 0;
  // Creates the file `path` for writing; fails when anything is there, so
  // that a name someone else placed is never opened. `owner_only`: no one
  // else may open it until Adopt says who may.
  virtual Handle Create(const std::string& path, bool owner_only) = 0;

  // Reads up to `size` bytes at `offset`; 0 at the end of the file.
  virtual size_t Read(Handle file, uint64_t offset, char* buffer, size_t size) = 0;
  // Writes some of `bytes` at `offset` and says how many: at least one.
  virtual size_t Write(Handle file, uint64_t offset, std::string_view bytes) = 0;
  virtual FileIdentity Identify(Handle file) = 0;
  // Makes `file`, new, what a file at `path` must be: what the file now at
  // `path` is (owner, group and mode on POSIX, the owner only where this
  // user may give files away; security and attributes on Windows) and a
  // modification time later than its, or, where none is there, what a new
  // file in `path`'s folder gets. A link at `path` is refused as anything
  // but a regular file is. Returns the identity of `file` afterwards.
  virtual FileIdentity Adopt(Handle file, const std::string& path) = 0;
  // Reserves room for `size` bytes without changing the file's size, where
  // the file system can; nothing where it cannot.
  virtual void Reserve(Handle file, uint64_t size) = 0;
  // Sets the file's size; bytes past it are gone.
  virtual void Truncate(Handle file, uint64_t size) = 0;
  // Returns once what was written is on disk.
  virtual void Sync(Handle file) = 0;
  // Closes `file`, which is gone whether or not this succeeds; a failure
  // may mean that written bytes were lost.
  virtual void Close(Handle file) = 0;

  // Puts the file `from` in the place of `to` in one step: a reader finds
  // the old file or the new one there, never neither.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  // Removes the file `path`; fails with a missing-file code when there is none.
  virtual void Remove(const std::string& path) = 0;
  // Makes the folder's entries (a rename into it) durable.
  virtual void SyncFolder(const std::string& folder) = 0;
  // Waits before another attempt.
  virtual void Pause(int milliseconds) = 0;
};

// The platform's own implementation.
FileOps& PlatformFileOps();

}  // namespace tarn
