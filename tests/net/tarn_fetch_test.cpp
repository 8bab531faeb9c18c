// tarn-fetch run as a program against a loopback server.
#include <gtest/gtest.h>

#include "net/fetch_program.h"
#include "net/gzip_member.h"
#include "net/loopback_server.h"

namespace tarn {
namespace {

using testing::Outcome;
using testing::RunFetch;

class TarnFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Http().Get(".*", [](const httplib::Request& request, httplib::Response& response) {
      if (request.path == "/missing") {
        response.status = 404;
        response.set_content("no such item", "text/plain");
      } else if (request.path == "/gzip" && request.get_header_value("Accept-Encoding") == "gzip") {
        response.set_header("Content-Encoding", "gzip");
        // Encoded here: a type that cpp-httplib does not compress again.
        response.set_content(testing::ZlibGzip("{\"packed\":1}"), "application/octet-stream");
      } else {
        response.set_content("{\"plain\":1}", "application/json");
      }
    });
    server_.Start();
  }

  testing::LoopbackServer server_;
};

TEST_F(TarnFetchTest, PrintsTheBody) {
  Outcome outcome = RunFetch(server_.Url("/x"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "{\"plain\":1}");
  EXPECT_EQ(outcome.err, "");

  outcome = RunFetch(server_.Url("/gzip") + " --gzip --timeout 5000");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "{\"packed\":1}");
}

TEST_F(TarnFetchTest, ReportsFailuresOnStandardError) {
  Outcome outcome = RunFetch(server_.Url("/missing"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "ERestClientException: HTTP/1.1 404 Not Found:no such item\n");

  testing::ClosedPort closed;
  outcome = RunFetch("http://127.0.0.1:" + std::to_string(closed.Port()) + "/");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "EWinHTTP: Unable to connect to 127.0.0.1:" + std::to_string(closed.Port()) +
                             " - server may be down or unavailable\n");
}

TEST_F(TarnFetchTest, RefusesAWrongCommandLine) {
  for (const char* arguments : {"", "--gzip", "http://h/ --timeout", "http://h/ --timeout 5s", "a b"}) {
    Outcome outcome = RunFetch(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments;
    EXPECT_EQ(outcome.err, "usage: tarn-fetch URL [--gzip] [--timeout MS]\n") << arguments;
  }
}

}  // namespace
}  // namespace tarn
