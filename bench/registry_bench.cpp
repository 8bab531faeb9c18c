// The registry stand-in loading hives of every shape that once made its cost
// explode, each about 50 MB: one key with ~450,000 values, ~800,000 keys,
// one 50 MB string, one binary value of 16 MB in continued hex lines, and
// 20,000 key paths 493 levels deep; then one 3 KB file holding a single
// 493-level path.
//
//   RegistryLoad/tarn/<shape>: the first registry operation of a process: a
//     key opened and a value read, which parses the whole file;
//   RegistryLoad/read_lines/<shape>: the peer, the least any parser must do:
//     the file read and its lines counted;
//   RegistryRead/tarn/<shape>: the same operation again, the file unchanged,
//     answered from the parsed hive.
//
// heap_MB is the memory in use with the parsed hive held. The run ends with
// each load's time as a multiple of the peer's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "ratio_reporter.h"

namespace {

enum Shape { kValues, kKeys, kString, kBinary, kDeep, kDeep3K };

struct HiveShape {
  const char* name;
  const char* key;    // the key opened
  const char* value;  // the value read
};

const HiveShape kShapes[] = {
    {"values", "SOFTWARE\\KESSLAN\\ORVIK\\SERVER", "Setting0449059"},
    {"keys", "SOFTWARE\\KESSLAN\\ORVIK\\K0799999", "Port"},
    {"string", "SOFTWARE\\KESSLAN\\ORVIK\\SERVER", "Port"},
    {"binary", "SOFTWARE\\KESSLAN\\ORVIK\\SERVER", "Port"},
    {"deep", nullptr, "Port"},
    {"deep3k", nullptr, "Port"},
};

constexpr size_t kFileSize = 50u << 20;
constexpr int kDepth = 493;

std::string DeepPath(int levels) {
  std::string path;
  char name[8];
  for (int i = 0; i < levels; ++i) {
    std::snprintf(name, sizeof name, "\\k%03d", i);
    path += name;
  }
  return path;
}

std::string HiveText(Shape shape) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  text.reserve(kFileSize + 4096);
  char line[160];
  switch (shape) {
    case kValues:
      text += "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\SERVER]\r\n";
      for (int i = 0; i < 449060; ++i) {
        std::snprintf(line, sizeof line, "\"Setting%07d\"=\"%090d\"\r\n", i, i);
        text += line;
      }
      break;
    case kKeys:
      for (int i = 0; i < 800000; ++i) {
        std::snprintf(line, sizeof line, "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\K%07d]\r\n\"Port\"=\"%d\"\r\n\r\n", i, i);
        text += line;
      }
      break;
    case kString:
      text += "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\SERVER]\r\n\"Port\"=\"7000\"\r\n\"Big\"=\"";
      while (text.size() < kFileSize) text += "C:\\\\Program Files\\\\a\xC3\xA7\xC3\xA3o \\\"quoted\\\" ";
      text += "\"\r\n";
      break;
    case kBinary:
      text += "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\SERVER]\r\n\"Port\"=\"7000\"\r\n\"Blob\"=hex:";
      // As the Registry Editor writes it: 25 bytes a line after the first.
      for (size_t i = 0; text.size() < kFileSize; ++i) {
        std::snprintf(line, sizeof line, "%02x,", static_cast<unsigned>(i & 0xFF));
        text += line;
        if (i % 25 == 24) text += "\\\r\n  ";
      }
      text += "00\r\n";
      break;
    case kDeep: {
      std::string prefix = "[HKEY_CURRENT_USER" + DeepPath(kDepth - 1);
      for (int i = 0; text.size() < kFileSize; ++i) {
        std::snprintf(line, sizeof line, "\\leaf%07d]\r\n\"Port\"=\"%d\"\r\n\r\n", i, i);
        text += prefix + line;
      }
      break;
    }
    case kDeep3K:
      text += "[HKEY_CURRENT_USER" + DeepPath(kDepth) + "]\r\n\"Port\"=\"7000\"\r\n";
      break;
  }
  return text;
}

