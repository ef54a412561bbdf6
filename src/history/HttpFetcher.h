#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/Feedback.h"
#include "common/Status.h"
#include "history/HttpResponseBody.h"
#include "history/SocketApi.h"

namespace kitebar {

// A small blocking HTTP/1.0 client for the result site: one GET request per
// connection, read until the server closes it. The whole response (status
// line, headers and body) is kept as one text, with a chunked body decoded;
// redirects and content encodings are not handled. A response that did not
// arrive whole (a reset, the deadline, a body shorter than its
// Content-Length, a NUL byte) fails the fetch. Per page: Connect, then
// Fetch, then the caller takes the response.
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

  // Where the last Connect or Fetch failed: at the URL (nothing was sent), on
  // the way to the server, or in the server's answer.
  enum class FailureKind { kNone, kAddress, kNetwork, kAnswer };

  explicit HttpFetcher(Feedback& feedback, SocketApi& sockets = SocketApi::System());
  HttpFetcher(const HttpFetcher&) = delete;
  HttpFetcher& operator=(const HttpFetcher&) = delete;
  virtual ~HttpFetcher();

  // Opens a connection to `url` and sends the request. Shows a stop message
  // for an invalid URL ("URLが不正です。" and why), a socket that cannot be
  // created and a host that cannot be found; other failures are silent.
  bool Connect(std::string_view url);
  // Receives the response until the server closes the connection, the
  // deadline passes or the buffer is full; true when it arrived whole (or
  // filled the buffer) and its status is 200. Closes the connection.
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
  // Whether the last successful fetch stopped at the buffer's capacity: its
  // text is then only the beginning of the page.
  bool responseCut() const { return responseCut_; }
  // Why the last Connect or Fetch failed, in Japanese, for the caller's
  // message.
  const std::string& failure() const { return failure_; }
  FailureKind failureKind() const { return failureKind_; }
  // The status that the server answered instead of 200 ("404 Not Found"),
  // when that was the failure.
  const std::string& answeredStatus() const { return answeredStatus_; }

  const std::string& host() const { return host_; }
  const std::string& path() const { return path_; }
  int port() const { return port_; }
  int socket() const { return socket_; }

  // Deadline of Connect and Fetch, in whole seconds.
  int timeoutSeconds = 20;

 private:
  // Fills host, path and port from `url`, or says why it is not accepted.
  Result<int> ReadUrl(std::string_view url);
  void ClearFailure();
  bool ConnectWithinTimeout(const Ipv4Endpoint& peer);
  bool WaitFor(short events, std::chrono::steady_clock::time_point deadline);
  void Append(std::string_view chunk);
  void Fail(FailureKind kind, std::string_view message);
  bool FailFetch(FailureKind kind, std::string reason);
  bool FinishFetch(ResponseEnd end, const std::string& interruption);

  Feedback& feedback_;
  SocketApi& sockets_;
  // -1 when no connection is open (0 would be a valid descriptor here).
  int socket_ = -1;
  std::optional<std::string> response_;
  // Set once a chunk did not fit: the receipt ends there, so that the text
  // is the unbroken beginning of the response.
  bool responseCut_ = false;
  bool nulReceived_ = false;
  bool receiveFailed_ = false;
  std::string failure_;
  FailureKind failureKind_ = FailureKind::kNone;
  std::string answeredStatus_;
  std::string host_;
  std::string path_;
  int port_ = 80;
};

}  // namespace kitebar
