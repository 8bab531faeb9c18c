// The runtime's exception classes. Every failure in the system is raised as
// an exception derived from Exception, which carries the message text shown
// to the user; ClassName() gives the class name used in error reports.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace tarn {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string message_;
};

#define TARN_EXCEPTION_CLASS(Name, Base)                              \
  class Name : public Base {                                          \
   public:                                                            \
    using Base::Base;                                                 \
    const char* ClassName() const noexcept override { return #Name; } \
  }

// Text that is not integer text: "'%s' is not a valid integer value".
TARN_EXCEPTION_CLASS(EConvertError, Exception);
// A failed write of a profile file: "Unable to write to %s". The system's
// reason, where a failing call gave one, travels beside the message: the
// companions print it after the message, the window shows the message as
// it is.
class EIniFileException : public Exception {
 public:
  explicit EIniFileException(std::string message, std::string reason = "")
      : Exception(std::move(message)), reason_(std::move(reason)) {}
  const std::string& Reason() const noexcept { return reason_; }
  const char* ClassName() const noexcept override { return "EIniFileException"; }

 private:
  std::string reason_;
};
// A registry value of the wrong type: "Invalid data type for '%s'", or a
// registry file that cannot be read or written.
TARN_EXCEPTION_CLASS(ERegistryException, Exception);

// A write that the program itself refuses, for a reason its message gives:
// a link or second name that another user placed in a folder others may
// write, or a writers' lock that another program held too long.
TARN_EXCEPTION_CLASS(EWriteRefused, Exception);

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
  const char* ClassName() const noexcept override { return "EOutOfMemory"; }
};

// A failing platform call: "System Error.  Code: %d.\r\n%s".
class EOSError : public Exception {
 public:
  EOSError(int code, const std::string& text);
  int ErrorCode() const noexcept { return code_; }
  // The reason alone, without the code: the system's text for it.
  const std::string& Reason() const noexcept { return reason_; }
  const char* ClassName() const noexcept override { return "EOSError"; }

 private:
  int code_;
  std::string reason_;
};

// The messages of the runtime's conversion and storage errors.
EConvertError InvalidIntegerError(const std::string& text);
EIniFileException IniWriteError(const std::string& file_name);
ERegistryException RegistryTypeError(const std::string& value_name);
// "Unable to write to %s: %s", the file and why the write was refused.
EIniFileException IniWriteError(const std::string& file_name, const EWriteRefused& refusal);
// The same, with the reason of the failing call.
EIniFileException IniWriteError(const std::string& file_name, const EOSError& cause);
// The link (or second name) `path` belongs to neither the writer nor the
// owner of the folder that holds it.
EWriteRefused UntrustedLinkError(const std::string& path);
// Another program changed `path` since the writer read it.
EWriteRefused ChangedFileError(const std::string& path);
// Another program held the writers' lock of `path` for `seconds`.
EWriteRefused LockTimeoutError(const std::string& path, int seconds);
// A FIFO, a device or anything else that is not a regular file (nor a
// folder, which has the system's own code) given where a file is read or
// written.
EOSError NotRegularFileError();

// The platform's error `code` as the system's exception, with the system's
// text for it: the one place that turns an OS error code into EOSError.
EOSError OSError(int code);
// Raises OSError for the platform's last error (errno on POSIX), or `code`.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(int code);

// A full stop is appended to a message shown to the user when it is not
// empty and its last character sorts after the full stop.
std::string WithFullStop(const std::string& message);

}  // namespace tarn
