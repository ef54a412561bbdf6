// Feeds an arbitrary response to the HTTP client through its socket seam, cut
// into chunks of sizes the input chooses and mixed with interrupted calls,
// empty wake-ups and errors: the response kept begins with the status line
// and headers as they arrived, is never longer than what arrived nor 65536
// characters or more, holds no NUL, and a fetch succeeds only when its status
// test passes. The URL reader is fed the same bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "common/Feedback.h"
#include "history/HttpFetcher.h"

namespace {

using kitebar::HttpFetcher;
using kitebar::fuzz::Require;

// A socket whose receives hand out `stream` piece by piece. The plan bytes
// decide each call: the size of the next piece, or an interruption, a wake-up
// without data, or a failure that ends the connection.
class ScriptedSockets final : public kitebar::SocketApi {
 public:
  static constexpr int kFd = 1000;

  ScriptedSockets(std::string plan, std::string stream)
      : plan_(std::move(plan)), stream_(std::move(stream)) {}

  int Socket() override { return kFd; }
  int Connect(int, const sockaddr_in&) override { return 0; }
  int Poll(int, short events, int) override { return events; }
  ssize_t Send(int, std::span<const char> bytes) override {
    return static_cast<ssize_t>(bytes.size());
  }
  ssize_t Receive(int, std::span<char> buffer) override {
    if (failed_ || offset_ >= stream_.size())
      return 0;
    const unsigned step = NextPlanByte();
    if (step == 0) {
      errno = EINTR;
      return -1;
    }
    if (step == 1) {
      errno = EAGAIN;
      return -1;
    }
    if (step == 2) {
      failed_ = true;
      errno = ECONNRESET;
      return -1;
    }
    // Sizes up to the whole buffer, small ones often.
    const std::size_t wanted = step == 255 ? buffer.size() : step * 17;
    const std::size_t size = std::min({wanted, buffer.size(), stream_.size() - offset_});
    std::memcpy(buffer.data(), stream_.data() + offset_, size);
    offset_ += size;
    return static_cast<ssize_t>(size);
  }
  int PendingError(int) override { return 0; }
  void Shutdown(int) override {}
  void Close(int) override {}
  std::optional<in_addr> ResolveIpv4(const std::string&) override {
    return in_addr{htonl(INADDR_LOOPBACK)};
  }

  // What the client was given, in order.
  std::string_view delivered() const { return std::string_view(stream_).substr(0, offset_); }

 private:
  unsigned NextPlanByte() {
    // Once the plan is used up, every call hands out a whole piece, so that
    // a run always ends.
    if (planIndex_ >= plan_.size())
      return 255;
    return static_cast<unsigned char>(plan_[planIndex_++]);
  }

  std::string plan_;
  std::string stream_;
  std::size_t planIndex_ = 0;
  std::size_t offset_ = 0;
  bool failed_ = false;
};

void CheckUrl(std::string_view url) {
  kitebar::SilentFeedback feedback;
  ScriptedSockets sockets("", "");
  HttpFetcher fetcher(feedback, sockets);
  const int port = fetcher.ParseUrl(url);
  if (port < 0)
    return;
  Require(port <= 65535);
  Require(fetcher.host().size() <= HttpFetcher::kMaxHostLength);
  Require(fetcher.path().starts_with('/'));
  Require(fetcher.RequestText().size() <= HttpFetcher::kMaxRequestLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string plan = input.ConsumeRandomLengthString(64);
  const std::string stream = input.ConsumeRemainingBytesAsString();
  CheckUrl(stream);

  kitebar::SilentFeedback feedback;
  ScriptedSockets sockets(std::move(plan), stream);
  HttpFetcher fetcher(feedback, sockets);
  fetcher.timeoutSeconds = 2;
  Require(fetcher.Connect("http://127.0.0.1:8080/numbers/numtop01.html"));
  const bool fetched = fetcher.Fetch();
  Require(fetcher.socket() == -1);
  if (!fetched) {
    Require(!fetcher.response().has_value());
    return 0;
  }
  // The status line and headers are kept as they arrived; the body is what
  // arrived, or less once its transfer encoding is decoded.
  const std::string& response = *fetcher.response();
  Require(HttpFetcher::IsStatusOk(response));
  Require(response.size() < HttpFetcher::kResponseCapacity);
  Require(response.size() <= sockets.delivered().size());
  Require(response.find('\0') == std::string::npos);
  const std::size_t headersEnd = std::min(response.find("\n\n"), response.find("\r\n\r\n"));
  Require(sockets.delivered().starts_with(response.substr(0, headersEnd)));
  return 0;
}
