#include "platform/portable/exceptions.h"

#include "platform/display_text.h"
#include "platform/os_error.h"

namespace tarn {

EOSError::EOSError(int code, const std::string& text)
    : Exception("System Error.  Code: " + std::to_string(code) + ".\r\n" + text), code_(code), reason_(text) {}

EConvertError InvalidIntegerError(const std::string& text) {
  return EConvertError("'" + text + "' is not a valid integer value");
}

EIniFileException IniWriteError(const std::string& file_name) {
  return EIniFileException("Unable to write to " + DisplayPath(file_name));
}

EIniFileException IniWriteError(const std::string& file_name, const EWriteRefused& refusal) {
  return EIniFileException(IniWriteError(file_name).Message() + ": " + refusal.Message());
}

EIniFileException IniWriteError(const std::string& file_name, const EOSError& cause) {
  return EIniFileException(IniWriteError(file_name).Message(), cause.Reason());
}

EWriteRefused UntrustedLinkError(const std::string& path) {
  return EWriteRefused(DisplayPath(path) + " is a link made by another user");
}

EWriteRefused ChangedFileError(const std::string& path) {
  return EWriteRefused("another program changed " + DisplayPath(path) + " meanwhile");
}

EWriteRefused LockTimeoutError(const std::string& path, int seconds) {
  return EWriteRefused("another program kept " + DisplayPath(path) + " locked for " + std::to_string(seconds) +
                       (seconds == 1 ? " second" : " seconds"));
}

ERegistryException RegistryTypeError(const std::string& value_name) {
  return ERegistryException("Invalid data type for '" + value_name + "'");
}

EOSError NotRegularFileError() { return EOSError(InvalidArgumentCode(), "Not a regular file"); }

void RaiseLastOSError() { RaiseOSError(LastOSErrorCode()); }

EOSError OSError(int code) { return EOSError(code, OSErrorText(code)); }

void RaiseOSError(int code) { throw OSError(code); }

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace tarn
