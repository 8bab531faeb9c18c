// The command line and the standard streams of a console program, as the
// platform hands them over. Terminals on POSIX take the locale's character
// set; a Windows console takes wide text, and a file or a pipe on either
// takes bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

enum class StandardStream { kOutput, kError };

// Makes the standard streams carry bytes as they are: on Windows the C
// runtime would otherwise turn CR LF into LF and end the input at a Ctrl-Z.
void UseBinaryStandardStreams();

// The program's arguments after its name: on POSIX the bytes the shell
// passed; on Windows the wide command line as UTF-8, so that any file name
// arrives whole.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes `bytes` whole to the stream. Returns 0, or the platform's error
// code when the stream could not take them.
int WriteStandardStream(StandardStream stream, std::string_view bytes);

// Writes program text (Windows-1252) to the stream as its reader shows it:
// the locale's character set on POSIX (display_text.h); on Windows wide text
// to a console, the bytes themselves to a file or a pipe. Returns 0 or the
// platform's error code.
int WriteStandardStreamText(StandardStream stream, std::string_view program_text);

// A program of the graphical kind has no console of its own: its standard
// output and error then go to the console of the program that started it,
// where they are not redirected. False when neither is there to write to
// (on POSIX the streams are always there).
bool AttachParentConsole();

// True when the stream shows text by itself (a console), so that text
// written to it cannot wait in a buffer behind bytes written later.
bool IsConsoleStream(StandardStream stream);

// True when a person reads the stream: a terminal, a console. A file or a
// pipe takes what a program will read.
bool IsTerminal(StandardStream stream);

}  // namespace tarn
