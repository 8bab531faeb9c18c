#include "platform/portable/command_line.h"

#include <new>

#include "platform/console.h"
#include "platform/display_text.h"
#include "platform/os_error.h"
#include "platform/portable/utf8_text.h"

namespace tarn {

namespace {

// Output waits in memory until a block this large has gathered: a program
// that prints many small pieces then costs few writes (each of which is a
// round trip to the server under Wine).
constexpr size_t kOutputBlock = 1 << 16;

struct PendingOutput {
  std::string bytes;
  int error = 0;  // the first failure to write, which ends all writing
};

PendingOutput& Output() {
  static PendingOutput output;
  return output;
}

int FlushOutput() {
  PendingOutput& output = Output();
  if (output.error == 0 && !output.bytes.empty()) {
    output.error = WriteStandardStream(StandardStream::kOutput, output.bytes);
  }
  output.bytes.clear();
  return output.error;
}

bool AsksHelpOrVersion(const std::vector<std::string>& arguments) {
  return !arguments.empty() && (arguments[0] == "--help" || arguments[0] == "--version");
}

std::optional<int> AnswerHelpOrVersion(const ProgramUsage& program, const std::vector<std::string>& arguments) {
  if (!AsksHelpOrVersion(arguments)) return std::nullopt;
  if (arguments.size() > 1) return WrongCommandLine(program);
  WriteOutput(*HelpOrVersionText(program, arguments));
  return 0;
}

void WriteError(std::string_view program_text) { WriteStandardStreamText(StandardStream::kError, program_text); }

// The system's own line break in a message (the CR LF of "System Error.
// Code: %d.\r\n%s") is a line break; any other control character, a lone
// LF from a file's or a server's text among them, is escaped, so that such
// text cannot act on the terminal or pass for a line of its own.
std::string MessageLines(std::string_view message) {
  std::string lines;
  for (size_t start = 0;;) {
    size_t end = message.find("\r\n", start);
    lines += EscapeControlCharacters(message.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return lines;
    lines += '\n';
    start = end + 2;
  }
}

// A failed write adds the system's reason, which the window leaves out.
std::string FailureReport(const Exception& error) {
  std::string message = error.Message();
  if (const auto* write = dynamic_cast<const EIniFileException*>(&error); write && !write->Reason().empty()) {
    message += ": " + write->Reason();
  }
  return std::string(error.ClassName()) + ": " + MessageLines(message) + "\n";
}

}  // namespace

std::optional<std::string> HelpOrVersionText(const ProgramUsage& program, const std::vector<std::string>& arguments) {
  if (!AsksHelpOrVersion(arguments) || arguments.size() > 1) return std::nullopt;
  if (arguments[0] == "--help") return std::string(program.usage) + "\n" + program.description;
  if (arguments[0] == "--version") return std::string(program.name) + " " + TARN_VERSION + "\n";
  return std::nullopt;
}

FileArgumentError::FileArgumentError(std::string path, int code)
    : Exception(DisplayPath(path) + ": " + OSErrorText(code)), path_(std::move(path)), code_(code) {}

int RunProgram(const ProgramUsage& program, int argc, char** argv, const ProgramBody& body) {
  UseBinaryStandardStreams();
  return RunProgram(program, CommandLineArguments(argc, argv), body);
}

int RunProgram(const ProgramUsage& program, const std::vector<std::string>& arguments, const ProgramBody& body) {
  int status = 1;
  std::string report;
  try {
    std::optional<int> answered = AnswerHelpOrVersion(program, arguments);
    status = answered ? *answered : body(arguments);
  } catch (const FileArgumentError& error) {
    report = std::string(program.name) + ": " + MessageLines(error.Message()) + "\n";
  } catch (const Exception& error) {
    report = FailureReport(error);
  } catch (const std::bad_alloc&) {
    report = FailureReport(EOutOfMemory());
  }
  // What was printed comes before the report of what went wrong after it.
  int error = FlushOutput();
  if (!report.empty()) {
    WriteError(report);
    status = 1;
  }
  if (error != 0) {
    WriteError(std::string(program.name) + ": cannot write the output: " + OSErrorText(error) + "\n");
    status = 1;
  }
  return status;
}

int WrongCommandLine(const ProgramUsage& program) {
  WriteError(program.usage);
  return 2;
}

std::string TypedText(std::string_view typed, TypedFrom from) {
  std::optional<std::string> unicode = TypedTextAsUtf8(typed, from);
  if (!unicode) throw EConvertError("'" + Utf8ToAnsi(typed) + "' is not " + TypedCharset(from) + " text");
  std::optional<std::string> text = Utf8ToAnsiExactly(*unicode);
  if (!text) {
    throw EConvertError("'" + Utf8ToAnsi(*unicode) + "' holds characters that Windows-1252 cannot hold");
  }
  return *text;
}

std::string ArgumentText(std::string_view argument) { return TypedText(argument, TypedFrom::kCommandLine); }

void WriteOutput(std::string_view bytes) {
  PendingOutput& output = Output();
  if (output.error != 0) return;
  if (output.bytes.size() + bytes.size() < kOutputBlock) {
    output.bytes.append(bytes);
    return;
  }
  if (FlushOutput() == 0) output.error = WriteStandardStream(StandardStream::kOutput, bytes);
}

// A person reads escapes; a program reads the value, which an escape would
// change (a stored "\t" could not be told from a tab).
void WriteOutputText(std::string_view program_text) {
  std::string text =
      IsTerminal(StandardStream::kOutput) ? EscapeControlCharacters(program_text) : std::string(program_text);
  if (!IsConsoleStream(StandardStream::kOutput)) {
    WriteOutput(TerminalText(text));
  } else if (FlushOutput() == 0) {
    Output().error = WriteStandardStreamText(StandardStream::kOutput, text);
  }
}

std::string EscapeControlCharacters(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
                   byte == 0x9D;
    if (!control) {
      out += c;
      continue;
    }
    switch (c) {
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default: out += "\\u00", out += kHex[byte >> 4], out += kHex[byte & 0xF];
    }
  }
  return out;
}

}  // namespace tarn
