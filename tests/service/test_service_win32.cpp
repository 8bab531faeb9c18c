// A real Win32 service for the quelmont tests, in a process of its own. Its
// one argument, given in the service's command line, says how it behaves:
//   run    reports running and stops when asked, taking a moment over it as
//          a server closing its files would (the default);
//   stall  stays start-pending for a while without progress, then runs;
//   fail   reports its start under way, then stops with the exit code
//          ERROR_FILE_NOT_FOUND, as a service missing its settings would.
#include <windows.h>

#include <string>

namespace {

std::string mode = "run";
SERVICE_STATUS_HANDLE status_handle = nullptr;
HANDLE stop_requested = nullptr;
SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};

void Report(DWORD state, DWORD exit_code = NO_ERROR, DWORD wait_hint = 0) {
  status.dwCurrentState = state;
  status.dwWin32ExitCode = exit_code;
  status.dwWaitHint = wait_hint;
  // A stalled start may still be called off, or the test could not clean up.
  status.dwControlsAccepted = state == SERVICE_STOPPED ? 0 : SERVICE_ACCEPT_STOP;
  ::SetServiceStatus(status_handle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, NO_ERROR, 2000);
    ::SetEvent(stop_requested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**) {
  status_handle = ::RegisterServiceCtrlHandlerExA("", Handler, nullptr);
  if (status_handle == nullptr) return;
  if (mode == "fail") {
    Report(SERVICE_START_PENDING, NO_ERROR, 1000);
    ::Sleep(300);
    return Report(SERVICE_STOPPED, ERROR_FILE_NOT_FOUND);
  }
  stop_requested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (mode == "stall") {
    // The same check point all along: no progress within the wait hint.
    Report(SERVICE_START_PENDING, NO_ERROR, 1000);
    if (::WaitForSingleObject(stop_requested, 5000) == WAIT_OBJECT_0) return Report(SERVICE_STOPPED);
  }
  Report(SERVICE_RUNNING);
  ::WaitForSingleObject(stop_requested, INFINITE);
  ::Sleep(300);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) mode = argv[1];
  char no_name[] = "";
  SERVICE_TABLE_ENTRYA services[] = {{no_name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherA(services) ? 0 : static_cast<int>(::GetLastError());
}
