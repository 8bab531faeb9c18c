// The transport over WinHTTP against a scripted Winsock server on
// 127.0.0.1: what reaches the wire, what comes back, and the failures.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/gzip_coding.h"
#include "net/gzip_member.h"
#include "net/rest_client.h"
#include "net/win_http.h"
#include "test_support.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;

// A socket bound to a free loopback port; listening only when asked.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(bool listens) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) std::abort();
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (socket_ == INVALID_SOCKET || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        (listens && ::listen(socket_, 8) != 0)) {
      std::abort();
    }
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackSocket() {
    ::closesocket(socket_);
    ::WSACleanup();
  }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  SOCKET Handle() const { return socket_; }
  std::string PortText() const { return std::to_string(port_); }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
};

// True when the socket has something to read within 50 ms.
bool Readable(SOCKET socket) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{0, 50000};
  return ::select(0, &set, nullptr, nullptr, &wait) > 0;
}

// Serves one connection at a time: records every request (head and
// Content-Length body) and writes the scripted answer to it; with an empty
// answer it reads but never answers. close_after ends the connection after
// each answer (for bodies delimited by the end of the connection).
class ScriptedServer {
 public:
  explicit ScriptedServer(std::string answer, bool close_after = false)
      : answer_(std::move(answer)), close_after_(close_after), thread_([this] { Serve(); }) {}
  ~ScriptedServer() {
    stop_ = true;
    thread_.join();
  }

  std::string PortText() const { return listener_.PortText(); }
  int Connections() const { return connections_; }
  std::vector<std::string> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    while (!stop_) {
      if (!Readable(listener_.Handle())) continue;
      SOCKET client = ::accept(listener_.Handle(), nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      ++connections_;
      ServeConnection(client);
      ::closesocket(client);
    }
  }

  void ServeConnection(SOCKET client) {
    std::string pending;
    while (!stop_) {
      const std::size_t end = pending.find("\r\n\r\n");
      if (end != std::string::npos) {
        const std::size_t total = end + 4 + BodyLength(pending.substr(0, end));
        if (pending.size() >= total) {
          {
            std::lock_guard lock(mutex_);
            requests_.push_back(pending.substr(0, total));
          }
          pending.erase(0, total);
          if (answer_.empty()) continue;
          ::send(client, answer_.data(), static_cast<int>(answer_.size()), 0);
          if (close_after_) return;
          continue;
        }
      }
      if (!Readable(client)) continue;
      char buffer[4096];
      const int count = ::recv(client, buffer, sizeof buffer, 0);
      if (count <= 0) return;
      pending.append(buffer, static_cast<std::size_t>(count));
    }
  }

  static std::size_t BodyLength(const std::string& head) {
    const std::size_t at = head.find("\r\nContent-Length: ");
    return at == std::string::npos ? 0 : std::stoul(head.substr(at + 18));
  }

  LoopbackSocket listener_{true};
  const std::string answer_;
  const bool close_after_;
  std::atomic<bool> stop_ = false;
  std::atomic<int> connections_ = 0;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

std::string Answer(const std::string& status_line, const std::string& headers, const std::string& body) {
  return status_line + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" + body;
}

struct Exchange {
  std::int32_t status = 0;
  std::string headers;
  std::string body;
};

TEST(WinHttpTransportTest, SendsTheRequestAndReturnsStatusHeadersAndBody) {
  ScriptedServer server(Answer("HTTP/1.1 404 Not Found", "X-Reply: yes\r\n", "missing"));
  TWinHTTP connection("127.0.0.1", server.PortText(), false);
  connection.AddCoding(GzipCoding, 1024);
  Exchange got;
  got.status = connection.Execute("a/b?q=1", "POST", "X-Twice: 1\r\nX-Twice: 2", "payload", "text/plain",
                                  got.headers, got.body);

  EXPECT_EQ(got.status, 404);
  EXPECT_EQ(got.body, "missing");
  EXPECT_EQ(got.headers.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u) << got.headers;
  EXPECT_NE(got.headers.find("\r\nX-Reply: yes\r\n"), std::string::npos) << got.headers;
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string request = server.Requests()[0];
  EXPECT_EQ(request.rfind("POST /a/b?q=1 HTTP/1.1\r\n", 0), 0u) << request;
  for (const char* line : {"\r\nX-Twice: 1, 2\r\n", "\r\nContent-Type: text/plain\r\n", "\r\nAccept-Encoding: gzip\r\n",
                           "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows; TWinHTTP)\r\n",
                           "\r\nContent-Length: 7\r\n", "\r\n\r\npayload"}) {
    EXPECT_NE(request.find(line), std::string::npos) << line << " in " << request;
  }
}

TEST(WinHttpTransportTest, SendsBasicCredentialsAsAHeaderLine) {
  ScriptedServer server(Answer("HTTP/1.1 204 No Content", "", ""));
  TWinHTTP connection("127.0.0.1", server.PortText(), false);
  connection.AuthUser = "basic:ann";
  connection.AuthPassword = "secret";
  Exchange got;
  EXPECT_EQ(connection.Execute("", "GET", "", "", "", got.headers, got.body), 204);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].rfind("GET / HTTP/1.1\r\n", 0), 0u);
  EXPECT_NE(server.Requests()[0].find("\r\nAuthorization: basic YW5uOnNlY3JldA==\r\n"), std::string::npos)
      << server.Requests()[0];
}

