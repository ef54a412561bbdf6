#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string>
#include <variant>

#include "RecordingFeedback.h"
#include "history/HttpFetcher.h"

namespace kitebar {
namespace {

// One result of a receive call: bytes, an errno value, or 0 (closed).
using Receipt = std::variant<std::string, int>;
constexpr int kClosed = 0;

// System calls without a network: every call answers from a script.
class ScriptedSockets final : public SocketApi {
 public:
  static constexpr int kFd = 1000;

  int Socket() override { return failSocket ? -1 : kFd; }
  int Connect(int, const sockaddr_in&) override { return 0; }
  int Poll(int, short events, int) override { return events; }
  ssize_t Send(int, std::span<const char> bytes) override {
    if (!sendErrors.empty()) {
      errno = sendErrors.front();
      sendErrors.pop_front();
      return -1;
    }
    const std::size_t taken = std::min(bytes.size(), sendPiece);
    sent.append(bytes.data(), taken);
    return static_cast<ssize_t>(taken);
  }
  ssize_t Receive(int, std::span<char> buffer) override {
    if (receipts.empty())
      return 0;
    Receipt next = std::move(receipts.front());
    receipts.pop_front();
    if (const int* error = std::get_if<int>(&next)) {
      if (*error == kClosed)
        return 0;
      errno = *error;
      return -1;
    }
    const std::string& bytes = std::get<std::string>(next);
    EXPECT_LE(bytes.size(), buffer.size());
    const std::size_t size = std::min(bytes.size(), buffer.size());
    std::memcpy(buffer.data(), bytes.data(), size);
    return static_cast<ssize_t>(size);
  }
  int PendingError(int) override { return 0; }
  void Shutdown(int) override {}
  void Close(int fd) override { closed.push_back(fd); }
  std::optional<in_addr> ResolveIpv4(const std::string&) override {
    if (failLookup)
      return std::nullopt;
    return in_addr{htonl(INADDR_LOOPBACK)};
  }

