#include "history/SocketApi.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace kitebar {

SocketApi& SocketApi::System() {
  static SocketApi system;
  return system;
}

int SocketApi::Socket() {
  return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

int SocketApi::Connect(int fd, const sockaddr_in& address) {
  return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int SocketApi::Poll(int fd, short events, int timeoutMilliseconds) {
  pollfd entry{fd, events, 0};
  const int ready = ::poll(&entry, 1, timeoutMilliseconds);
  return ready > 0 ? entry.revents : ready;
}

ssize_t SocketApi::Send(int fd, std::span<const char> bytes) {
  // MSG_NOSIGNAL: a peer that has gone away gives EPIPE, not a signal.
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

ssize_t SocketApi::Receive(int fd, std::span<char> buffer) {
  return ::recv(fd, buffer.data(), buffer.size(), 0);
}

int SocketApi::PendingError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
    return errno;
  return error;
}

void SocketApi::Shutdown(int fd) {
  ::shutdown(fd, SHUT_RDWR);
}

void SocketApi::Close(int fd) {
  ::close(fd);
}

std::optional<in_addr> SocketApi::ResolveIpv4(const std::string& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1)
    return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  return reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
}

}  // namespace kitebar
