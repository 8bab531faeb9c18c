// The transport and the REST client against a real web server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/fetch_program.h"
#include "net/http_errors.h"
#include "net/nginx_server.h"
#include "net/rest_client.h"
#include "net/win_http.h"
#include "support/wine.h"

namespace tarn {
namespace {

class NginxTest : public ::testing::Test {
 protected:
  // CI installs nginx: a server that does not start is a failure, not a skip.
  void SetUp() override { ASSERT_EQ(nginx_.Problem(), ""); }

  static std::string Url(const std::string& path, bool secure = false) {
    return std::string(secure ? "https" : "http") + "://127.0.0.1:" +
           std::to_string(secure ? nginx_.HttpsPort() : nginx_.HttpPort()) + path;
  }
  static void Serve(const std::string& name, const std::string& content) {
    testing::WriteFile(nginx_.Root() + "/" + name, content);
  }

  static const testing::NginxServer nginx_;
};

const testing::NginxServer NginxTest::nginx_;

std::string Catalogue() {
  std::string text = "[";
  for (int i = 0; i < 2000; ++i) text += "{\"id\":" + std::to_string(i) + ",\"name\":\"item\"},";
  text.back() = ']';
  return text;
}

TEST_F(NginxTest, GzipAnswersAreDecoded) {
  const std::string text = Catalogue();
  Serve("catalogue.json", text);
  TRESTClient client("");
  std::string response;
  client.Fetch(Url("/catalogue.json"), true, 10000, response);
  EXPECT_EQ(response, text);
  EXPECT_NE(client.LastHeaders().find("\r\nContent-Encoding: gzip\r\n"), std::string::npos) << client.LastHeaders();

  // Without the coding registered the same file comes plain.
  TRESTClient plain("");
  plain.Fetch(Url("/catalogue.json"), false, 10000, response);
  EXPECT_EQ(response, text);
  EXPECT_EQ(plain.LastHeaders().find("Content-Encoding"), std::string::npos);
}

TEST_F(NginxTest, BasicAuthentication) {
  Serve("private/secret.txt", "behind the door");
  TWinHTTP connection("127.0.0.1", std::to_string(nginx_.HttpPort()), false);
  std::string headers, body;
  EXPECT_EQ(connection.Execute("private/secret.txt", "GET", "", "", "", headers, body), 401);
  connection.AuthUser = "basic:alice";
  connection.AuthPassword = "open sesame";
  EXPECT_EQ(connection.Execute("private/secret.txt", "GET", "", "", "", headers, body), 200);
  EXPECT_EQ(body, "behind the door");
  connection.AuthPassword = "open sesam";
  EXPECT_EQ(connection.Execute("private/secret.txt", "GET", "", "", "", headers, body), 401);
}

TEST_F(NginxTest, HttpsWithASelfSignedCertificate) {
  const std::string text = Catalogue();
  Serve("secure.json", text);
  TRESTClient client("https://127.0.0.1:" + std::to_string(nginx_.HttpsPort()) + "/");
  std::string response;
  client.Fetch("secure.json", true, 10000, response);
  EXPECT_EQ(response, text);
  EXPECT_EQ(client.LastStatus(), 200);
  client.Fetch("secure.json", false, 10000, response);
  EXPECT_EQ(response, text);
  try {
    client.Fetch("absent.json", false, 10000, response);
    ADD_FAILURE() << "no error";
  } catch (const ERestClientException& error) {
    EXPECT_EQ(error.StatusCode(), 404);
    EXPECT_TRUE(error.Message().starts_with("HTTP/1.1 404 Not Found:<html>")) << error.Message();
  }
}

TEST_F(NginxTest, TarnFetchGetsAGzipAnswerOverHttps) {
  const std::string text = Catalogue();
  Serve("fetched.json", text);
  testing::ProgramRun outcome =
      testing::RunFetch({Url("/fetched.json", true), "--gzip", "--timeout", "10000", "--insecure"});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, text);
}

// tarn-fetch checks the server's certificate unless told not to. Each run:
// the server's port, the options, the exit status and how standard error
// begins (the system may add its own words to the reason).
TEST_F(NginxTest, TarnFetchChecksTheServersCertificate) {
  Serve("checked.json", "{\"checked\":1}");
  const std::string authority = nginx_.AuthorityFile();
  const std::string wrong_name =
      "EOSError: System Error.  Code: 12038.\nThe host name in the certificate is invalid or does not match";
  // An unknown authority; Wine's WinHTTP finds it and then reports a
  // failure of the secure channel instead.
  const std::string refused = "EOSError: System Error.  Code: " +
                              std::string(testing::UnderWine()
                                              ? "12157.\nAn error occurred in the secure channel support"
                                              : "12045.\nThe certificate authority is invalid or incorrect");
#ifdef _WIN32
  const bool takes_ca_file = false;
#else
  const bool takes_ca_file = true;
#endif
  const std::string no_ca_file = std::string("ECrtSocket: ") + kNoCAFileMessage;
  struct Case {
    int port;
    std::vector<std::string> options;
    int status;
    std::string errors;
  };
  const Case cases[] = {
      // A self-signed certificate, issued to another name.
      {nginx_.HttpsPort(), {}, 1, refused},
      {nginx_.HttpsPort(), {"--insecure"}, 0, ""},
      {nginx_.HttpsPort(), {"--cacert", authority}, 1, takes_ca_file ? refused : no_ca_file},
      // Issued to 127.0.0.1 by an authority the system does not know.
      {nginx_.TrustedPort(), {}, 1, refused},
      {nginx_.TrustedPort(), {"--cacert", authority}, takes_ca_file ? 0 : 1, takes_ca_file ? "" : no_ca_file},
      // Issued to another name by that authority.
      {nginx_.WrongNamePort(), {"--cacert", authority}, 1, takes_ca_file ? wrong_name : no_ca_file},
      {nginx_.WrongNamePort(), {"--insecure"}, 0, ""},
      {nginx_.TrustedPort(), {"--cacert", "no-such-authority.pem"}, 1, "tarn-fetch: no-such-authority.pem: "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"https://127.0.0.1:" + std::to_string(c.port) + "/checked.json"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(::testing::PrintToString(arguments));
    testing::ProgramRun outcome = testing::RunFetch(arguments);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.output, c.status == 0 ? "{\"checked\":1}" : "");
    EXPECT_TRUE(outcome.errors.starts_with(c.errors)) << outcome.errors;
    EXPECT_EQ(outcome.errors.empty(), c.errors.empty()) << outcome.errors;
  }
}

// The library accepts any certificate unless asked to check it; a
// connection kept from requests that did not check serves none that does.
TEST_F(NginxTest, TheTransportChecksCertificatesWhenAsked) {
  TWinHTTP connection("127.0.0.1", std::to_string(nginx_.HttpsPort()), true);
  std::string headers, body;
  for (bool check : {false, true, false}) {
    SCOPED_TRACE(check);
    connection.CheckCertificate = check;
    if (check && !testing::UnderWine()) {
      EXPECT_THROW(connection.Execute("absent.json", "GET", "", "", "", headers, body), EOSError);
    } else {
      // Wine's WinHTTP keeps connections for the whole process, not for
      // each session, and does not check a kept one's certificate again.
      EXPECT_EQ(connection.Execute("absent.json", "GET", "", "", "", headers, body), 404);
    }
  }
}

TEST_F(NginxTest, PlainHttpToTheTlsPortFails) {
  TWinHTTP connection("127.0.0.1", std::to_string(nginx_.HttpsPort()), false);
  std::string headers, body;
  // nginx answers a plain request on its TLS port with 400.
  EXPECT_EQ(connection.Execute("", "GET", "", "", "", headers, body), 400);
  TWinHTTP tls_to_plain("127.0.0.1", std::to_string(nginx_.HttpPort()), true);
  EXPECT_THROW(tls_to_plain.Execute("", "GET", "", "", "", headers, body), EOSError);
}

}  // namespace
}  // namespace tarn
