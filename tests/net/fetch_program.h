// Runs the tarn-fetch program built beside the tests and collects what it
// printed and its exit status.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace tarn::testing {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline Outcome RunFetch(const std::string& arguments) {
  const char* bin = std::getenv("TARN_BIN_DIR");
  TempDir dir;
  const std::string command = std::string(bin ? bin : ".") + "/tarn-fetch " + arguments + " >'" +
                              dir.Path("out") + "' 2>'" + dir.Path("err") + "'";
  const int raw = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  outcome.out = ReadFile(dir.Path("out"));
  outcome.err = ReadFile(dir.Path("err"));
  return outcome;
}

}  // namespace tarn::testing
