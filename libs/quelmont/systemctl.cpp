// The service manager on Linux: each service is the systemd unit of the same
// name, driven through `systemctl` found along PATH.
#include "service_control.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace quelmont {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

std::string TrimTrailing(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.pop_back();
  }
  return text;
}

std::string SystemError(const char* what, int code) { return std::string(what) + ": " + std::strerror(code); }

// Runs `systemctl <verb> -- <unit>` with no shell between, and waits for it.
// The message is what it wrote, trailing blanks removed; when it failed
// without a word, the message names its exit status.
ControlResult RunSystemctl(const char* verb, const std::string& unit) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {false, SystemError("systemctl", errno)};
  Descriptor read_end(fds[0]);
  Descriptor write_end(fds[1]);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, write_end.Get(), STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, write_end.Get(), STDERR_FILENO);

  std::string program = "systemctl";
  std::string verb_text = verb;
  std::string end_of_options = "--";
  std::string unit_text = unit;
  char* argv[] = {program.data(), verb_text.data(), end_of_options.data(), unit_text.data(), nullptr};
  pid_t child = 0;
  int spawn_error = ::posix_spawnp(&child, "systemctl", &actions, nullptr, argv, environ);
  ::posix_spawn_file_actions_destroy(&actions);
  write_end.Reset();
  if (spawn_error != 0) return {false, SystemError("systemctl", spawn_error)};

  std::string output;
  char chunk[512];
  for (;;) {
    ssize_t got = ::read(read_end.Get(), chunk, sizeof chunk);
    if (got > 0) {
      output.append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return {false, SystemError("systemctl", errno)};
  }
  bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::string message = TrimTrailing(std::move(output));
  if (!succeeded && message.empty()) {
    message = WIFEXITED(status) ? "systemctl " + verb_text + " " + unit + " failed with exit status " +
                                      std::to_string(WEXITSTATUS(status))
                                : "systemctl " + verb_text + " " + unit + " ended by signal " +
                                      std::to_string(WTERMSIG(status));
  }
  return {succeeded, message};
}

// A name that systemctl could take for an option is never passed to it.
bool Acceptable(const std::string& unit) { return !unit.empty() && unit.front() != '-'; }

ControlResult Control(const char* verb, const std::string& unit) {
  if (!Acceptable(unit)) return {false, "Invalid service name '" + unit + "'"};
  return RunSystemctl(verb, unit);
}

}  // namespace

bool IsRunning(const std::string& service) {
  return Acceptable(service) && RunSystemctl("is-active", service).succeeded;
}

ControlResult Start(const std::string& service) { return Control("start", service); }

ControlResult Stop(const std::string& service) { return Control("stop", service); }

}  // namespace quelmont
