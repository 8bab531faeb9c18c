// The web service client against its peers, in one run:
//   GzipCoding encode/decode of the JSON corpora against bare zlib calls with
//   the same settings (raw deflate level 1, memory level 8, one call; raw
//   inflate in one call; CRC-32 of the text);
//   keep-alive GETs of a 1 KB and a 100 KB answer through TRESTClient
//   against a bare libcurl loop on one easy handle, both from the same
//   in-process loopback server.
// After the table it prints each pair's ratios, from the medians of five
// interleaved repetitions for the coding, of forty short ones (2,000 GETs
// each) for the GETs: the load of a shared machine comes and goes in phases
// of seconds, which many short repetitions spread over all sides alike. The
// CPU ratio is the steadier one for the coding; for the GETs, which wait on
// a server, wall clock is what counts, and each GET benchmark also reports
// the CPU time the server spent per request (server_cpu_us).
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>
#include <netinet/tcp.h>
#include <zlib.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/gzip_coding.h"
#include "net/rest_client.h"
#include "ratio_reporter.h"

namespace {

const char* const kCorpora[] = {"canada.json", "citm_catalog.json", "twitter.json"};
constexpr int kRequests = 2000;
constexpr int kRequestRepetitions = 40;

std::string ReadCorpus(const std::string& name) {
  std::ifstream in(std::string(TARN_DATA_DIR) + "/json/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// ---------------------------------------------------------------------------
// Gzip coding

// GzipCoding codes in place, so each pass starts from a fresh copy of the
// input, made outside the timing. Throughput counts the plain text.
void TimeGzipCoding(benchmark::State& state, const std::string& input, bool encode, size_t text_size) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string data = input;
    state.ResumeTiming();
    tarn::GzipCoding(data, encode);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text_size));
}

void GzipEncode(benchmark::State& state, const std::string& text) { TimeGzipCoding(state, text, true, text.size()); }

void ZlibEncode(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    std::string member(text.size() + text.size() / 8 + 128, '\0');
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(member.data() + 10);
    stream.avail_out = static_cast<uInt>(member.size() - 18);
    deflate(&stream, Z_FINISH);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    member.resize(10 + stream.total_out + 8);
    deflateEnd(&stream);
    benchmark::DoNotOptimize(crc);
    benchmark::DoNotOptimize(member.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void GzipDecode(benchmark::State& state, const std::string& text) {
  std::string member = text;
  tarn::GzipCoding(member, true);
  TimeGzipCoding(state, member, false, text.size());
}

void ZlibDecode(benchmark::State& state, const std::string& text) {
  std::string member = text;
  tarn::GzipCoding(member, true);
  for (auto _ : state) {
    std::string out(text.size(), '\0');
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(member.data() + 10);
    stream.avail_in = static_cast<uInt>(member.size() - 18);
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size()));
    benchmark::DoNotOptimize(crc);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// ---------------------------------------------------------------------------
// Keep-alive GETs

class BenchServer {
 public:
  BenchServer() : small_(1024, 's'), large_(100 * 1024, 'l') {
    server_.Get("/1k", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(small_, "application/json");
    });
    server_.Get("/100k", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(large_, "application/json");
    });
    server_.set_keep_alive_max_count(1000000);
    // Answers go out at once, not held back for the client's delayed ACK
    // (accepted sockets inherit the option from the listening one).
    server_.set_socket_options([](int socket) {
      httplib::default_socket_options(socket);
      int on = 1;
      setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~BenchServer() {
    server_.stop();
    thread_.join();
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  std::string small_;
  std::string large_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

BenchServer* g_server = nullptr;

double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The CPU time the process spends outside the benchmark's thread, per
// request: the in-process server's share of each request.
class ServerCpu {
 public:
  ServerCpu() : process_(CpuSeconds(CLOCK_PROCESS_CPUTIME_ID)), thread_(CpuSeconds(CLOCK_THREAD_CPUTIME_ID)) {}
  void Report(benchmark::State& state) const {
    const double outside =
        (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process_) - (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread_);
    state.counters["server_cpu_us"] = benchmark::Counter(outside * 1e6, benchmark::Counter::kAvgIterations);
  }

 private:
  double process_;
  double thread_;
};

void RestGets(benchmark::State& state, const std::string& path) {
  tarn::TRESTClient client("");
  const std::string url = g_server->Url(path);
  std::string body;
  const ServerCpu server_cpu;
  for (auto _ : state) {
    client.Fetch(url, false, 10000, body);
    benchmark::DoNotOptimize(body.data());
  }
  server_cpu.Report(state);
  state.SetItemsProcessed(state.iterations());
}

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// same_request: the request carries the header lines that the transport's
// requests carry (user agent, no-cache, JSON content type), handed over as
// the transport does, so the difference that remains is the client's own
// work.
void CurlGets(benchmark::State& state, const std::string& path, bool same_request) {
  CURL* easy = curl_easy_init();
  const std::string url = g_server->Url(path);
  std::string body;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  curl_slist* headers = nullptr;
  if (same_request) {
    for (const char* line : {"User-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows; TWinHTTP)", "Accept: */*",
                             "Cache-Control: no-cache", "Pragma: no-cache", "Content-Type: application/json"}) {
      headers = curl_slist_append(headers, line);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  }
  const ServerCpu server_cpu;
  for (auto _ : state) {
    body.clear();
    if (curl_easy_perform(easy) != CURLE_OK) state.SkipWithError("curl failed");
    benchmark::DoNotOptimize(body.data());
  }
  server_cpu.Report(state);
  curl_easy_cleanup(easy);
  curl_slist_free_all(headers);
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  BenchServer server;
  g_server = &server;
  std::vector<std::string> corpora;
  for (const char* name : kCorpora) corpora.push_back(ReadCorpus(name));

  tarn::bench::RatioReporter reporter;
  for (std::size_t i = 0; i < corpora.size(); ++i) {
    const std::string name = kCorpora[i];
    const std::string& text = corpora[i];
    benchmark::RegisterBenchmark(("GzipEncode/" + name).c_str(), GzipEncode, text)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ZlibEncode/" + name).c_str(), ZlibEncode, text)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("GzipDecode/" + name).c_str(), GzipDecode, text)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ZlibDecode/" + name).c_str(), ZlibDecode, text)->Unit(benchmark::kMillisecond);
    reporter.AddPair("GzipEncode/" + name, "ZlibEncode/" + name);
    reporter.AddPair("GzipDecode/" + name, "ZlibDecode/" + name);
  }
  for (const std::string path : {"/1k", "/100k"}) {
    for (benchmark::internal::Benchmark* gets :
         {benchmark::RegisterBenchmark(("RestGets" + path).c_str(), RestGets, path),
          benchmark::RegisterBenchmark(("CurlGets" + path).c_str(), CurlGets, path, false),
          benchmark::RegisterBenchmark(("CurlSameRequestGets" + path).c_str(), CurlGets, path, true)}) {
      gets->Iterations(kRequests)->Repetitions(kRequestRepetitions)->Unit(benchmark::kMicrosecond);
    }
    reporter.AddPair("RestGets" + path, "CurlGets" + path);
    reporter.AddPair("RestGets" + path, "CurlSameRequestGets" + path);
  }

  tarn::bench::RunInterleaved(argc, argv, 5, reporter);
  curl_global_cleanup();
  return 0;
}
