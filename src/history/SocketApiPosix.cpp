#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "history/SocketApi.h"

namespace kitebar {
namespace {

short PollEvents(short events) {
  return static_cast<short>(((events & SocketApi::kReadable) != 0 ? POLLIN : 0) |
                            ((events & SocketApi::kWritable) != 0 ? POLLOUT : 0));
}

int EventsOf(short revents) {
  return ((revents & POLLIN) != 0 ? SocketApi::kReadable : 0) |
         ((revents & POLLOUT) != 0 ? SocketApi::kWritable : 0) |
         ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 ? SocketApi::kFailed : 0);
}

}  // namespace

SocketApi& SocketApi::System() {
  static SocketApi system;
  return system;
}

int SocketApi::Socket() {
  return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

int SocketApi::Connect(int fd, const Ipv4Endpoint& peer) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(peer.port);
  address.sin_addr.s_addr = htonl(peer.address);
  return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int SocketApi::Poll(int fd, short events, int timeoutMilliseconds) {
  pollfd entry{fd, PollEvents(events), 0};
  const int ready = ::poll(&entry, 1, timeoutMilliseconds);
  return ready > 0 ? EventsOf(entry.revents) : ready;
}

std::ptrdiff_t SocketApi::Send(int fd, std::span<const char> bytes) {
  // MSG_NOSIGNAL: a peer that has gone away gives EPIPE, not a signal.
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::ptrdiff_t SocketApi::Receive(int fd, std::span<char> buffer) {
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

std::optional<std::uint32_t> SocketApi::ResolveIpv4(const std::string& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1)
    return ntohl(address.s_addr);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  return ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
}

}  // namespace kitebar
