#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kitebar::test {

// Servers on 127.0.0.1 (an ephemeral port) for the HTTP client's tests. Every
// wait is bounded, so a test never hangs on a client that misbehaves.
inline constexpr int kServerWaitMilliseconds = 10000;

class LoopbackListener {
 public:
  explicit LoopbackListener(int backlog = 8)
      : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int reuse = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, backlog);
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;
  ~LoopbackListener() { ::close(fd_); }

  int port() const { return port_; }
  std::string Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }
  // The next connection, or -1 when none comes within `milliseconds`.
  int Accept(int milliseconds = kServerWaitMilliseconds) const {
    pollfd entry{fd_, POLLIN, 0};
    if (::poll(&entry, 1, milliseconds) != 1)
      return -1;
    return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  }

 private:
  int fd_;
  int port_ = 0;
};

// Reads what the client sends up to the blank line that ends its request.
inline std::string ReadRequest(int connection) {
  std::string request;
  char buffer[512];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 4096) {
    pollfd entry{connection, POLLIN, 0};
    if (::poll(&entry, 1, kServerWaitMilliseconds) != 1)
      break;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0)
      break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  return request;
}

inline void SendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0)
      return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

// Waits until the client closes its end (bounded).
inline void WaitForClientClose(int connection) {
  char buffer[256];
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kServerWaitMilliseconds);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd entry{connection, POLLIN, 0};
    if (::poll(&entry, 1, 100) == 1 && ::recv(connection, buffer, sizeof buffer, 0) <= 0)
      return;
  }
}

// How a hostile site ends an answer: an orderly close, a reset, or a body
// dripping on, a byte every 200 ms, until the client gives up (bounded).
enum class AnswerEnd { kClose, kReset, kDrip };

// One page of a hostile site: its whole answer as sent, and how it ends.
struct RawAnswer {
  std::string bytes;
  AnswerEnd end = AnswerEnd::kClose;
};

inline void AnswerRaw(int connection, const RawAnswer& answer) {
  SendAll(connection, answer.bytes);
  if (answer.end == AnswerEnd::kReset) {
    const linger abort{1, 0};  // the close sends a reset
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
  for (int drip = 0; answer.end == AnswerEnd::kDrip && drip < kServerWaitMilliseconds / 200 &&
                     ::send(connection, "x", 1, MSG_NOSIGNAL) == 1;
       ++drip) {
    pollfd entry{connection, POLLIN, 0};
    char buffer[256];
    if (::poll(&entry, 1, 200) == 1 && ::recv(connection, buffer, sizeof buffer, 0) <= 0)
      break;
  }
  ::close(connection);
}

// Serves one connection: reads the request, then answers `response` and
// closes, or (silent) keeps the connection open without a byte until the
// client gives up.
class ScriptedServer {
 public:
  enum class Mode { kAnswer, kSilent };

  explicit ScriptedServer(std::string response, Mode mode = Mode::kAnswer)
      : thread_([this, response = std::move(response), mode] { Serve(response, mode); }) {}
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  ~ScriptedServer() {
    if (thread_.joinable())
      thread_.join();
  }

  std::string Url(std::string_view path) const { return listener_.Url(path); }
  int port() const { return listener_.port(); }
  // The request received; waits for the connection to be served.
  std::string Request() {
    if (thread_.joinable())
      thread_.join();
    return request_;
  }

 private:
  void Serve(const std::string& response, Mode mode) {
    const int connection = listener_.Accept();
    if (connection < 0)
      return;
    request_ = ReadRequest(connection);
    if (mode == Mode::kAnswer) {
      SendAll(connection, response);
    } else {
      WaitForClientClose(connection);
    }
    ::close(connection);
  }

  LoopbackListener listener_;
  std::string request_;
  std::thread thread_;
};

// A static site: answers each request for a known path with status 200 and
// its bytes, any other with 404, until destroyed, each answer after `delay`
// (a slow site); a path in `raw` is answered as given there. Records the
// paths asked for.
class PageServer {
 public:
  explicit PageServer(std::map<std::string, std::string> pages,
                      std::chrono::milliseconds delay = std::chrono::milliseconds(0),
                      std::map<std::string, RawAnswer> raw = {})
      : pages_(std::move(pages)),
        raw_(std::move(raw)),
        delay_(delay),
        thread_([this] { Serve(); }) {}
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;
  ~PageServer() {
    stop_ = true;
    thread_.join();
  }

  std::string BaseUrl() const { return listener_.Url("/numbers/"); }
  std::vector<std::string> RequestedPaths() {
    const std::lock_guard lock(mutex_);
    return requested_;
  }

 private:
  void Serve() {
    while (!stop_) {
      const int connection = listener_.Accept(50);
      if (connection < 0)
        continue;
      const std::string request = ReadRequest(connection);
      const std::size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      {
        const std::lock_guard lock(mutex_);
        requested_.push_back(path);
      }
      std::this_thread::sleep_for(delay_);
      if (const auto answer = raw_.find(path); answer != raw_.end()) {
        AnswerRaw(connection, answer->second);
        continue;
      }
      const auto page = pages_.find(path);
      SendAll(connection,
              page == pages_.end()
                  ? std::string("HTTP/1.0 404 Not Found\r\nServer: test\r\n\r\nnot found")
                  : "HTTP/1.0 200 OK\r\nServer: test\r\n\r\n" + page->second);
      ::close(connection);
    }
  }

  LoopbackListener listener_;
  std::map<std::string, std::string> pages_;
  std::map<std::string, RawAnswer> raw_;
  std::chrono::milliseconds delay_;
  std::mutex mutex_;
  std::vector<std::string> requested_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace kitebar::test
