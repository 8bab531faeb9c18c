// Helpers shared by the tests: a fresh temporary directory per test, a
// per-test registry hive, and whole-file reads and writes. Paths are UTF-8
// text, as the program's are, on every platform.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarn::testing {

// The platform's path separator, as the program's paths carry it.
inline const std::string kSep(1, static_cast<char>(std::filesystem::path::preferred_separator));

// A UTF-8 path for std::filesystem and the streams, and back: on Windows a
// path made from a plain std::string would be read in the ANSI code page.
inline std::filesystem::path FsPath(std::string_view utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(utf8);
#endif
}

inline std::string Utf8Path(const std::filesystem::path& path) {
#ifdef _WIN32
  std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
#else
  return path.string();
#endif
}

// Environment variables as UTF-8 text. On Windows they are the process's
// wide ones, which the programs it starts inherit: the ANSI functions would
// garble a path outside the ANSI code page (PATH, XDG_CONFIG_HOME...).
inline std::optional<std::string> GetEnv(const char* name) {
#ifdef _WIN32
  const wchar_t* value = ::_wgetenv(FsPath(name).c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8Path(value);
#else
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return value;
#endif
}

inline void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
  ::_wputenv_s(FsPath(name).c_str(), FsPath(value).c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnv(const char* name) {
#ifdef _WIN32
  ::_wputenv_s(FsPath(name).c_str(), L"");
#else
  ::unsetenv(name);
#endif
}

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    std::filesystem::path path;
    do {
      path = std::filesystem::temp_directory_path() / ("tarn-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path));
    path_ = Utf8Path(path);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with its trailing separator.
  std::string Dir() const { return path_ + kSep; }
  std::string Path(const std::string& name) const { return Dir() + name; }

 private:
  std::string path_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (std::optional<std::string> old = GetEnv(name)) old_ = *old, had_ = true;
    SetEnv(name, value);
  }
  ~ScopedEnv() {
    if (had_) {
      SetEnv(name_, old_);
    } else {
      UnsetEnv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// A temporary directory and an empty settings key in the current user's
// registry: on POSIX a hive file of its own in the directory, on Windows the
// registry of the test run's own Wine prefix, emptied before and after.
class Sandbox {
 public:
  Sandbox() : config_("XDG_CONFIG_HOME", dir_.Path("config")) { ClearSettingsKey(); }
  ~Sandbox() { ClearSettingsKey(); }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  std::string Dir() const { return dir_.Dir(); }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  std::string RegistryFile() const { return dir_.Path("config/tarn/registry.reg"); }

 private:
  // A POSIX hive is the sandbox's own; the Windows registry is shared by
  // every test of the run.
  static void ClearSettingsKey() {
#ifdef _WIN32
    TRegistry().DeleteKey("SOFTWARE\\KESSLAN\\ORVIK");
#endif
  }

  TempDir dir_;
  ScopedEnv config_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The names in a folder, sorted: what a write left beside its file shows.
// The writers' lock file, which stays once made, is left out.
inline std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(dir))) {
    if (entry.path().filename() != ".tarn.lock") names.push_back(Utf8Path(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tarn::testing
