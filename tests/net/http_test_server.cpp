#include "net/http_test_server.h"

#include <cstdio>

#include "net/header_lines.h"
#include "platform/portable/ascii_text.h"

namespace tarn::testing {

namespace {

constexpr int kPollMs = 20;

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    default: return "Status";
  }
}

// The head of the request: its line and its fields.
bool ParseHead(std::string_view head, HttpRequest& request) {
  std::size_t line_end = head.find("\r\n");
  const std::string_view line = head.substr(0, line_end);
  const std::size_t space = line.find(' ');
  const std::size_t second = line.find(' ', space + 1);
  if (space == std::string_view::npos || second == std::string_view::npos) return false;
  request.method = line.substr(0, space);
  request.target = line.substr(space + 1, second - space - 1);
  request.path = request.target.substr(0, request.target.find('?'));
  while (line_end != std::string_view::npos) {
    const std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    const std::string_view field = head.substr(start, line_end - start);
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos) return false;
    request.headers.emplace_back(TrimBlanks(field.substr(0, colon)), TrimBlanks(field.substr(colon + 1)));
  }
  return true;
}

std::string Answer(const HttpResponse& response) {
  std::string text = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
  for (const auto& [name, value] : response.headers) text += name + ": " + value + "\r\n";
  if (response.chunked) {
    text += "Transfer-Encoding: chunked\r\n\r\n";
    char size[16];
    for (std::size_t at = 0; at < response.body.size(); at += 3000) {
      const std::string_view chunk = std::string_view(response.body).substr(at, 3000);
      std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
      text.append(size).append(chunk).append("\r\n");
    }
    return text + "0\r\n\r\n";
  }
  if (response.status != 204) text += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  return text + "\r\n" + response.body;
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [field, value] : headers) {
    if (SameAsciiText(field, name)) return value;
  }
  return "";
}

std::size_t HttpRequest::Count(std::string_view name) const {
  std::size_t count = 0;
  for (const auto& field : headers) count += SameAsciiText(field.first, name) ? 1 : 0;
  return count;
}

LoopbackServer::LoopbackServer(HttpHandler handler) : handler_(std::move(handler)) {
  listener_.Listen(64);
  acceptor_ = std::thread([this] { Accept(); });
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
}

std::size_t LoopbackServer::Connections() {
  std::lock_guard lock(mutex_);
  return client_ports_.size();
}

void LoopbackServer::Accept() {
  while (!stop_) {
    if (!listener_.Ready(kPollMs)) continue;
    auto client = std::make_shared<LoopbackSocket>(listener_.Accept());
    if (!client->Valid()) continue;
    std::lock_guard lock(mutex_);
    client_ports_.insert(client->PeerPort());
    connections_.emplace_back([this, client] { Serve(client); });
  }
}

void LoopbackServer::Serve(std::shared_ptr<LoopbackSocket> client) {
  std::string pending;
  for (HttpRequest request; Read(*client, pending, request); request = HttpRequest()) {
    HttpResponse response;
    handler_(request, response);
    client->Send(Answer(response));
    if (SameAsciiText(request.Header("Connection"), "close")) break;
  }
  client->Shutdown();
}

bool LoopbackServer::Read(const LoopbackSocket& client, std::string& pending, HttpRequest& request) {
  constexpr std::size_t kUnknown = std::string::npos;
  std::size_t body_start = kUnknown;
  std::size_t total = kUnknown;
  while (total == kUnknown || pending.size() < total) {
    const std::size_t head_end = total == kUnknown ? pending.find("\r\n\r\n") : kUnknown;
    if (head_end != kUnknown) {
      if (!ParseHead(std::string_view(pending).substr(0, head_end), request)) return false;
      body_start = head_end + 4;
      const std::string length = request.Header("Content-Length");
      total = body_start + (length.empty() ? 0 : std::stoul(length));
      continue;
    }
    // Not a request (a TLS handshake, say): the connection is closed.
    if (!pending.empty() && (pending[0] < 'A' || pending[0] > 'Z')) return false;
    if (stop_) return false;
    if (!client.Ready(kPollMs)) continue;
    char buffer[16384];
    const std::size_t got = client.Receive(buffer, sizeof buffer);
    if (got == 0) return false;
    pending.append(buffer, got);
  }
  request.body = pending.substr(body_start, total - body_start);
  pending.erase(0, total);
  return true;
}

}  // namespace tarn::testing
