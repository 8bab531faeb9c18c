// tarn-fetch run as a program against a loopback server.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "net/fetch_program.h"
#include "net/gzip_member.h"
#include "net/loopback_server.h"

namespace tarn {
namespace {

using testing::RunFetch;

class TarnFetchTest : public ::testing::Test {
 protected:
  testing::LoopbackServer server_{[](const testing::HttpRequest& request, testing::HttpResponse& response) {
    if (request.path == "/missing") {
      response.status = 404;
      response.SetContent("no such item", "text/plain");
    } else if (request.path == "/gzip" && request.Header("Accept-Encoding") == "gzip") {
      response.Set("Content-Encoding", "gzip");
      response.SetContent(testing::ZlibGzip("{\"packed\":1}"), "application/json");
    } else if (request.path.starts_with("/echo/")) {
      response.SetContent(request.target, "text/plain");
    } else if (request.path == "/lines") {
      response.SetContent("line 1\nline 2\r\n", "text/plain");
    } else {
      response.SetContent("{\"plain\":1}", "application/json");
    }
  }};
};

// Each command line: the exit status, what went to standard output and what
// to standard error.
TEST_F(TarnFetchTest, PrintsTheBodyOrReportsTheFailureOnStandardError) {
  // A byte every 100 ms: the timeout, which bounds each wait, never runs out.
  testing::RawServer slow("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                          {.bytes = 0, .every = std::chrono::milliseconds(100), .then_forever = "1\r\nx\r\n"});
  testing::ClosedPort closed;
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output, errors;
  };
  const Case cases[] = {
      {{server_.Url("/x")}, 0, "{\"plain\":1}", ""},
      {{server_.Url("/gzip"), "--gzip", "--timeout", "5000"}, 0, "{\"packed\":1}", ""},
      // Byte for byte: line ends are not translated.
      {{server_.Url("/lines")}, 0, "line 1\nline 2\r\n", ""},
      // "é" as a terminal types it (C3 A9 on a UTF-8 terminal, the same
      // character on a Windows command line) goes on the wire escaped as
      // UTF-8, as the platform escapes a path.
      {{server_.Url("/echo/caf\xC3\xA9")}, 0, "/echo/caf%C3%A9", ""},
      // --max-time bounds the whole call, --max-size the body.
      {{"http://127.0.0.1:" + slow.PortText() + "/", "--timeout", "1000", "--max-time", "1000"}, 1, "",
       "EOSError: System Error.  Code: 12002.\nThe operation timed out\n"},
      {{server_.Url("/x"), "--max-size", "5"}, 1, "", "ECrtSocket: Answer body exceeds 5 bytes\n"},
      {{server_.Url("/x"), "--max-size", "11", "--max-time", "0", "--timeout", "0"}, 0, "{\"plain\":1}", ""},
      {{server_.Url("/missing")}, 1, "", "ERestClientException: HTTP/1.1 404 Not Found:no such item\n"},
      {{"http://127.0.0.1:" + closed.PortText() + "/"}, 1, "",
       "EWinHTTP: Unable to connect to 127.0.0.1:" + closed.PortText() + " - server may be down or unavailable\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    testing::ProgramRun outcome = RunFetch(c.arguments);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.output, c.output);
    EXPECT_EQ(outcome.errors, c.errors);
  }
}

TEST_F(TarnFetchTest, RefusesAWrongCommandLine) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"--gzip"}, {"http://h.invalid/", "--timeout"}, {"http://h.invalid/", "--timeout", "5s"}, {"a", "b"},
      {"http://h.invalid/", "--max-time", "-1"}, {"http://h.invalid/", "--max-size"}, {"--max-size", "1k", "a"},
      // Beyond what the platform's 32-bit limits take.
      {"http://h.invalid/", "--timeout", "2147483648"}, {"http://h.invalid/", "--timeout", "4294967295"},
      {"http://h.invalid/", "--max-size", "2147483648"},
      // Accepting any certificate and naming whom to trust contradict.
      {"https://h.invalid/", "--cacert"}, {"https://h.invalid/", "--insecure", "--cacert", "ca.pem"}};
  for (const std::vector<std::string>& arguments : wrong) {
    testing::ProgramRun outcome = RunFetch(arguments);
    EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_EQ(outcome.errors,
              "usage: tarn-fetch URL [--gzip] [--timeout MS] [--max-time MS] [--max-size BYTES]\n"
              "                  [--insecure | --cacert FILE]\n")
        << ::testing::PrintToString(arguments);
  }
}

#ifndef _WIN32
TEST_F(TarnFetchTest, OutputThatCannotBeWrittenFails) {
  testing::ProgramRun outcome = testing::RunProgram(
      "/bin/sh", {"-c", "exec \"$0\" \"$1\" >/dev/full", testing::FetchProgram(), server_.Url("/x")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.output, "tarn-fetch: cannot write the output: No space left on device\n");
}

TEST(TarnFetchPosixTest, ReportsMemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
  testing::RawServer endless("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                             {.then_forever = "10000\r\n" + std::string(0x10000, 'x') + "\r\n"});
  // 600 MB of address space hold the program but not the body.
  testing::ProgramRun outcome = testing::RunProgram(
      "/bin/sh", {"-c", "ulimit -v 600000 && exec \"$0\" \"$1\"", testing::FetchProgram(),
                  "http://127.0.0.1:" + endless.PortText() + "/"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.output, "EOutOfMemory: Out of memory\n");
}
#endif

}  // namespace
}  // namespace tarn
