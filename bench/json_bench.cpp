// The JSON library against nlohmann/json and RapidJSON on the three corpora:
// tree-mode parse (RapidJSON also with its full-precision flag) and compact
// write, in MB/s of input text, with the ratio to each peer at the end. Ours
// writes every character outside printable ASCII as \uXXXX: the peer that
// writes the same escaping is RapidJSON with an ASCII target encoding
// (rapidjson-ascii); its UTF-8 writer, which writes such characters as they
// are, is shown beside it. The ratios come from the medians of forty short
// interleaved repetitions (at least 50 ms each):
// the load of a shared machine comes and goes in phases of seconds, which
// many short repetitions spread over all sides alike. Before the runs it
// prints the heap each library's tree holds once parsed (bytes in use, from
// the C allocator, while the tree lives).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <string>
#include <vector>

#include "json/json_parser.h"
#include "ratio_reporter.h"

namespace {

const char* const kCorpora[] = {"canada", "citm_catalog", "twitter"};

std::string ReadCorpus(const std::string& name) {
  std::ifstream file(std::string(TARN_DATA_DIR) + "/json/" + name + ".json", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Small blocks plus those the C allocator maps on their own.
size_t HeapInUse() {
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void SetThroughput(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void ParseTarn(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text->c_str());
    benchmark::DoNotOptimize(root.get());
  }
  SetThroughput(state, *text);
}

void ParseNlohmann(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    nlohmann::json root = nlohmann::json::parse(*text);
    benchmark::DoNotOptimize(&root);
  }
  SetThroughput(state, *text);
}

template <unsigned Flags>
void ParseRapid(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    rapidjson::Document root;
    root.Parse<Flags>(text->c_str());
    benchmark::DoNotOptimize(&root);
  }
  SetThroughput(state, *text);
}

void WriteTarn(benchmark::State& state, const std::string* text) {
  std::unique_ptr<tarn::TJSONbase> root = tarn::ParseJSON(text->c_str());
  for (auto _ : state) {
    std::string out = root->Text();
    benchmark::DoNotOptimize(out.data());
  }
  SetThroughput(state, *text);
}

void WriteNlohmann(benchmark::State& state, const std::string* text) {
  nlohmann::json root = nlohmann::json::parse(*text);
  for (auto _ : state) {
    std::string out = root.dump();
    benchmark::DoNotOptimize(out.data());
  }
  SetThroughput(state, *text);
}

template <typename TargetEncoding>
void WriteRapid(benchmark::State& state, const std::string* text) {
  rapidjson::Document root;
  root.Parse(text->c_str());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, TargetEncoding> writer(buffer);
    root.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
  SetThroughput(state, *text);
}

// The heap a tree holds while it lives.
template <typename Parse>
size_t TreeBytes(Parse parse) {
  size_t before = HeapInUse();
  auto tree = parse();
  size_t held = HeapInUse() - before;
  benchmark::DoNotOptimize(&tree);
  return held;
}

void PrintTreeSizes(const std::vector<std::string>& texts) {
  std::printf("Tree memory (heap in use while the tree lives, bytes; ratio = tarn / peer)\n");
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    size_t tarn_bytes = TreeBytes([&] { return tarn::ParseJSON(text.c_str()); });
    size_t nlohmann_bytes = TreeBytes([&] { return nlohmann::json::parse(text); });
    size_t rapid_bytes = TreeBytes([&] {
      auto document = std::make_unique<rapidjson::Document>();
      document->Parse(text.c_str());
      return document;
    });
    std::printf("  %-13s text %8zu  tarn %10zu  nlohmann %10zu (%.2fx)  rapidjson %10zu (%.2fx)\n", kCorpora[i],
                text.size(), tarn_bytes, nlohmann_bytes, static_cast<double>(tarn_bytes) / nlohmann_bytes,
                rapid_bytes, static_cast<double>(tarn_bytes) / rapid_bytes);
  }
  // A list of many empty containers: the heap each costs, its place in the
  // list included.
  constexpr size_t kEmpties = 100000;
  for (const char* empty : {"[]", "{}"}) {
    std::string text = "[";
    for (size_t i = 0; i < kEmpties; ++i) text += std::string(i == 0 ? "" : ",") + empty;
    text += "]";
    size_t tarn_bytes = TreeBytes([&] { return tarn::ParseJSON(text.c_str()); });
    size_t nlohmann_bytes = TreeBytes([&] { return nlohmann::json::parse(text); });
    std::printf("  %zu x %s         tarn %6.1f bytes each  nlohmann %6.1f (%.2fx)\n", kEmpties, empty,
                static_cast<double>(tarn_bytes) / kEmpties, static_cast<double>(nlohmann_bytes) / kEmpties,
                static_cast<double>(tarn_bytes) / nlohmann_bytes);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  static std::vector<std::string> texts;
  for (const char* name : kCorpora) {
    texts.push_back(ReadCorpus(name));
    if (texts.back().empty()) {
      std::fprintf(stderr, "cannot read the corpus %s\n", name);
      return 1;
    }
  }
  PrintTreeSizes(texts);
  for (size_t i = 0; i < texts.size(); ++i) {
    std::string corpus = kCorpora[i];
    const std::string* text = &texts[i];
    benchmark::RegisterBenchmark(("Parse/tarn/" + corpus).c_str(), ParseTarn, text);
    benchmark::RegisterBenchmark(("Parse/nlohmann/" + corpus).c_str(), ParseNlohmann, text);
    benchmark::RegisterBenchmark(("Parse/rapidjson/" + corpus).c_str(), ParseRapid<rapidjson::kParseDefaultFlags>,
                                 text);
    // Rounds every number correctly, as ours does.
    benchmark::RegisterBenchmark(("Parse/rapidjson-full-precision/" + corpus).c_str(),
                                 ParseRapid<rapidjson::kParseFullPrecisionFlag>, text);
    benchmark::RegisterBenchmark(("Write/tarn/" + corpus).c_str(), WriteTarn, text);
    benchmark::RegisterBenchmark(("Write/nlohmann/" + corpus).c_str(), WriteNlohmann, text);
    benchmark::RegisterBenchmark(("Write/rapidjson-ascii/" + corpus).c_str(), WriteRapid<rapidjson::ASCII<>>, text);
    benchmark::RegisterBenchmark(("Write/rapidjson/" + corpus).c_str(), WriteRapid<rapidjson::UTF8<>>, text);
  }
  tarn::bench::RatioReporter reporter("tarn");
  tarn::bench::RunInterleaved(argc, argv, 40, reporter, 0.05);
}
