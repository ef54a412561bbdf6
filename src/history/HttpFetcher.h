#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/Feedback.h"
#include "history/SocketApi.h"

namespace kitebar {

// A small blocking HTTP/1.0 client for the result site: one GET request per
// connection, read until the server closes it. The whole response (status
// line, headers and body) is kept as one text; redirects and encodings are
// not handled. Per page: Connect, then Fetch, then the caller takes the
// response.
class HttpFetcher {
 public:
  // The response holds at most this many characters less one (the C-style
  // terminator's place is kept so that pages are cut where they always were).
  static constexpr std::size_t kResponseCapacity = 65536;
  static constexpr std::size_t kChunkSize = 4068;
  static constexpr std::size_t kMaxHostLength = 255;
  static constexpr std::size_t kMaxPathLength = 255;
  static constexpr std::size_t kMaxPortTextLength = 7;
  static constexpr std::size_t kMaxRequestLength = 255;

  explicit HttpFetcher(Feedback& feedback, SocketApi& sockets = SocketApi::System());
  HttpFetcher(const HttpFetcher&) = delete;
  HttpFetcher& operator=(const HttpFetcher&) = delete;
  virtual ~HttpFetcher();

  // Opens a connection to `url` and sends the request. Shows a stop message
  // for an invalid URL, a socket that cannot be created and a host that
  // cannot be found; other failures are silent.
  bool Connect(std::string_view url);
  // Receives the response until the server closes the connection or the
  // deadline passes; true when its status is 200. Closes the connection.
  bool Fetch();
  void Close();

  // Fills host and path from `url` and returns the port, or -1 when the URL
  // is not accepted.
  int ParseUrl(std::string_view url);
  bool SendRequest();
  // Receives up to kChunkSize bytes and appends them to the response; false
  // when the peer closed the connection or the receive failed.
  bool ReceiveChunk();
  static bool IsStatusOk(std::string_view text);

  // The request text for the current host, path and port.
  std::string RequestText() const;

  // The received text, present from a successful Connect until it is taken
  // or a step fails.
  const std::optional<std::string>& response() const { return response_; }
  // Hands the response over and releases the buffer.
  std::optional<std::string> TakeResponse();

  const std::string& host() const { return host_; }
  const std::string& path() const { return path_; }
  int port() const { return port_; }
  int socket() const { return socket_; }

  // Deadline of Connect and Fetch, in whole seconds.
  int timeoutSeconds = 20;

 private:
  bool ConnectWithinTimeout(const Ipv4Endpoint& peer);
  bool WaitFor(short events, std::chrono::steady_clock::time_point deadline);
  void Append(std::string_view chunk);
  void Fail(std::string_view message);

  Feedback& feedback_;
  SocketApi& sockets_;
  // -1 when no connection is open (0 would be a valid descriptor here).
  int socket_ = -1;
  std::optional<std::string> response_;
  // Set once a chunk did not fit or held a NUL: later chunks are dropped so
  // that the text stays the unbroken beginning of the response.
  bool responseCut_ = false;
  std::string host_;
  std::string path_;
  int port_ = 80;
};

}  // namespace kitebar
