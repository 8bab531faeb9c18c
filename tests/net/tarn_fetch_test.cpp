// tarn-fetch run as a program against a loopback server.
#include <gtest/gtest.h>

#include <chrono>

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

TEST_F(TarnFetchTest, PrintsTheBody) {
  testing::ProgramRun outcome = RunFetch({server_.Url("/x")});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, "{\"plain\":1}");
  EXPECT_EQ(outcome.errors, "");

  outcome = RunFetch({server_.Url("/gzip"), "--gzip", "--timeout", "5000"});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, "{\"packed\":1}");

  // Byte for byte: line ends are not translated.
  outcome = RunFetch({server_.Url("/lines")});
  EXPECT_EQ(outcome.output, "line 1\nline 2\r\n");
}

TEST_F(TarnFetchTest, TakesTheAddressAsTheTerminalTypedIt) {
  // "é" as a terminal types it (C3 A9 on a UTF-8 terminal, the same
  // character on a Windows command line) goes on the wire escaped as UTF-8,
  // as the platform escapes a path.
  testing::ProgramRun outcome = RunFetch({server_.Url("/echo/caf\xC3\xA9")});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, "/echo/caf%C3%A9");
}

TEST_F(TarnFetchTest, BoundsTheWholeCallAndTheBody) {
  // A byte every 100 ms: the timeout, which bounds each wait, never runs out.
  testing::RawServer slow("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                          {.bytes = 0, .every = std::chrono::milliseconds(100), .then_forever = "1\r\nx\r\n"});
  const std::string url = "http://127.0.0.1:" + slow.PortText() + "/";
  testing::ProgramRun outcome = RunFetch({url, "--timeout", "1000", "--max-time", "1000"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "EOSError: System Error.  Code: 12002.\\r\\nThe operation timed out\n");

  outcome = RunFetch({server_.Url("/x"), "--max-size", "5"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "ECrtSocket: Answer body exceeds 5 bytes\n");
  outcome = RunFetch({server_.Url("/x"), "--max-size", "11", "--max-time", "0", "--timeout", "0"});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, "{\"plain\":1}");
}

TEST_F(TarnFetchTest, ReportsFailuresOnStandardError) {
  testing::ProgramRun outcome = RunFetch({server_.Url("/missing")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.output, "");
  EXPECT_EQ(outcome.errors, "ERestClientException: HTTP/1.1 404 Not Found:no such item\n");

  testing::ClosedPort closed;
  outcome = RunFetch({"http://127.0.0.1:" + closed.PortText() + "/"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "EWinHTTP: Unable to connect to 127.0.0.1:" + std::to_string(closed.Port()) +
                             " - server may be down or unavailable\n");
}

TEST_F(TarnFetchTest, RefusesAWrongCommandLine) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"--gzip"}, {"http://h.invalid/", "--timeout"}, {"http://h.invalid/", "--timeout", "5s"}, {"a", "b"},
      {"http://h.invalid/", "--max-time", "-1"}, {"http://h.invalid/", "--max-size"}, {"--max-size", "1k", "a"},
      // Beyond what the platform's 32-bit limits take.
      {"http://h.invalid/", "--timeout", "2147483648"}, {"http://h.invalid/", "--timeout", "4294967295"},
      {"http://h.invalid/", "--max-size", "2147483648"}};
  for (const std::vector<std::string>& arguments : wrong) {
    testing::ProgramRun outcome = RunFetch(arguments);
    EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_EQ(outcome.errors, "usage: tarn-fetch URL [--gzip] [--timeout MS] [--max-time MS] [--max-size BYTES]\n")
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
