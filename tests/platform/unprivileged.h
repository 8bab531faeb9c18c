// Runs test code as a user without the superuser's rights. The tests may run
// as the superuser, who may read and write any file, so rules about files a
// user may not read or write are checked in a child process that has given
// those rights up (as the user nobody).
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace tarn::testing {

inline constexpr uid_t kNobody = 65534;

// Starts `body` in a child process, which runs alongside this one.
inline pid_t StartChild(const std::function<int()>& body) {
  pid_t child = ::fork();
  if (child == 0) {
    // Nothing may leave the child: the test would go on running in it.
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(126);
    }
  }
  return child;
}

// Waits for a child and returns its exit status: what its body returned, or
// 126 when it raised an exception, -1 when it did not exit (a signal ended
// it) or could not be started.
inline int WaitForChild(pid_t child) {
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs `body` in a child process and returns the child's exit status.
inline int RunInChild(const std::function<int()>& body) { return WaitForChild(StartChild(body)); }

// StartChild, as nobody when this process is the superuser (the child ends
// with 125 when the rights could not be given up).
inline pid_t StartUnprivileged(const std::function<int()>& body) {
  return StartChild([&] {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                             ::setresuid(kNobody, kNobody, kNobody) != 0)) {
      return 125;
    }
    return body();
  });
}

// RunInChild, as nobody when this process is the superuser.
inline int RunUnprivileged(const std::function<int()>& body) { return WaitForChild(StartUnprivileged(body)); }

// Gives `path` to the user RunUnprivileged runs as (nothing to do unless this
// process is the superuser).
inline void GiveToUnprivileged(const std::string& path) {
  if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0) std::abort();
}

}  // namespace tarn::testing