  bool failSocket = false;
  bool failLookup = false;
  std::deque<int> sendErrors;
  std::size_t sendPiece = 1 << 20;
  std::string sent;
  std::deque<Receipt> receipts;
  std::vector<int> closed;
};

const std::string kResponse =
    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><B>123</B></html>";

struct Outcome {
  bool connected = false;
  bool fetched = false;
  std::optional<std::string> response;
  int socketAfter = 0;
  std::vector<std::string> messages;
};

Outcome FetchWith(ScriptedSockets& sockets) {
  test::RecordingFeedback feedback;
  HttpFetcher fetcher(feedback, sockets);
  Outcome run;
  run.connected = fetcher.Connect("http://example.com/numbers/num0001.html");
  if (run.connected)
    run.fetched = fetcher.Fetch();
  run.response = fetcher.TakeResponse();
  run.socketAfter = fetcher.socket();
  run.messages = feedback.messages;
  return run;
}

class SplitReceiveTest : public testing::TestWithParam<std::size_t> {};

// However the response is split, and with every receive first interrupted,
// the text is the response.
TEST_P(SplitReceiveTest, JoinsThePieces) {
  ScriptedSockets sockets;
  for (std::size_t at = 0; at < kResponse.size(); at += GetParam()) {
    sockets.receipts.emplace_back(EINTR);
    sockets.receipts.emplace_back(kResponse.substr(at, GetParam()));
  }
  sockets.receipts.emplace_back(EAGAIN);  // a wake-up without data
  sockets.receipts.emplace_back(kClosed);
  const Outcome run = FetchWith(sockets);
  EXPECT_TRUE(run.fetched);
  EXPECT_EQ(run.response, kResponse);
}

INSTANTIATE_TEST_SUITE_P(PieceSizes, SplitReceiveTest, testing::Values(1, 2, 9, 11, 24, 4068),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return "PiecesOf" + std::to_string(info.param) + "Bytes";
                         });

TEST(HttpFetcherSeamTest, SendsTheWholeRequestThroughPartialAndInterruptedSends) {
  ScriptedSockets sockets;
  sockets.sendErrors = {EINTR, EAGAIN};
  sockets.sendPiece = 5;
  sockets.receipts = {kResponse, kClosed};
  const Outcome run = FetchWith(sockets);
  EXPECT_TRUE(run.fetched);
  EXPECT_EQ(sockets.sent,
            "GET /numbers/num0001.html HTTP/1.0\r\nHost: example.com:80\r\n"
            "User-Agent: httpcex/0.0\r\n\r\n");
}

TEST(HttpFetcherSeamTest, SocketCreationFailureIsShown) {
  ScriptedSockets sockets;
  sockets.failSocket = true;
  const Outcome run = FetchWith(sockets);
  EXPECT_FALSE(run.connected);
  EXPECT_EQ(run.messages, std::vector<std::string>{"ソケット作成に失敗しました。"});
  EXPECT_EQ(run.socketAfter, -1);
}

TEST(HttpFetcherSeamTest, LookupFailureIsShownAndTheSocketClosed) {
  ScriptedSockets sockets;
  sockets.failLookup = true;
  const Outcome run = FetchWith(sockets);
  EXPECT_FALSE(run.connected);
  EXPECT_EQ(run.messages, std::vector<std::string>{"サーバのIPアドレスの取得に失敗しました。"});
  EXPECT_EQ(sockets.closed, std::vector<int>{ScriptedSockets::kFd});
  EXPECT_EQ(run.socketAfter, -1);
}

TEST(HttpFetcherSeamTest, SendFailureReleasesTheBufferAndCloses) {
  ScriptedSockets sockets;
  sockets.sendErrors = {EPIPE};
  const Outcome run = FetchWith(sockets);
  EXPECT_FALSE(run.connected);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_FALSE(run.response.has_value());
  EXPECT_EQ(sockets.closed, std::vector<int>{ScriptedSockets::kFd});
}

TEST(HttpFetcherSeamTest, ChunksAfterOneThatDidNotFitAreDropped) {
  ScriptedSockets sockets;
  std::string expected = kResponse;
  sockets.receipts.emplace_back(kResponse);
  while (expected.size() + HttpFetcher::kChunkSize < HttpFetcher::kResponseCapacity) {
    const std::string chunk(HttpFetcher::kChunkSize, 'a');
    sockets.receipts.emplace_back(chunk);
    expected += chunk;
  }
  sockets.receipts.emplace_back(std::string(HttpFetcher::kChunkSize, 'b'));  // does not fit
  sockets.receipts.emplace_back(std::string("c"));  // would fit, but would leave a gap
  sockets.receipts.emplace_back(kClosed);
  const Outcome run = FetchWith(sockets);
  EXPECT_TRUE(run.fetched);
  EXPECT_EQ(run.response, expected);
}

// A NUL once ended the text quietly, and the page before it passed for the
// whole page.
TEST(HttpFetcherSeamTest, ANulByteFailsTheFetch) {
  ScriptedSockets sockets;
  sockets.receipts = {kResponse + std::string(1, '\0') + "hidden", std::string("later"), kClosed};
  const Outcome run = FetchWith(sockets);
  EXPECT_FALSE(run.fetched);
  EXPECT_FALSE(run.response.has_value());
}

// A reset once ended the response as if the server had closed it.
TEST(HttpFetcherSeamTest, AReceiveErrorFailsTheFetch) {
  ScriptedSockets sockets;
  sockets.receipts = {kResponse, ECONNRESET, std::string("never read")};
  const Outcome run = FetchWith(sockets);
  EXPECT_FALSE(run.fetched);
  EXPECT_FALSE(run.response.has_value());
  EXPECT_EQ(sockets.receipts.size(), 1u);
}

}  // namespace
}  // namespace kitebar
