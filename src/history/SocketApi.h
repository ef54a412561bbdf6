#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kitebar {

// An IPv4 address and a port, both in host byte order.
struct Ipv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
};

inline constexpr std::uint32_t kLoopbackIpv4 = 0x7F000001;  // 127.0.0.1

// The system calls of the HTTP client, behind virtual functions so that tests
// can make one of them fail, return partial reads or be interrupted. Each
// function behaves as the POSIX call it names and reports errors in errno,
// with the POSIX values on every platform (a would-block receive gives EAGAIN
// or EWOULDBLOCK, a connect under way EINPROGRESS). A socket is a small
// non-negative number, -1 for none.
class SocketApi {
 public:
  // The events of Poll.
  static constexpr short kReadable = 1;
  static constexpr short kWritable = 2;
  // An error or a hang-up: reported whatever was asked for.
  static constexpr short kFailed = 4;

  virtual ~SocketApi() = default;

  // The instance that makes the real system calls.
  static SocketApi& System();

  // A non-blocking IPv4 stream socket that child processes do not inherit,
  // or -1.
  virtual int Socket();
  virtual int Connect(int fd, const Ipv4Endpoint& peer);
  // Waits for `events` on `fd`; returns the events that occurred, 0 on
  // time-out, -1 on error.
  virtual int Poll(int fd, short events, int timeoutMilliseconds);
  virtual std::ptrdiff_t Send(int fd, std::span<const char> bytes);
  virtual std::ptrdiff_t Receive(int fd, std::span<char> buffer);
  // The error that ended a non-blocking connect, 0 when it succeeded.
  virtual int PendingError(int fd);
  virtual void Shutdown(int fd);
  virtual void Close(int fd);
  // `host` as a dotted IPv4 address, or else the first IPv4 address that a
  // name lookup gives.
  virtual std::optional<std::uint32_t> ResolveIpv4(const std::string& host);
};

}  // namespace kitebar
