// The whole program path a user feels: tarn-json reading a corpus, parsing
// it and printing its compact text, against `jq -c .` and a minimal RapidJSON
// program doing the same, each run as a process with its output thrown away.
// The RapidJSON program runs twice: writing every character outside ASCII as
// \uXXXX, as tarn-json does (rapidjson-ascii, the same escaping), and in
// UTF-8 (rapidjson). tarn-json reads its text as Windows-1252, so each byte
// of a UTF-8 character comes out as an escape of its own: on twitter it
// writes 950 KB where rapidjson-ascii writes 562 KB.
// Time is wall clock from the start of the process to its end (the CPU
// column is the waiting parent's; the counter child_cpu_ms is the program's
// own); after the time ratios it prints each program's peak resident memory
// (the largest of its runs) and the ratios of ours to the peers'.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ratio_reporter.h"

namespace {

const char* const kCorpora[] = {"canada", "citm_catalog", "twitter"};

struct Program {
  const char* subject;
  std::vector<std::string> command;  // the corpus's path follows
};

// Peak resident memory in KB by "<subject>/<corpus>".
std::map<std::string, long> g_peak_kb;

double Milliseconds(const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; }

// Runs the command with its output to /dev/null; the exit status, or -1 when
// it could not start. Adds its peak memory to `peak_kb`, its CPU time to
// `cpu_ms`.
int RunProcess(const std::vector<std::string>& command, long& peak_kb, double& cpu_ms) {
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return -1;
  peak_kb = std::max(peak_kb, usage.ru_maxrss);
  cpu_ms += Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RunProgram(benchmark::State& state, const Program* program, const std::string* corpus) {
  std::vector<std::string> command = program->command;
  command.push_back(std::string(TARN_DATA_DIR) + "/json/" + *corpus + ".json");
  long& peak_kb = g_peak_kb[std::string(program->subject) + "/" + *corpus];
  double cpu_ms = 0;
  for (auto _ : state) {
    if (RunProcess(command, peak_kb, cpu_ms) != 0) {
      state.SkipWithError(("cannot run " + command[0]).c_str());
      break;
    }
  }
  state.counters["child_cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

void PrintPeakMemory(const std::vector<Program>& programs) {
  std::printf("\nPeak resident memory (KB; ratio = tarn / peer)\n");
  for (const char* corpus : kCorpora) {
    long ours = g_peak_kb["tarn/" + std::string(corpus)];
    if (ours == 0) continue;
    std::printf("  %-13s tarn %7ld", corpus, ours);
    for (const Program& program : programs) {
      if (std::string(program.subject) == "tarn") continue;
      long peer = g_peak_kb[std::string(program.subject) + "/" + corpus];
      if (peer > 0) std::printf("  %s %7ld (%.2fx)", program.subject, peer, static_cast<double>(ours) / peer);
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<Program> programs = {
      {"tarn", {TARN_JSON_PROGRAM}},
      {"jq", {"jq", "-c", "."}},
      {"rapidjson-ascii", {RAPIDJSON_COMPACT_PROGRAM, "--ascii"}},
      {"rapidjson", {RAPIDJSON_COMPACT_PROGRAM}},
  };
  static std::vector<std::string> corpora(std::begin(kCorpora), std::end(kCorpora));
  for (const std::string& corpus : corpora) {
    for (const Program& program : programs) {
      benchmark::RegisterBenchmark(("Run/" + std::string(program.subject) + "/" + corpus).c_str(), RunProgram,
                                   &program, &corpus)
          ->UseRealTime()
          ->Unit(benchmark::kMillisecond);
    }
  }
  // The programs alternate in random order, forty times each, for at least
  // 0.1 s a time: the load of a shared machine comes in phases of seconds,
  // which many short repetitions spread over all sides alike.
  tarn::bench::RatioReporter reporter("tarn");
  tarn::bench::RunInterleaved(argc, argv, 40, reporter, 0.1);
  PrintPeakMemory(programs);
  return 0;
}
