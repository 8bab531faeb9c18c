// The command-line conventions the companion programs share with the rest of
// the system's commands: a first argument --help prints the usage and a short
// description on standard output, --version the program's name and version,
// and either ends the program with status 0; a wrong command line prints the
// usage on standard error and ends it with status 2; a failure prints
// "Class: message" on standard error and ends it with status 1, as does
// output that could not be written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display_text.h"
#include "platform/portable/exceptions.h"

namespace tarn {

struct ProgramUsage {
  const char* name;         // the program's name, "tarn-json"
  const char* usage;        // "usage: ..." lines, each ending in a line break
  const char* description;  // what the program does, for --help
};

// A program's work: takes its arguments (after its name) and returns its
// exit status. Paths among the arguments go to the platform layer as they
// are; text the user typed goes through ArgumentText first.
using ProgramBody = std::function<int(const std::vector<std::string>& arguments)>;

// Runs a program: answers --help and --version (each alone: with other
// arguments they are a wrong command line), else runs `body`. An
// Exception is reported as "Class: message", memory running out as
// "EOutOfMemory: Out of memory", a FileArgumentError as
// "<program>: <file>: <the system's reason>", each with status 1. Then the
// output is flushed; when it could not be written the program reports
// "<program>: cannot write the output: <the system's reason>" and ends with
// status 1, whatever the body returned. Messages show control characters as
// escapes, so that text from a file cannot act on the terminal.
int RunProgram(const ProgramUsage& program, int argc, char** argv, const ProgramBody& body);
int RunProgram(const ProgramUsage& program, const std::vector<std::string>& arguments, const ProgramBody& body);

// What --help or --version as the only argument prints; nothing for any
// other command line.
std::optional<std::string> HelpOrVersionText(const ProgramUsage& program, const std::vector<std::string>& arguments);

// Prints the usage on standard error; returns the status of a wrong command line.
int WrongCommandLine(const ProgramUsage& program);

// Text the user typed or fed in as program text (Windows-1252), converted
// from its character set (display_text.h). Raises EConvertError when its
// bytes are not text of that set, or when the code page lacks one of its
// characters.
std::string TypedText(std::string_view typed, TypedFrom from);
// The same for text typed on the command line.
std::string ArgumentText(std::string_view argument);

// A file named on the command line that cannot be used (missing, a
// directory, not readable...). `code` is the platform's error code.
class FileArgumentError : public Exception {
 public:
  FileArgumentError(std::string path, int code);
  const std::string& Path() const noexcept { return path_; }
  int Code() const noexcept { return code_; }
  const char* ClassName() const noexcept override { return "FileArgumentError"; }

 private:
  std::string path_;
  int code_;
};

// Standard output, kept in large blocks until RunProgram ends. WriteOutput
// takes bytes as they are (a body, JSON text); WriteOutputText takes program
// text and writes it in the user's character set, with control characters
// escaped on a terminal only: a file or a pipe gets the text itself.
void WriteOutput(std::string_view bytes);
void WriteOutputText(std::string_view program_text);

// Text with its control characters (C0, DEL and the five bytes that
// Windows-1252 leaves undefined, which stand for C1 controls) written as
// \b, \t, \n, \f, \r or \u00XX.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace tarn
