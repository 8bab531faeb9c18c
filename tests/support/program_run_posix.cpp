#include "support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace tarn::testing {

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& input_file, Streams streams) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) std::abort();
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, 0, input_file.empty() ? "/dev/null" : input_file.c_str(), O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  TempDir dir;
  const std::string errors = dir.Path("errors");
  if (streams == Streams::kSeparate) {
    ::posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  } else {
    ::posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
  }
  ::posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_ends[1]);
  ProgramRun run{-1, "", ""};
  char buffer[4096];
  for (ssize_t got; spawned == 0 && (got = ::read(pipe_ends[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    run.output.append(buffer, static_cast<size_t>(got));
  }
  ::close(pipe_ends[0]);
  int status = 0;
  if (spawned == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  if (streams == Streams::kSeparate) run.errors = ReadFile(errors);
  return run;
}

// The input goes through a named pipe (a FIFO), which the program's standard
// input opens by name as it opens a file. The SIGPIPE of a pipe no one reads
// any more would end the tests: the writing thread holds it back and takes it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const PipedInput& input,
                      Streams streams) {
  TempDir dir;
  const std::string fifo = dir.Path("input");
  if (::mkfifo(fifo.c_str(), 0600) != 0) std::abort();
  size_t piped = 0;
  std::thread feeder([&] {
    sigset_t broken_pipe;
    ::sigemptyset(&broken_pipe);
    ::sigaddset(&broken_pipe, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &broken_pipe, nullptr);
    int pipe = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
    ssize_t got = 1;
    for (size_t i = 0; i < input.repeat && got > 0; ++i) {
      got = ::write(pipe, input.text.data(), input.text.size());
      piped += got > 0 ? static_cast<size_t>(got) : 0;
    }
    timespec at_once{};
    ::sigtimedwait(&broken_pipe, nullptr, &at_once);
    ::close(pipe);
  });
  ProgramRun run = RunProgram(program, arguments, fifo, streams);
  feeder.join();
  run.piped = piped;
  return run;
}

}  // namespace tarn::testing
