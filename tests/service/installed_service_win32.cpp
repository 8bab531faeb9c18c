#include "service/installed_service.h"

#include <windows.h>

#include <stdexcept>

#include "platform/file_system.h"

namespace tarn::testing {

namespace {

constexpr int kStopPolls = 100;  // of 100 ms each

SC_HANDLE OpenManager() { return ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS); }

}  // namespace

InstalledService::InstalledService(const std::string& name, const std::string& mode, StartType start_type)
    : name_(name) {
  std::string command = "\"" + ExeDir() + "quelmont-test-service.exe\" " + mode;
  SC_HANDLE manager = OpenManager();
  SC_HANDLE service = ::CreateServiceA(
      manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
      start_type == StartType::kDisabled ? SERVICE_DISABLED : SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
      command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  DWORD error = ::GetLastError();
  if (service != nullptr) ::CloseServiceHandle(service);
  if (manager != nullptr) ::CloseServiceHandle(manager);
  if (service == nullptr) throw std::runtime_error("CreateServiceA " + name + " failed: " + std::to_string(error));
}

// Asks the service to stop until it has, then deletes it: a service deleted
// while it runs would keep its name taken.
InstalledService::~InstalledService() {
  SC_HANDLE manager = OpenManager();
  SC_HANDLE service = ::OpenServiceA(manager, name_.c_str(), SERVICE_ALL_ACCESS);
  SERVICE_STATUS status;
  for (int poll = 0; poll < kStopPolls && ::QueryServiceStatus(service, &status); ++poll) {
    if (status.dwCurrentState == SERVICE_STOPPED) break;
    if (status.dwCurrentState != SERVICE_STOP_PENDING) ::ControlService(service, SERVICE_CONTROL_STOP, &status);
    ::Sleep(100);
  }
  ::DeleteService(service);
  ::CloseServiceHandle(service);
  ::CloseServiceHandle(manager);
}

bool InstalledService::Running() const { return State() == SERVICE_RUNNING; }

bool InstalledService::Stopped() const { return State() == SERVICE_STOPPED; }

// The service's state, or 0 when it cannot be read.
unsigned long InstalledService::State() const {
  SC_HANDLE manager = OpenManager();
  SC_HANDLE service = ::OpenServiceA(manager, name_.c_str(), SERVICE_QUERY_STATUS);
  SERVICE_STATUS status;
  DWORD state = ::QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
  ::CloseServiceHandle(service);
  ::CloseServiceHandle(manager);
  return state;
}

}  // namespace tarn::testing
