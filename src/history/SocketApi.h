#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/types.h>

#include <optional>
#include <span>
#include <string>

namespace kitebar {

// The system calls of the HTTP client, behind virtual functions so that tests
// can make one of them fail, return partial reads or be interrupted. Each
// function behaves as the POSIX call it names and reports errors in errno.
class SocketApi {
 public:
  virtual ~SocketApi() = default;

  // The instance that makes the real system calls.
  static SocketApi& System();

  // A non-blocking, close-on-exec IPv4 stream socket, or -1.
  virtual int Socket();
  virtual int Connect(int fd, const sockaddr_in& address);
  // Waits for `events` on `fd`; returns the events that occurred, 0 on
  // time-out, -1 on error.
  virtual int Poll(int fd, short events, int timeoutMilliseconds);
  virtual ssize_t Send(int fd, std::span<const char> bytes);
  virtual ssize_t Receive(int fd, std::span<char> buffer);
  // The error that ended a non-blocking connect, 0 when it succeeded.
  virtual int PendingError(int fd);
  virtual void Shutdown(int fd);
  virtual void Close(int fd);
  // `host` as a dotted IPv4 address, or else the first IPv4 address that a
  // name lookup gives.
  virtual std::optional<in_addr> ResolveIpv4(const std::string& host);
};

}  // namespace kitebar
