// The platform's service manager behind quelmont's entries: systemd through
// systemctl (systemctl.cpp), or the Service Control Manager on Windows
// (service_manager_win32.cpp).
#pragma once

#include <string>

namespace quelmont {

struct ControlResult {
  bool succeeded;
  std::string message;  // why it failed, in the service manager's own words
};

// True when the service runs; false when it does not, or cannot be asked.
bool IsRunning(const std::string& service);

// Each returns once the service runs (has stopped), or has failed to. A
// service already in that state counts as a success.
ControlResult Start(const std::string& service);
ControlResult Stop(const std::string& service);

}  // namespace quelmont
