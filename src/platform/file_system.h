// Executable location, file attributes, directory creation, whole-file reads
// and the two ways of writing a whole file: atomic replacement and, where
// that cannot keep what the file is, rewriting in place. Paths are UTF-8
// (on Linux, the file system's bytes as they are). The whole-file calls go
// through a FileOps, the platform's unless a test gives its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_ops.h"

namespace tarn {

// The platform's path separator: '/' here, '\\' on Windows; and every
// character that separates a path's parts ('/' too on Windows).
extern const char kPathDelim;
extern const char kPathDelimiters[];

// Full path of the running executable.
std::string ExePath();
// The executable's directory with its trailing separator.
std::string ExeDir();
// The text of `path` up to and including its last separator ("" when none).
std::string ExtractFilePath(std::string_view path);
// The folder that holds `path`, for the calls that take a folder: its text
// up to its last separator, or "." when it has none.
std::string FolderOf(std::string_view path);
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

// The identity of the file at `path`, or nothing when it does not exist;
// raises EOSError when it cannot be examined.
std::optional<FileIdentity> IdentifyFile(const std::string& path, FileOps& ops = PlatformFileOps());

// The bytes of a file, or nothing when it does not exist; raises EOSError
// when it exists but cannot be read, also when it is not a regular file (a
// folder, a FIFO, a device), which is refused without being read or waited
// on. When `identity` is given it receives the identity of the very file
// that was read.
std::optional<std::string> ReadFileBytes(const std::string& path, FileIdentity* identity = nullptr,
                                         FileOps& ops = PlatformFileOps());

// What `path` names once symbolic links are followed, for a writer: each
// part of `path` that is a link is replaced by its target (a relative target
// counts from the link's folder), until no part is a link; ".." steps back
// from what was resolved, as the system does. The target need not exist: a
// link to nothing yet names the file that a write creates. A link in a
// folder that others than its owner may write, and a file of more than one
// name there, are trusted only when they belong to the current user or to
// the folder's owner; any other raises EWriteRefused (UntrustedLinkError)
// naming it, since another user could have pointed it at any file. Raises
// EOSError on a loop of links.
std::string ResolveFileLinks(const std::string& path);

// True when the current user may write the existing file at `path`; false
// when it is missing or may not be written.
bool MayWriteFile(const std::string& path);

// True when a new file can take the place of the file at `path` (or stand
// there if it is missing) and be what the old one was: the folder may be
// written, the old one has no other names (hard links), and either the new
// file can be given the old one's owner and group, or, in a folder shared by
// its group (set-group-ID and group-writable), a member may own the new file
// without anyone losing access (the old owner is the superuser, or a member
// whose rights as owner its group has too). When false, a writer rewrites
// the file in place instead.
bool CanReplaceFile(const std::string& path);

// Replaces the file at `path` with `bytes`: they are written to
// TemporaryFileFor(path), flushed to disk and renamed over the original in
// one step, so that a crash, a full disk or any failing call leaves either
// the old file or the new one, and a reader always finds one of them. The
// new file keeps the old one's owner, group and permissions (security and
// attributes on Windows), and its modification time is later than the old
// one's. A new file in a shared folder (set-group-ID and group-writable) is
// made group-writable, so that every member of the group can save it
// whoever saved first. While another program briefly holds the original
// (Windows refuses the rename while a reader has the file open), the
// rename is tried again for about two seconds. What a writer killed midway
// left is removed first, so that at most one temporary file is ever left:
// callers hold a FileWriteLock on `path`. Returns the new file's identity.
// Raises EOSError on failure, also when `path` is not a regular file,
// leaving the original untouched and no temporary file behind; should a
// failed rename have taken the original away, the new file is put in its
// place, or, when that fails too, stays as the only copy.
FileIdentity ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                   FileOps& ops = PlatformFileOps());

// Rewrites the existing file at `path` with `bytes` where it stands, keeping
// everything else about it. Room for a longer text is reserved first where
// the file system allows, so that a full disk fails before anything is
// written, and a failure midway writes the old text back. Not crash-safe: a
// crash midway, or a failure that the old text cannot be written back
// after, leaves a torn file, so this serves only where ReplaceFileAtomically
// cannot. Raises EOSError on failure, also when `path` is not a regular
// file, which is never opened in a way that could wait.
void OverwriteFileInPlace(const std::string& path, std::string_view bytes, FileOps& ops = PlatformFileOps());

}  // namespace tarn
