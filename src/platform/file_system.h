// Executable location, file attributes, directory creation and whole-file
// reads and atomic replacement. Paths are 8-bit text in the platform's form.
#pragma once

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

// True when `path` names something other than a directory whose attributes
// can be read (a directory does not count).
bool FileExists(const std::string& path);
// True when `path` names a directory whose attributes can be read.
bool DirectoryExists(const std::string& path);
// Asks the platform to create one directory; false when it could not.
bool CreateDir(const std::string& path);

// The bytes of a file, or nothing when it does not exist; raises EOSError
// when it exists but cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces the file at `path` with `bytes`: they are written to a temporary
// file beside it, flushed to disk and renamed over the original, so that a
// crash or a full disk leaves either the old file or the new one. Raises
// EOSError on failure, leaving the original untouched.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace tarn
