// Runs a program built beside the tests as a separate process, as a user or
// a script would, and collects what it prints.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tarn::testing {

// The platform's suffix of program files ("" or ".exe") and the file name of
// a library loaded by bare name ("libNAME.so" or "NAME.dll").
#ifdef _WIN32
inline const std::string kProgramSuffix = ".exe";
inline std::string LibraryFileName(const std::string& name) { return name + ".dll"; }
#else
inline const std::string kProgramSuffix;
inline std::string LibraryFileName(const std::string& name) { return "lib" + name + ".so"; }
#endif

// A program built with the project, by its name without the suffix.
inline std::string BuiltProgram(const std::string& name) {
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  return std::string(std::getenv("TARN_BIN_DIR")) + separator + name + kProgramSuffix;
}

// kInterleaved: standard output and standard error together, as text (lines
// end in LF on both platforms). kSeparate: standard output byte for byte,
// standard error apart, as text.
enum class Streams { kInterleaved, kSeparate };

struct ProgramRun {
  int status;          // the exit status; -1 when the program did not exit by itself
  std::string output;
  std::string errors;  // kSeparate only
  size_t piped = 0;    // PipedInput only: the bytes that went into the pipe
};

// Standard input through a pipe, fed as a producer such as yes(1) feeds it:
// `text`, `repeat` times over, then the end. The feeding stops early when
// the program stops reading (it has ended).
struct PipedInput {
  std::string text;
  size_t repeat = 1;
};

// Runs `program` with `arguments`, standard input read from `input_file` (or
// empty when none is given), and waits for it to end. Paths and arguments are
// UTF-8, as a UTF-8 terminal types them; on Windows they reach the program
// through its wide command line.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& input_file = "", Streams streams = Streams::kInterleaved);
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const PipedInput& input,
                      Streams streams = Streams::kInterleaved);

}  // namespace tarn::testing
