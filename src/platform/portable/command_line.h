// The command-line conventions the companion programs share with the rest of
// the system's commands: a first argument --help prints the usage and a short
// description on standard output, --version the program's name and version,
// and either ends the program with status 0; a wrong command line prints the
// usage on standard error and ends it with status 2; a failure prints
// "Class: message" on standard error and ends it with status 1.
#pragma once

#include <optional>

namespace tarn {

class Exception;

struct ProgramUsage {
  const char* name;         // the program's name, "tarn-json"
  const char* usage;        // "usage: ..." lines, each ending in a line break
  const char* description;  // what the program does, for --help
};

// The exit status when the first argument asks for help or the version
// (after answering it), else nothing: the program goes on.
std::optional<int> AnswerHelpOrVersion(const ProgramUsage& program, int argc, char** argv);

// Prints the usage on standard error; returns the status of a wrong command line.
int WrongCommandLine(const ProgramUsage& program);

// Prints "Class: message" on standard error, the message as the terminal
// shows text; returns the status of a failure.
int ReportFailure(const Exception& error);

}  // namespace tarn
