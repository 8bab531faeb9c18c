// Runs the tarn-fetch program built beside the tests and collects what it
// printed, each stream apart, and its exit status.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "test_support.h"

namespace tarn::testing {

inline std::string FetchProgram() {
  const char* bin = std::getenv("TARN_BIN_DIR");
  return std::string(bin ? bin : ".") + kSep + "tarn-fetch" + kProgramSuffix;
}

inline ProgramRun RunFetch(const std::vector<std::string>& arguments) {
  return RunProgram(FetchProgram(), arguments, "", Streams::kSeparate);
}

}  // namespace tarn::testing