// The key the benchmark opens in the deep shapes: the first leaf, or the
// one deep key.
std::string ProbeKey(Shape shape) {
  if (shape == kDeep) return DeepPath(kDepth - 1) + "\\leaf0000000";
  if (shape == kDeep3K) return DeepPath(kDepth);
  return kShapes[shape].key;
}

class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarn-registry-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/tarn");
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  }
  ~Sandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Writes the shape's hive unless it is already there.
  void Prepare(Shape shape) {
    if (shape == current_) return;
    std::string text = HiveText(shape);
    std::FILE* file = std::fopen(tarn::RegistryFilePath().c_str(), "wb");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
      std::abort();
    }
    size_ = text.size();
    current_ = shape;
  }

  // Frees the hive parsed last, by an operation on an empty registry
  // elsewhere, and gives the file a new modification time: the next
  // registry operation parses it as the first one of a process does.
  void Forget() {
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/empty").c_str(), 1);
    tarn::TRegistry().KeyExists("K");
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    timespec times[2] = {{0, UTIME_OMIT}, {++stamp_, 0}};
    ::utimensat(AT_FDCWD, tarn::RegistryFilePath().c_str(), times, 0);
  }

  size_t Size() const { return size_; }

 private:
  std::string dir_;
  int current_ = -1;
  size_t size_ = 0;
  time_t stamp_ = 1000000000;
};

Sandbox* sandbox = nullptr;

bool ReadProbe(Shape shape) {
  tarn::TRegistry registry(tarn::RegAccess::kRead);
  if (!registry.OpenKeyReadOnly(ProbeKey(shape))) return false;
  std::optional<std::string> value = registry.ReadStringValue(kShapes[shape].value);
  benchmark::DoNotOptimize(value);
  return value.has_value();
}

void Finish(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sandbox->Size()));
  state.counters["file_MB"] = static_cast<double>(sandbox->Size()) / 1e6;
}

void LoadTarn(benchmark::State& state, Shape shape) {
  sandbox->Prepare(shape);
  for (auto _ : state) {
    state.PauseTiming();
    sandbox->Forget();
    state.ResumeTiming();
    if (!ReadProbe(shape)) state.SkipWithError("the value was not found");
  }
  Finish(state);
  struct mallinfo2 heap = mallinfo2();
  state.counters["heap_MB"] = static_cast<double>(heap.uordblks + heap.hblkhd) / 1e6;
}

void LoadReadLines(benchmark::State& state, Shape shape) {
  sandbox->Prepare(shape);
  for (auto _ : state) {
    std::optional<std::string> text = tarn::ReadFileBytes(tarn::RegistryFilePath());
    benchmark::DoNotOptimize(std::count(text->begin(), text->end(), '\n'));
  }
  Finish(state);
}

void ReadCached(benchmark::State& state, Shape shape) {
  sandbox->Prepare(shape);
  ReadProbe(shape);
  for (auto _ : state) {
    if (!ReadProbe(shape)) state.SkipWithError("the value was not found");
  }
}

}  // namespace

int main(int argc, char** argv) {
  Sandbox scratch;
  sandbox = &scratch;
  for (int i = kValues; i <= kDeep3K; ++i) {
    auto shape = static_cast<Shape>(i);
    std::string name = kShapes[i].name;
    auto unit = shape == kDeep3K ? benchmark::kMicrosecond : benchmark::kMillisecond;
    benchmark::RegisterBenchmark(("RegistryLoad/tarn/" + name).c_str(), LoadTarn, shape)->Unit(unit);
    benchmark::RegisterBenchmark(("RegistryLoad/read_lines/" + name).c_str(), LoadReadLines, shape)->Unit(unit);
    benchmark::RegisterBenchmark(("RegistryRead/tarn/" + name).c_str(), ReadCached, shape)
        ->Unit(benchmark::kMicrosecond);
  }
  tarn::bench::RatioReporter reporter("tarn");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
