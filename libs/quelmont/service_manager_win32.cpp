// The service manager on Windows: the Service Control Manager of the local
// machine. Errors are the system's texts for its codes.
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "service_control.h"

namespace quelmont {

namespace {

using Clock = std::chrono::steady_clock;

// However steadily a service reports progress, the caller (a window under a
// busy cursor) is not kept waiting longer than this.
constexpr auto kLongestWait = std::chrono::seconds(30);

// Closes a handle of the Service Control Manager when it goes out of scope.
class ServiceHandle {
 public:
  explicit ServiceHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ServiceHandle() {
    if (handle_ != nullptr) ::CloseServiceHandle(handle_);
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  SC_HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  SC_HANDLE handle_;
};

std::string SystemText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text(buffer != nullptr ? buffer : "", length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text.empty() ? "System error " + std::to_string(code) : text;
}

ControlResult Failure(DWORD code) { return {false, SystemText(code)}; }

// The service opened with `access` and the right to read its state, or the
// reason it could not be.
class OpenedService {
 public:
  OpenedService(const std::string& name, DWORD access)
      : manager_(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)),
        service_(manager_ ? ::OpenServiceA(manager_.Get(), name.c_str(), access | SERVICE_QUERY_STATUS) : nullptr),
        error_(service_ ? NO_ERROR : ::GetLastError()) {}

  SC_HANDLE Get() const { return service_.Get(); }
  explicit operator bool() const { return static_cast<bool>(service_); }
  DWORD Error() const { return error_; }

 private:
  ServiceHandle manager_;
  ServiceHandle service_;
  DWORD error_;
};

// Waits while the service is `pending`. A pending service promises to move
// its check point on within its wait hint; one that does not is given up on,
// as is one still pending after kLongestWait. Succeeds when it ends in
// `wanted`; otherwise the failure is its exit code, or `otherwise`.
ControlResult Await(SC_HANDLE service, DWORD pending, DWORD wanted, DWORD otherwise) {
  SERVICE_STATUS status;
  if (!::QueryServiceStatus(service, &status)) return Failure(::GetLastError());
  const Clock::time_point give_up = Clock::now() + kLongestWait;
  Clock::time_point progressed = Clock::now();
  DWORD check_point = status.dwCheckPoint;
  while (status.dwCurrentState == pending) {
    auto hint = std::chrono::milliseconds(std::clamp<DWORD>(status.dwWaitHint, 1000, 10000));
    if (Clock::now() - progressed > hint || Clock::now() > give_up) return Failure(ERROR_SERVICE_REQUEST_TIMEOUT);
    ::Sleep(static_cast<DWORD>(hint.count() / 10));
    if (!::QueryServiceStatus(service, &status)) return Failure(::GetLastError());
    if (status.dwCheckPoint != check_point) {
      check_point = status.dwCheckPoint;
      progressed = Clock::now();
    }
  }
  if (status.dwCurrentState == wanted) return {true, ""};
  return Failure(status.dwWin32ExitCode != NO_ERROR ? status.dwWin32ExitCode : otherwise);
}

}  // namespace

bool IsRunning(const std::string& service) {
  OpenedService opened(service, 0);
  SERVICE_STATUS status;
  return opened && ::QueryServiceStatus(opened.Get(), &status) && status.dwCurrentState == SERVICE_RUNNING;
}

ControlResult Start(const std::string& service) {
  OpenedService opened(service, SERVICE_START);
  if (!opened) return Failure(opened.Error());
  if (!::StartServiceA(opened.Get(), 0, nullptr)) {
    DWORD error = ::GetLastError();
    if (error != ERROR_SERVICE_ALREADY_RUNNING) return Failure(error);
  }
  return Await(opened.Get(), SERVICE_START_PENDING, SERVICE_RUNNING, ERROR_SERVICE_NOT_ACTIVE);
}

ControlResult Stop(const std::string& service) {
  OpenedService opened(service, SERVICE_STOP);
  if (!opened) return Failure(opened.Error());
  SERVICE_STATUS status;
  if (!::ControlService(opened.Get(), SERVICE_CONTROL_STOP, &status)) {
    DWORD error = ::GetLastError();
    if (error != ERROR_SERVICE_NOT_ACTIVE) return Failure(error);
  }
  return Await(opened.Get(), SERVICE_STOP_PENDING, SERVICE_STOPPED, ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
}

}  // namespace quelmont
