// Executable location, file attributes, directory creation, whole-file reads
// and the two ways of writing a whole file: atomic replacement and, where
// that cannot keep what the file is, rewriting in place. Paths are 8-bit text in the platform's form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The platform's path separator: '/' here, '\\' on Windows.
extern const char kPathDelim;

// Full path of the running executable.
std::string ExePath();
// The executable's directory with its trailing separator.
std::string ExeDir();
// The text of `path` up to and including its last separator ("" when none).
std::string ExtractFilePath(std::string_view path);
// The text of `path` after its last separator.
std::string ExtractFileName(std::string_view path);
// The temporary file that ReplaceFileAtomically writes beside `path`: one
// fixed name per target, ".NAME.tmp", shortened with a hash of the name
// where that would pass the longest name a folder entry may have.
std::string TemporaryFileFor(std::string_view path);

// True when `path` names something other than a directory whose attributes
// can be read (a directory does not count).
bool FileExists(const std::string& path);
// True when `path` names a directory whose attributes can be read.
bool DirectoryExists(const std::string& path);
// Asks the platform to create one directory; false when it could not.
bool CreateDir(const std::string& path);

// Which version of a file is on disk: the file itself (device and file
// number), its size and its last modification in nanoseconds. Every
// replacement below gives a later modification time, so a cache keyed by
// this sees each of them even when the file number is reused.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t file = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path`, or nothing when it does not exist;
// raises EOSError when it cannot be examined.
std::optional<FileIdentity> IdentifyFile(const std::string& path);

// The bytes of a file, or nothing when it does not exist; raises EOSError
// when it exists but cannot be read, also when it is not a regular file (a
// folder, a FIFO, a device), which is refused without being read or waited
// on. When `identity` is given it receives the identity of the very file
// that was read.
std::optional<std::string> ReadFileBytes(const std::string& path, FileIdentity* identity = nullptr);

// What `path` names once symbolic links are followed: `path` itself when it
// is not a link, else the link's target, followed again while that is a
// link (a relative target counts from the link's folder). The target need
// not exist: a link to nothing yet names the file that a write creates.
// Raises EOSError on a loop of links.
std::string ResolveFileLinks(const std::string& path);

// True when the current user may write the existing file at `path`; false
// when it is missing or may not be written.
bool MayWriteFile(const std::string& path);

// True when a new file can take the place of the file at `path` (or stand
// there if it is missing) and be what the old one was: the folder may be
// written, the new file can be given the old one's owner and group, and the
// old one has no other names (hard links). When false, a writer rewrites
// the file in place instead.
bool CanReplaceFile(const std::string& path);

// Replaces the file at `path` with `bytes`: they are written to a temporary
// file beside it, flushed to disk and renamed over the original, so that a
// crash or a full disk leaves either the old file or the new one. The new
// file keeps the old one's owner, group and permissions, and its
// modification time is later than the old one's. The temporary file has one
// fixed name per target, so writers killed midway leave at most one behind,
// and the next replacement removes it: callers hold a FileWriteLock on
// `path`. A new file in a shared folder (set-group-ID and group-writable)
// is made group-writable, so that every member of the group can save it
// whoever saved first. Returns the new file's identity. Raises EOSError on
// failure, also when `path` is not a regular file, leaving the original
// untouched.
FileIdentity ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Rewrites the existing file at `path` with `bytes` where it stands, keeping
// everything else about it. Not crash-safe: a crash or a failure midway
// leaves a torn file, so this serves only where ReplaceFileAtomically
// cannot. Room for a longer text is reserved first where the file system
// allows, so that a full disk fails before anything is written. Raises
// EOSError on failure, also when `path` is not a regular file, which is
// never opened in a way that could wait.
void OverwriteFileInPlace(const std::string& path, std::string_view bytes);

}  // namespace tarn
