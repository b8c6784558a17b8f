#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace velmora::testing {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool SendAll(int connection, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = ::send(connection, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Reads more bytes into `buffer`; false when the peer closed or the socket was shut down.
bool ReadMore(int connection, std::string& buffer) {
  char chunk[16384];
  const ssize_t got = ::recv(connection, chunk, sizeof chunk, 0);
  if (got <= 0) return false;
  buffer.append(chunk, static_cast<std::size_t>(got));
  return true;
}

// The next request of the connection; false when the peer went away first.
bool ReadRequest(int connection, std::string& buffer, TLoopbackRequest& request) {
  std::size_t headerEnd;
  while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    if (!ReadMore(connection, buffer)) return false;
  }
  request = TLoopbackRequest{};
  const std::string head = buffer.substr(0, headerEnd);
  std::size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const std::size_t firstBlank = requestLine.find(' ');
  const std::size_t secondBlank = requestLine.find(' ', firstBlank + 1);
  request.Method = requestLine.substr(0, firstBlank);
  request.Target = requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
  while (lineEnd != std::string::npos) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    request.Headers.emplace_back(Lower(line.substr(0, colon)), value);
  }
  buffer.erase(0, headerEnd + 4);
  const std::size_t length = std::strtoul(request.Header("content-length").c_str(), nullptr, 10);
  while (buffer.size() < length) {
    if (!ReadMore(connection, buffer)) return false;
  }
  request.Body = buffer.substr(0, length);
  buffer.erase(0, length);
  return true;
}

}  // namespace

std::string TLoopbackRequest::Header(std::string_view lowerCaseName) const {
  for (const auto& [name, value] : Headers) {
    if (name == lowerCaseName) return value;
  }
  return {};
}

std::string TLoopbackRequest::Path() const { return Target.substr(0, Target.find('?')); }

std::string TLoopbackRequest::Query() const {
  const std::size_t mark = Target.find('?');
  return mark == std::string::npos ? std::string() : Target.substr(mark + 1);
}

TLoopbackHttpServer::TLoopbackHttpServer(THandler handler, int port) : Handler_(std::move(handler)), Port_(port) {
  Start();
}

TLoopbackHttpServer::~TLoopbackHttpServer() { Stop(); }

std::string TLoopbackHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(Port_) + std::string(path);
}

void TLoopbackHttpServer::Start() {
  if (Listener_ >= 0) return;
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener < 0) throw std::runtime_error("socket");
  const int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(Port_));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 64) != 0) {
    ::close(listener);
    throw std::runtime_error("cannot listen on loopback port " + std::to_string(Port_));
  }
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  Port_ = ntohs(address.sin_port);
  {
    const std::lock_guard guard(Lock_);
    Stopping_ = false;
  }
  Listener_ = listener;
  Acceptor_ = std::thread([this, listener] { AcceptLoop(listener); });
}

void TLoopbackHttpServer::Stop() {
  if (Listener_ < 0) return;
  std::list<std::thread> workers;
  {
    const std::lock_guard guard(Lock_);
    Stopping_ = true;
    ::shutdown(Listener_, SHUT_RDWR);
    for (const int connection : Connections_) ::shutdown(connection, SHUT_RDWR);
  }
  Changed_.notify_all();
  Acceptor_.join();
  ::close(Listener_);
  Listener_ = -1;
  {
    const std::lock_guard guard(Lock_);
    workers.swap(Workers_);
  }
  for (std::thread& worker : workers) worker.join();
}

void TLoopbackHttpServer::AcceptLoop(int listener) {
  for (;;) {
    const int connection = ::accept(listener, nullptr, nullptr);
    if (connection < 0) return;
    const std::lock_guard guard(Lock_);
    if (Stopping_) {
      ::close(connection);
      return;
    }
    Connections_.insert(connection);
    Workers_.emplace_back([this, connection] { Serve(connection); });
  }
}

bool TLoopbackHttpServer::Pause(std::chrono::milliseconds delay) {
  std::unique_lock guard(Lock_);
  return !Changed_.wait_for(guard, delay, [&] { return Stopping_; });
}

void TLoopbackHttpServer::Serve(int connection) {
  std::string buffer;
  TLoopbackRequest request;
  while (ReadRequest(connection, buffer, request)) {
    {
      const std::lock_guard guard(Lock_);
      Requests_.push_back(request);
    }
    Changed_.notify_all();

    const TLoopbackReply reply = Handler_(request);
    if (reply.Delay.count() > 0 && !Pause(reply.Delay)) break;
    if (reply.Kind == TLoopbackReply::TKind::DropConnection) break;
    if (reply.Kind == TLoopbackReply::TKind::NotHttp) {
      SendAll(connection, "this is not an answer\r\n\r\n");
      break;
    }
    const std::string head = "HTTP/1.1 " + std::to_string(reply.Status) + " Status\r\nContent-Type: " +
                             reply.ContentType + "\r\nContent-Length: " + std::to_string(reply.Body.size()) + "\r\n\r\n";
    if (!SendAll(connection, head + reply.Body)) break;
    if (Lower(request.Header("connection")) == "close") break;
  }
  const std::lock_guard guard(Lock_);
  Connections_.erase(connection);
  ::close(connection);
}

std::vector<TLoopbackRequest> TLoopbackHttpServer::Requests() const {
  const std::lock_guard guard(Lock_);
  return Requests_;
}

std::size_t TLoopbackHttpServer::RequestCount() const {
  const std::lock_guard guard(Lock_);
  return Requests_.size();
}

void TLoopbackHttpServer::ClearRequests() {
  const std::lock_guard guard(Lock_);
  Requests_.clear();
}

bool TLoopbackHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock guard(Lock_);
  return Changed_.wait_for(guard, timeout, [&] { return Requests_.size() >= count; });
}

}  // namespace velmora::testing
