#include "net/rest_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "expect_error.h"
#include "net/gzip_member.h"
#include "net/loopback_server.h"
#include "net/transport_failures.h"
#include "support/wine.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LoopbackServer;

class RestClientTest : public ::testing::Test {
 protected:
  void Answer(const testing::HttpRequest& request, testing::HttpResponse& response) {
    ++requests_;
    last_target_ = request.target;
    last_accept_encoding_ = request.Header("Accept-Encoding");
    last_content_type_ = request.Header("Content-Type");
    last_extra_ = request.Header("X-Extra");
    // Every answer names another host as the place to go.
    response.Set("Location", "http://localhost:" + elsewhere_.PortText() + "/elsewhere");
    if (request.path == "/redirect") {
      response.status = 302;
      response.SetContent("moved", "text/plain");
    } else if (request.path == "/redirect-once") {
      response.status = requests_ == 1 ? 302 : 200;
      response.SetContent(requests_ == 1 ? "moved" : "{\"here\":true}", "application/json");
    } else if (request.path == "/missing") {
      response.status = 404;
      response.SetContent("no such item", "text/plain");
    } else if (request.path.starts_with("/status/")) {
      response.status = std::stoi(request.path.substr(8));
      response.SetContent("status body", "text/plain");
    } else if (request.path == "/gzip") {
      response.Set("Content-Encoding", "gzip");
      response.SetContent(testing::ZlibGzip("{\"compressed\":true}"), "application/json");
    } else {
      response.SetContent("{\"ok\":1}", "application/json");
    }
  }

  // Fetches `path` from the server, with a timeout of 10 seconds.
  void Fetch(const std::string& path, bool gzip = false) { client_.Fetch(server_.Url(path), gzip, 10000, response_); }

  ERestClientException Failure(const std::string& path) {
    try {
      Fetch(path);
    } catch (const ERestClientException& error) {
      return error;
    }
    ADD_FAILURE() << "no ERestClientException";
    return ERestClientException("", 0);
  }

  std::atomic<int> requests_ = 0;
  std::atomic<int> elsewhere_requests_ = 0;
  LoopbackServer elsewhere_{[this](const testing::HttpRequest&, testing::HttpResponse& response) {
    ++elsewhere_requests_;
    response.SetContent("elsewhere", "text/plain");
  }};
  std::string last_target_;
  std::string last_accept_encoding_;
  std::string last_content_type_;
  std::string last_extra_;
  std::string response_;
  LoopbackServer server_{[this](const testing::HttpRequest& request, testing::HttpResponse& response) {
    Answer(request, response);
  }};
  TRESTClient client_{""};
};

TEST_F(RestClientTest, JoinsTheBaseAddressAndTheCallsAddress) {
  Fetch("/x/y");
  EXPECT_EQ(last_target_, "/x/y");
  EXPECT_EQ(response_, "{\"ok\":1}");
  EXPECT_EQ(client_.LastStatus(), 200);
  EXPECT_TRUE(client_.LastHeaders().starts_with("HTTP/1.1 200 OK\r\n"));

  TRESTClient based(server_.Url("/api/"));
  EXPECT_EQ(based.BaseUrl(), server_.Url("/api/"));
  based.Fetch("items", false, 10000, response_);
  EXPECT_EQ(last_target_, "/api/items");
  EXPECT_EQ(based.ConnectionAddress().Path, "api/items");
}

TEST_F(RestClientTest, SendsAJsonGetWithTheExtraHeaders) {
  client_.ExtraHeaders = "X-Extra: one\r\nX-Extra: two";
  Fetch("/");
  EXPECT_EQ(last_content_type_, "application/json");
  EXPECT_EQ(last_extra_, "one, two");
  EXPECT_EQ(last_accept_encoding_, "");
}

TEST_F(RestClientTest, ReusesTheConnectionForTheSameServer) {
  EXPECT_EQ(client_.Connection(), nullptr);
  Fetch("/a");
  const TWinHTTP* first = client_.Connection();
  Fetch("/b");
  Failure("/missing");
  Fetch("/c", true);
  EXPECT_EQ(client_.Connection(), first);
  EXPECT_EQ(server_.Connections(), 1u);

  // Another port text, even naming the same port, makes a new connection.
  client_.Fetch("http://127.0.0.1:0" + server_.PortText() + "/d", false, 10000, response_);
  EXPECT_EQ(client_.ConnectionAddress().PortText, "0" + server_.PortText());
  // Wine's WinHTTP keeps one pool of server connections for all sessions.
  EXPECT_EQ(server_.Connections(), testing::UnderWine() ? 1u : 2u);
}

TEST_F(RestClientTest, AChangeOfPortOrSchemeMakesANewConnection) {
  LoopbackServer other([](const testing::HttpRequest&, testing::HttpResponse& response) {
    response.SetContent("other", "text/plain");
  });
  Fetch("/a");
  client_.Fetch(other.Url("/a"), false, 10000, response_);
  EXPECT_EQ(response_, "other");
  EXPECT_EQ(client_.ConnectionAddress().PortText, other.PortText());

  EXPECT_FALSE(client_.Connection()->Secure());
  // TLS towards a plain server fails, after the new connection was made.
  EXPECT_THROW(client_.Fetch("https://127.0.0.1:" + other.PortText() + "/a", false, 10000, response_), EOSError);
  EXPECT_TRUE(client_.Connection()->Secure());
  EXPECT_TRUE(client_.ConnectionAddress().Secure);
}

