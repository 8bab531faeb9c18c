// Whole-file reads and the two ways of writing a whole file, over FileOps:
// written once for every platform, so that a test's FileOps can fail each
// of their calls in turn.
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

// Closes a file when it goes out of scope, quietly: a file only read, or
// one whose failure is already on its way up, has nothing more to report.
class OpenFile {
 public:
  OpenFile(FileOps& ops, FileOps::Handle handle) : ops_(ops), handle_(handle) {}
  ~OpenFile() {
    if (!open_) return;
    try {
      ops_.Close(handle_);
    } catch (const EOSError&) {
    }
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  FileOps::Handle Get() const { return handle_; }
  // Closes now and reports a failure.
  void Close() {
    open_ = false;
    ops_.Close(handle_);
  }

 private:
  FileOps& ops_;
  FileOps::Handle handle_;
  bool open_ = true;
};

void RequireRegular(FileKind kind) {
  if (kind == FileKind::kFolder) RaiseOSError(IsAFolderCode());
  if (kind == FileKind::kOther) throw NotRegularFileError();
}

bool IsMissing(const EOSError& error) { return IsMissingFileCode(error.ErrorCode()); }

// Makes a call again while a signal cuts it short.
template <typename Call>
auto Uninterrupted(Call call) {
  for (;;) {
    try {
      return call();
    } catch (const EOSError& error) {
      if (!IsInterruptionCode(error.ErrorCode())) throw;
    }
  }
}

void WriteAll(FileOps& ops, FileOps::Handle file, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    done += Uninterrupted([&] { return ops.Write(file, done, bytes.substr(done)); });
  }
}

std::string ReadAll(FileOps& ops, FileOps::Handle file) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    size_t got = Uninterrupted([&] { return ops.Read(file, bytes.size(), buffer, sizeof buffer); });
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
}

void RemoveQuietly(FileOps& ops, const std::string& path) {
  try {
    ops.Remove(path);
  } catch (const EOSError&) {
  }
}

// About two seconds in all for another program to let go of a file.
// Windows refuses to rename over a file that any reader has open, and a
// reader keeps it open for a few milliseconds; a virus scanner or a backup
// holds it without sharing for longer: frequent attempts find the moment it
// lets go.
constexpr int kHoldAttempts = 200;
constexpr int kHoldPauseMs = 10;

// Makes `call` again while it fails with a code that `held` says is another
// program's hold, for about two seconds; the last failure is reported.
template <typename Call>
auto WhenLetGo(FileOps& ops, bool (*held)(int), Call call) {
  for (int attempt = 1;; ++attempt) {
    try {
      return call();
    } catch (const EOSError& error) {
      if (!held(error.ErrorCode()) || attempt == kHoldAttempts) throw;
    }
    ops.Pause(kHoldPauseMs);
  }
}

FileOps::Handle OpenWhenLetGo(FileOps& ops, const std::string& path, bool write) {
  return WhenLetGo(ops, IsSharingCode, [&] { return ops.Open(path, write); });
}

// True only when `path` is known to hold nothing.
bool KnownGone(FileOps& ops, const std::string& path) {
  try {
    return !ops.Examine(path);
  } catch (const EOSError&) {
    return false;
  }
}

}  // namespace

std::optional<FileIdentity> IdentifyFile(const std::string& path, FileOps& ops) {
  std::optional<FileStatus> status = ops.Examine(path);
  if (!status) return std::nullopt;
  return status->identity;
}

std::optional<std::string> ReadFileBytes(const std::string& path, FileIdentity* identity, FileOps& ops) {
  FileOps::Handle handle;
  try {
    handle = OpenWhenLetGo(ops, path, false);
  } catch (const EOSError& error) {
    if (IsMissing(error)) return std::nullopt;
    throw;
  }
  OpenFile file(ops, handle);
  if (identity != nullptr) *identity = ops.Identify(file.Get());
  return ReadAll(ops, file.Get());
}

FileIdentity ReplaceFileAtomically(const std::string& path, std::string_view bytes, FileOps& ops) {
  std::string temp = TemporaryFileFor(path);
  std::optional<FileStatus> original = ops.Examine(path);
  if (original) RequireRegular(original->kind);
  // What a killed writer left behind goes first; the new temporary file is
  // then made afresh, never opened through a name someone else placed there.
  try {
    ops.Remove(temp);
  } catch (const EOSError& error) {
    if (!IsMissing(error)) throw;
  }
  FileIdentity identity;
  bool written = false;
  try {
    OpenFile file(ops, ops.Create(temp, original.has_value()));
    WriteAll(ops, file.Get(), bytes);
    identity = ops.Adopt(file.Get(), path);
    ops.Sync(file.Get());
    file.Close();
    written = true;
    WhenLetGo(ops, IsBriefHoldCode, [&] { ops.Rename(temp, path); });
  } catch (...) {
    if (!written || !original || !KnownGone(ops, path)) {
      RemoveQuietly(ops, temp);
      throw;
    }
    // The failed rename took the original away (as Windows' ReplaceFile can):
    // the complete temporary file is the only copy, and goes into the empty
    // place, or stays where it is.
    ops.Rename(temp, path);
  }
  // The rename itself becomes durable once the folder is flushed; the file
  // is already complete, so a failure here loses nothing.
  try {
    ops.SyncFolder(FolderOf(path));
  } catch (const EOSError&) {
  }
  return identity;
}

void OverwriteFileInPlace(const std::string& path, std::string_view bytes, FileOps& ops) {
  OpenFile file(ops, OpenWhenLetGo(ops, path, true));
  std::string old = ReadAll(ops, file.Get());
  if (bytes.size() > old.size()) ops.Reserve(file.Get(), bytes.size());
  try {
    WriteAll(ops, file.Get(), bytes);
    ops.Truncate(file.Get(), bytes.size());
    ops.Sync(file.Get());
  } catch (...) {
    // The old text goes back; should that fail too, the file is torn and
    // the first failure is the one reported.
    try {
      WriteAll(ops, file.Get(), old);
      ops.Truncate(file.Get(), old.size());
      ops.Sync(file.Get());
    } catch (const EOSError&) {
    }
    throw;
  }
  file.Close();
}

}  // namespace tarn
