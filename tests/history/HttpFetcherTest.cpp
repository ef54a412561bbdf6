#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <string>

#include "HttpTestServer.h"
#include "RecordingFeedback.h"
#include "history/HttpFetcher.h"

namespace kitebar {
namespace {

using test::ScriptedServer;

const std::string kPage = "HTTP/1.0 200 OK\r\nServer: test\r\n\r\n<html>page</html>";

struct Fetched {
  bool connected = false;
  bool fetched = false;
  std::optional<std::string> response;
  int socketAfter = 0;
  std::vector<std::string> messages;
};

Fetched FetchFrom(const std::string& url, int timeoutSeconds = 20) {
  test::RecordingFeedback feedback;
  HttpFetcher fetcher(feedback);
  fetcher.timeoutSeconds = timeoutSeconds;
  Fetched result;
  result.connected = fetcher.Connect(url);
  if (result.connected)
    result.fetched = fetcher.Fetch();
  result.response = fetcher.TakeResponse();
  result.socketAfter = fetcher.socket();
  result.messages = feedback.messages;
  return result;
}

TEST(HttpFetcherTest, SendsTheRequestAndKeepsTheWholeResponse) {
  ScriptedServer server(kPage);
  const Fetched got = FetchFrom(server.Url("/numbers/numtop01.html"));
  EXPECT_TRUE(got.connected);
  EXPECT_TRUE(got.fetched);
  EXPECT_EQ(got.response, kPage);
  EXPECT_EQ(got.socketAfter, -1);
  EXPECT_EQ(server.Request(), "GET /numbers/numtop01.html HTTP/1.0\r\nHost: 127.0.0.1:" +
                                  std::to_string(server.port()) +
                                  "\r\nUser-Agent: httpcex/0.0\r\n\r\n");
}

struct FailingAnswer {
  const char* name;
  std::string response;
};

class HttpFetchFailureTest : public testing::TestWithParam<FailingAnswer> {};

// Each of these fails the fetch silently, releases the buffer and closes.
TEST_P(HttpFetchFailureTest, FailsReleasesAndCloses) {
  ScriptedServer server(GetParam().response);
  const Fetched got = FetchFrom(server.Url("/numbers/num0001.html"));
  EXPECT_TRUE(got.connected);
  EXPECT_FALSE(got.fetched);
  EXPECT_FALSE(got.response.has_value());
  EXPECT_EQ(got.socketAfter, -1);
  EXPECT_TRUE(got.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HttpFetchFailureTest,
    testing::Values(FailingAnswer{"NotFound", "HTTP/1.0 404 Not Found\r\n\r\n<html>no</html>"},
                    FailingAnswer{"ShortOk", "HTTP/1.0 200 OK\r\n\r\n"},
                    FailingAnswer{"ClosedWithoutData", ""}),
    [](const testing::TestParamInfo<FailingAnswer>& info) { return info.param.name; });

TEST(HttpFetcherTest, GivesUpOnASilentServerAfterTheTimeout) {
  ScriptedServer server("", ScriptedServer::Mode::kSilent);
  const Fetched got = FetchFrom(server.Url("/"), 1);
  EXPECT_TRUE(got.connected);
  EXPECT_FALSE(got.fetched);
  EXPECT_FALSE(got.response.has_value());
  EXPECT_EQ(got.socketAfter, -1);
}

TEST(HttpFetcherTest, CutsAResponseBeyond64KilobytesAtAChunk) {
  std::string body;
  for (int i = 0; body.size() < 100000; ++i)
    body += "line " + std::to_string(i) + "\n";
  const std::string full = "HTTP/1.1 200 OK\r\n\r\n" + body;
  ScriptedServer server(full);
  const Fetched got = FetchFrom(server.Url("/big"));
  EXPECT_TRUE(got.fetched);
  ASSERT_TRUE(got.response.has_value());
  EXPECT_LT(got.response->size(), HttpFetcher::kResponseCapacity);
  // Only whole chunks are kept, each at most 4068 bytes, and the text is the
  // unbroken beginning of what the server sent.
  EXPECT_GE(got.response->size(), HttpFetcher::kResponseCapacity - HttpFetcher::kChunkSize);
  EXPECT_EQ(full.compare(0, got.response->size(), *got.response), 0);
}

TEST(HttpFetcherTest, ConnectionRefusedFailsWithoutAMessage) {
  int port = 0;
  {
    const test::LoopbackListener closedSoon;
    port = closedSoon.port();
  }
  const Fetched got = FetchFrom("http://127.0.0.1:" + std::to_string(port) + "/");
  EXPECT_FALSE(got.connected);
  EXPECT_TRUE(got.messages.empty());
  EXPECT_EQ(got.socketAfter, -1);
}

TEST(HttpFetcherTest, ConnectToAServerThatNeverAnswersEndsAtTheTimeout) {
  // A listener whose one-place queue is full drops further handshakes, so the
  // next connect stays pending as it would towards a silent address.
  const test::LoopbackListener listener(0);
  const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(listener.port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const auto started = std::chrono::steady_clock::now();
  const Fetched got = FetchFrom(listener.Url("/"), 1);
  // A hang guard, far above the one-second timeout: unbounded, the system
  // would retry the handshake for about two minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
  EXPECT_FALSE(got.connected);
  EXPECT_TRUE(got.messages.empty());
  EXPECT_EQ(got.socketAfter, -1);
  ::close(filler);
}

TEST(HttpFetcherTest, FetchWithoutConnectionFails) {
  test::RecordingFeedback feedback;
  HttpFetcher fetcher(feedback);
  EXPECT_FALSE(fetcher.Fetch());
  EXPECT_EQ(fetcher.socket(), -1);
}

}  // namespace
}  // namespace kitebar
