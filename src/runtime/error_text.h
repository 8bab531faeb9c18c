// What the system shows of a caught error: its class name and its message.
#pragma once

#include <exception>
#include <string>

namespace tarn {

struct ErrorText {
  std::string class_name = "Exception";
  std::string message;
};

// The system's own exceptions give their class and message; memory running
// out reads as EOutOfMemory; another standard exception gives its text under
// the base class's name, and anything else an empty message.
ErrorText DescribeError(const std::exception_ptr& error);

}  // namespace tarn
