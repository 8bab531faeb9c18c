// Where the program looks for the outside libraries it loads by bare name
// (the broker bridge at start-up, quelmont when the window opens): beside
// itself, never in the working directory or along PATH, where whoever can
// write a folder could plant a library that would run inside the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "test_support.h"
#include "ui/ui_test_support.h"

namespace tarn {
namespace {

using testing::LibraryFileName;

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

const char* const kOutsideLibraries[] = {"tarnbrokerbridge", "quelmont"};

// The outside libraries whose planted copies in `dir` were loaded.
std::vector<std::string> LoadedFrom(const std::string& dir) {
  std::vector<std::string> loaded;
  for (const char* name : kOutsideLibraries) {
    if (std::filesystem::exists(testing::FsPath(dir + LibraryFileName(name) + ".loaded"))) loaded.push_back(name);
  }
  return loaded;
}

TEST(LibrarySearch, OnlyLibrariesBesideTheProgramAreLoaded) {
  struct Planting {
    const char* folder;  // where the libraries are planted
    bool loaded;
  };
  const Planting plantings[] = {{"work", false}, {"path", false}, {"app", true}};
  for (const Planting& planting : plantings) {
    SCOPED_TRACE(planting.folder);
    testing::Sandbox root;  // its own registry, beside the folders
    for (const char* folder : {"app", "work", "path"}) std::filesystem::create_directory(testing::FsPath(root.Path(folder)));
    const std::string program = root.Path("app") + testing::kSep + "module_probe" + testing::kProgramSuffix;
    std::filesystem::copy_file(TARN_MODULE_PROBE, testing::FsPath(program));
    const std::string planted = root.Path(planting.folder) + testing::kSep;
    for (const char* name : kOutsideLibraries) {
      std::filesystem::copy_file(TARN_LOAD_MARKER, testing::FsPath(planted + LibraryFileName(name)));
    }

    testing::ScopedEnv path("PATH", root.Path("path") + kPathListSeparator + testing::GetEnv("PATH").value_or(""));
    testing::ScopedWorkingDir work(root.Path("work"));
    testing::ProgramRun run = testing::RunProgram(program, {});
    EXPECT_EQ(run.status, 0) << run.output;

    EXPECT_EQ(LoadedFrom(planted),
              planting.loaded ? std::vector<std::string>(std::begin(kOutsideLibraries), std::end(kOutsideLibraries))
                              : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tarn