TEST(WinHttpTransportTest, ReusesOneConnectionForItsRequests) {
  ScriptedServer server(Answer("HTTP/1.1 200 OK", "", "ok"));
  TWinHTTP connection("127.0.0.1", server.PortText(), false);
  Exchange got;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(connection.Execute("x", "GET", "", "", "", got.headers, got.body), 200);
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Connections(), 1);
}

TEST(WinHttpTransportTest, DecodesGzipAnswers) {
  const std::string text(20000, 'z');
  const std::string member = testing::ZlibGzip(text);
  struct Case {
    const char* name;
    std::string answer;
    bool close_after;
  } cases[] = {
      {"with a length", Answer("HTTP/1.1 200 OK", "Content-Encoding: gzip\r\n", member), false},
      {"up to the end of the connection",
       "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n" + member, true},
  };
  for (const Case& c : cases) {
    ScriptedServer server(c.answer, c.close_after);
    TWinHTTP connection("127.0.0.1", server.PortText(), false);
    connection.AddCoding(GzipCoding, 1024);
    Exchange got;
    EXPECT_EQ(connection.Execute("", "GET", "", "", "", got.headers, got.body), 200) << c.name;
    EXPECT_EQ(got.body, text) << c.name;
  }
}

TEST(WinHttpTransportTest, AServerThatCannotBeReachedRaisesEWinHTTP) {
  LoopbackSocket closed(false);
  TWinHTTP connection("127.0.0.1", closed.PortText(), false);
  Exchange got;
  try {
    connection.Execute("", "GET", "", "", "", got.headers, got.body);
    FAIL() << "no exception";
  } catch (const EWinHTTP& error) {
    EXPECT_EQ(error.Message(),
              "Unable to connect to 127.0.0.1:" + closed.PortText() + " - server may be down or unavailable");
  }
}

// Wine reports this stall as 10060 (the socket's timeout); it is the
// platform's timeout either way.
TEST(WinHttpTransportTest, AnAnswerThatNeverComesTimesOut) {
  ScriptedServer server("");
  TWinHTTP connection("127.0.0.1", server.PortText(), false);
  connection.ReceiveTimeout = 300;
  Exchange got;
  const Clock::time_point start = Clock::now();
  try {
    connection.Execute("", "GET", "", "", "", got.headers, got.body);
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), 12002) << error.Message();
    EXPECT_EQ(error.Message().rfind("System Error.  Code: 12002.\r\n", 0), 0u) << error.Message();
  }
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(WinHttpRestTest, FetchesAndRaisesForErrorStatuses) {
  const std::string json = "{\"a\": 1}";
  ScriptedServer found(Answer("HTTP/1.1 200 OK", "Content-Encoding: gzip\r\n", testing::ZlibGzip(json)));
  ScriptedServer refused(Answer("HTTP/1.1 503 Service Unavailable", "", "later"));
  TRESTClient client("http://127.0.0.1:");
  std::string response;
  client.Fetch(found.PortText() + "/v1", true, 5000, response);
  EXPECT_EQ(response, json);
  EXPECT_EQ(found.Requests().at(0).rfind("GET /v1 HTTP/1.1\r\n", 0), 0u);
  try {
    client.Fetch(refused.PortText() + "/v1", false, 5000, response);
    FAIL() << "no exception";
  } catch (const ERestClientException& error) {
    EXPECT_EQ(error.StatusCode(), 503);
    EXPECT_EQ(response, "later");
  }
}

// Through a file: the pipes of RunProgram read CR LF as a line end.
TEST(WinHttpFetchProgramTest, PrintsTheBodyByteForByte) {
  const std::string body = "line 1\nline 2\r\n";
  ScriptedServer server(Answer("HTTP/1.1 200 OK", "", body));
  testing::TempDir dir;
  const std::string command = "\"" + std::string(std::getenv("TARN_BIN_DIR")) + "/tarn-fetch.exe\" http://127.0.0.1:" +
                              server.PortText() + "/b > \"" + dir.Path("out") + "\"";
  // cmd /c drops the outermost pair of quotes.
  EXPECT_EQ(std::system(("\"" + command + "\"").c_str()), 0) << command;
  EXPECT_EQ(testing::ReadFile(dir.Path("out")), body);
}

// nginx on the Linux side, started by the fixture nginx-fixture with a
// self-signed certificate; its directory comes in TARN_NGINX_DIR.
TEST(WinHttpNginxTest, AcceptsASelfSignedCertificateAndDecodesGzip) {
  const char* dir = std::getenv("TARN_NGINX_DIR");
  ASSERT_NE(dir, nullptr) << "run through ctest, whose fixture starts nginx";
  std::string port;
  std::ifstream(std::string(dir) + "/port") >> port;
  std::ifstream served(std::string(dir) + "/www/hello.json", std::ios::binary);
  const std::string json((std::istreambuf_iterator<char>(served)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(port.empty());
  TRESTClient client("https://127.0.0.1:" + port);
  std::string response;
  client.Fetch("/hello.json", true, 5000, response);
  EXPECT_EQ(response, json);
  EXPECT_NE(client.LastHeaders().find("\r\nContent-Encoding: gzip\r\n"), std::string::npos) << client.LastHeaders();
}

}  // namespace
}  // namespace tarn
