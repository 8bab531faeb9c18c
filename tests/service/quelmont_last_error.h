// What quelmont's GetLastSvcError reports, read as the window reads it: into
// a 256-byte buffer that is not cleared beforehand.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "quelmont.h"

namespace tarn::testing {

// The text of the last failure, or "<none>" when the last start or stop
// succeeded.
inline std::string LastSvcError() {
  char buffer[QUELMONT_ERROR_BUFFER_SIZE];
  std::memset(buffer, 'x', sizeof buffer);
  if (!GetLastSvcError(buffer)) return "<none>";
  EXPECT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
  return buffer;
}

}  // namespace tarn::testing