// Redirects name another host, which must never be asked: the client sees
// each redirect itself.
TEST_F(RestClientTest, RetriesATemporaryRedirectThreeTimes) {
  client_.ExtraHeaders = "Authorization: Bearer secret";
  const Clock::time_point start = Clock::now();
  ERestClientException error = Failure("/redirect");
  const auto waited = Clock::now() - start;
  EXPECT_EQ(requests_, 3);
  EXPECT_GE(waited, std::chrono::milliseconds(1500));
  EXPECT_EQ(error.StatusCode(), 302);
  EXPECT_EQ(error.Message(), "HTTP/1.1 302 Found:moved");
  EXPECT_EQ(client_.LastStatus(), 302);
  EXPECT_EQ(response_, "moved");
  EXPECT_EQ(last_target_, "/redirect");
  EXPECT_EQ(elsewhere_requests_, 0);
}

TEST_F(RestClientTest, OtherRedirectsRaiseAtOnce) {
  for (int status : {301, 307}) {
    requests_ = 0;
    ERestClientException error = Failure("/status/" + std::to_string(status));
    EXPECT_EQ(error.StatusCode(), status);
    EXPECT_EQ(requests_, 1) << status;
  }
  EXPECT_EQ(elsewhere_requests_, 0);
}

TEST_F(RestClientTest, ARedirectFollowedByAnAnswerReturnsTheAnswer) {
  const Clock::time_point start = Clock::now();
  Fetch("/redirect-once");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(requests_, 2);
  EXPECT_EQ(client_.LastStatus(), 200);
  EXPECT_EQ(response_, "{\"here\":true}");
  EXPECT_EQ(elsewhere_requests_, 0);
}

TEST_F(RestClientTest, MaxTimeBoundsTheWholeCallRedirectsIncluded) {
  client_.MaxTime = 700;
  const Clock::time_point start = Clock::now();
  EXPECT_THROW_MSG(Fetch("/redirect"), EOSError, testing::kTimedOut);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1400));
  EXPECT_EQ(requests_, 2);
  // Without the limit the next call runs as long as it needs.
  client_.MaxTime = 0;
  Fetch("/x");
  EXPECT_EQ(client_.Connection()->TotalTimeout, 0);
}

TEST_F(RestClientTest, MaxBodySizeBoundsTheAnswer) {
  client_.MaxBodySize = 5;
  EXPECT_THROW_MSG(Fetch("/x"), ECrtSocket, "Answer body exceeds 5 bytes");
  client_.MaxBodySize = 8;
  Fetch("/x");
  EXPECT_EQ(response_, "{\"ok\":1}");
}

TEST_F(RestClientTest, StatusesFrom300OnRaise) {
  Fetch("/status/299");
  EXPECT_EQ(client_.LastStatus(), 299);
  EXPECT_EQ(response_, "status body");

  ERestClientException error = Failure("/status/300");
  EXPECT_EQ(error.StatusCode(), 300);
  EXPECT_EQ(requests_, 2) << "only 302 is retried";

  error = Failure("/missing");
  EXPECT_EQ(error.Message(), "HTTP/1.1 404 Not Found:no such item");
  EXPECT_STREQ(error.ClassName(), "ERestClientException");
  EXPECT_EQ(error.StatusCode(), 404);
  EXPECT_EQ(client_.LastStatus(), 404);
  EXPECT_EQ(response_, "no such item");
  EXPECT_TRUE(client_.LastHeaders().starts_with("HTTP/1.1 404 Not Found\r\n"));
}

TEST_F(RestClientTest, TheStatusLineEndsAtTheFirstCarriageReturn) {
  EXPECT_EQ(StatusLine("HTTP/1.1 500 Oops\r\nServer: x\r\n\r\n"), "HTTP/1.1 500 Oops");
  EXPECT_EQ(StatusLine("HTTP/1.1 500 Oops\nServer: x\n"), "");
  EXPECT_EQ(StatusLine(""), "");
}

TEST_F(RestClientTest, AsksForAndDecodesGzipAnswers) {
  Fetch("/gzip", true);
  EXPECT_EQ(last_accept_encoding_, "gzip");
  EXPECT_EQ(response_, "{\"compressed\":true}");
  ASSERT_EQ(client_.Connection()->Codings().size(), 1u);
  EXPECT_EQ(client_.Connection()->Codings()[0].MinSize, 1024);
  // The coding stays registered on the connection.
  Fetch("/gzip");
  EXPECT_EQ(last_accept_encoding_, "gzip");
  EXPECT_EQ(response_, "{\"compressed\":true}");
}

TEST_F(RestClientTest, SplitsTheTimeout) {
  Fetch("/");
  const TWinHTTP& connection = *client_.Connection();
  EXPECT_EQ(connection.ResolveTimeout, 2000);
  EXPECT_EQ(connection.ConnectTimeout, 2000);
  EXPECT_EQ(connection.SendTimeout, 10000);
  EXPECT_EQ(connection.ReceiveTimeout, 10000);
}

TEST(RestClientFailureTest, TransportFailuresPassThroughAndKeepTheConnection) {
  testing::ClosedPort closed;
  TRESTClient client("http://127.0.0.1:" + std::to_string(closed.Port()));
  std::string response;
  EXPECT_THROW(client.Fetch("/x", false, 4, response), EWinHTTP);
  const TWinHTTP* connection = client.Connection();
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->ResolveTimeout, 0);
  EXPECT_EQ(connection->ConnectTimeout, 0);
  EXPECT_EQ(connection->SendTimeout, 4);
  EXPECT_EQ(connection->ReceiveTimeout, 4);
  EXPECT_EQ(client.LastStatus(), 0);
  EXPECT_THROW(client.Fetch("/y", false, 4, response), EWinHTTP);
  EXPECT_EQ(client.Connection(), connection);
}

}  // namespace
}  // namespace tarn
