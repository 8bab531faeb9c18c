// nginx started for a test on two free loopback ports: plain HTTP and HTTPS
// with a self-signed certificate made here with openssl. It serves the
// files the test writes under Root(), with gzip on for JSON and text, and
// asks for Basic authentication (user alice, password "open sesame") under
// /private/. It runs in the foreground as this process's child, with its
// configuration, logs, pid file and temporary paths in its own directory,
// and is stopped when the object goes.
#pragma once

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "net/loopback_server.h"
#include "test_support.h"

namespace tarn::testing {

class NginxServer {
 public:
  NginxServer() {
    std::filesystem::create_directories(dir_.Path("www/private"));
    if (!Run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=tarn-test"
             " -keyout '" + dir_.Path("key.pem") + "' -out '" + dir_.Path("cert.pem") + "' 2>/dev/null")) {
      problem_ = "openssl could not make a certificate";
      return;
    }
    std::string hash = Output("openssl passwd -apr1 'open sesame'");
    if (hash.empty()) {
      problem_ = "openssl could not hash a password";
      return;
    }
    WriteFile(dir_.Path("htpasswd"), "alice:" + hash);
    {
      LoopbackSocket http, https;
      http_port_ = http.Port();
      https_port_ = https.Port();
    }
    WriteFile(dir_.Path("nginx.conf"), Configuration());
    Start();
  }

  ~NginxServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  bool Running() const { return problem_.empty(); }
  // Why it is not running, with nginx's error log.
  std::string Problem() const { return problem_ + "\n" + ReadFile(dir_.Path("error.log")); }

  std::string Root() const { return dir_.Path("www"); }
  int HttpPort() const { return http_port_; }
  int HttpsPort() const { return https_port_; }
  std::string AccessLog() const { return ReadFile(dir_.Path("access.log")); }

 private:
  static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

  static std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
      char buffer[256];
      while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
      if (::pclose(pipe) != 0) text.clear();
    }
    return text;
  }

  std::string Configuration() const {
    const std::string dir = dir_.Dir();
    std::string conf;
    // The worker must read the test's private directory.
    if (::geteuid() == 0) conf += "user root;\n";
    conf += "daemon off;\nworker_processes 1;\npid " + dir + "nginx.pid;\nerror_log " + dir + "error.log info;\n";
    conf += "events { worker_connections 64; }\n";
    conf += "http {\n  access_log " + dir + "access.log;\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
      conf += std::string("  ") + temp + "_temp_path " + dir + temp + ";\n";
    }
    conf += "  types { application/json json; text/plain txt; }\n  default_type application/octet-stream;\n";
    conf += "  gzip on;\n  gzip_types application/json text/plain;\n  gzip_min_length 1;\n";
    conf += "  server {\n";
    conf += "    listen 127.0.0.1:" + std::to_string(http_port_) + ";\n";
    conf += "    listen 127.0.0.1:" + std::to_string(https_port_) + " ssl;\n";
    conf += "    ssl_certificate " + dir + "cert.pem;\n    ssl_certificate_key " + dir + "key.pem;\n";
    conf += "    root " + dir + "www;\n";
    conf += "    location /private/ {\n      auth_basic \"tarn\";\n      auth_basic_user_file " + dir +
            "htpasswd;\n    }\n";
    conf += "  }\n}\n";
    return conf;
  }

  void Start() {
    const std::string prefix = dir_.Dir();
    const std::string conf = dir_.Path("nginx.conf");
    const std::string error_log = dir_.Path("error.log");
    pid_ = ::fork();
    if (pid_ == 0) {
      // Debian puts nginx in /usr/sbin, which a plain user's PATH may lack.
      for (const char* program : {"nginx", "/usr/sbin/nginx"}) {
        ::execlp(program, "nginx", "-p", prefix.c_str(), "-c", conf.c_str(), "-e", error_log.c_str(),
                 static_cast<char*>(nullptr));
      }
      ::_exit(127);
    }
    if (pid_ < 0) {
      problem_ = "fork failed";
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        problem_ = "nginx ended at start-up";
        return;
      }
      if (Accepts(http_port_) && Accepts(https_port_)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    problem_ = "nginx did not listen within 10 s";
  }

  static bool Accepts(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
  }

  TempDir dir_;
  std::string problem_;
  int http_port_ = 0;
  int https_port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace tarn::testing
