#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "HttpTestServer.h"
#include "history/SocketApi.h"

// The real system calls behind the HTTP client, over loopback: Linux and
// Windows must report the same events with the same errno values, which the
// client's waits and refusals rely on.
namespace kitebar {
namespace {

using Clock = std::chrono::steady_clock;
using test::ScriptedServer;

constexpr int kWaitMilliseconds = 5000;

// A connected socket to 127.0.0.1:`port`, or -1; a refused connect leaves its
// errno value in `*error`.
int ConnectedSocket(int port, int* error) {
  SocketApi& sockets = SocketApi::System();
  const int fd = sockets.Socket();
  if (fd < 0)
    return -1;
  *error = 0;
  if (sockets.Connect(fd, {kLoopbackIpv4, static_cast<std::uint16_t>(port)}) != 0) {
    *error = errno;
    if (*error == EINPROGRESS) {
      *error = sockets.Poll(fd, SocketApi::kWritable, kWaitMilliseconds) > 0
                   ? sockets.PendingError(fd)
                   : ETIMEDOUT;
    }
  }
  if (*error != 0) {
    sockets.Close(fd);
    return -1;
  }
  return fd;
}

TEST(SystemSockets, ARefusedConnectIsReportedAtOnce) {
  int port = 0;
  {
    const test::LoopbackListener closedSoon;
    port = closedSoon.port();
  }
  const Clock::time_point started = Clock::now();
  int error = 0;
  EXPECT_EQ(ConnectedSocket(port, &error), -1);
  EXPECT_EQ(error, ECONNREFUSED);
  EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(kWaitMilliseconds));
}

// What the client sees of a server that answers and closes, and of one that
// says nothing.
struct Exchange {
  const char* name;
  ScriptedServer::Mode mode;
  std::string answer;
  bool readable;         // whether Poll reports something to read in time
  std::string received;  // what the receives give before the end
  bool wouldBlock;       // the receive after it: -1 (EAGAIN/EWOULDBLOCK) or 0 (closed)
};

class SystemSocketExchange : public testing::TestWithParam<Exchange> {};

TEST_P(SystemSocketExchange, ReportsTheServersEventsAsPosixDoes) {
  const Exchange& exchange = GetParam();
  ScriptedServer server(exchange.answer, exchange.mode);
  SocketApi& sockets = SocketApi::System();
  int error = 0;
  const int fd = ConnectedSocket(server.port(), &error);
  ASSERT_GE(fd, 0) << "connect: errno " << error;
  const std::string request = "GET / HTTP/1.0\r\n\r\n";
  ASSERT_EQ(sockets.Send(fd, request), static_cast<std::ptrdiff_t>(request.size()));
  std::string received;
  char buffer[256];
  std::ptrdiff_t got = 0;
  const bool readable =
      sockets.Poll(fd, SocketApi::kReadable, exchange.readable ? kWaitMilliseconds : 300) > 0;
  EXPECT_EQ(readable, exchange.readable);
  while (readable && (got = sockets.Receive(fd, buffer)) > 0) {
    received.append(buffer, static_cast<std::size_t>(got));
    sockets.Poll(fd, SocketApi::kReadable, kWaitMilliseconds);
  }
  if (!readable) {
    got = sockets.Receive(fd, buffer);
    error = errno;
  }
  EXPECT_EQ(received, exchange.received);
  if (exchange.wouldBlock) {
    EXPECT_EQ(got, -1);
    EXPECT_TRUE(error == EAGAIN || error == EWOULDBLOCK) << "errno " << error;
  } else {
    EXPECT_EQ(got, 0);
  }
  sockets.Shutdown(fd);
  sockets.Close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SystemSocketExchange,
    testing::Values(Exchange{"AnswersAndCloses", ScriptedServer::Mode::kAnswer, "HTTP/1.0 200 OK",
                             true, "HTTP/1.0 200 OK", false},
                    Exchange{"StaysSilent", ScriptedServer::Mode::kSilent, "", false, "", true}),
    [](const testing::TestParamInfo<Exchange>& info) { return info.param.name; });

}  // namespace
}  // namespace kitebar
