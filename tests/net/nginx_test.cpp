// The transport and the REST client against a real web server.
#include <gtest/gtest.h>

#include "net/fetch_program.h"
#include "net/nginx_server.h"
#include "net/rest_client.h"
#include "net/win_http.h"

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
  testing::ProgramRun outcome = testing::RunFetch({Url("/fetched.json", true), "--gzip", "--timeout", "10000"});
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.output, text);
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
