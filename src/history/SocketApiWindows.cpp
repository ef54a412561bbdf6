#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "history/SocketApi.h"

namespace kitebar {
namespace {

// Winsock is started once, on first use, and stays up for the process.
bool WinsockStarted() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

// The POSIX errno value of a Winsock error, so that the client handles both
// platforms alike.
int ErrnoOf(int error) {
  switch (error) {
    case WSAEWOULDBLOCK:
      return EWOULDBLOCK;
    case WSAEINPROGRESS:
    case WSAEALREADY:
      return EINPROGRESS;
    case WSAEINTR:
      return EINTR;
    case WSAECONNREFUSED:
      return ECONNREFUSED;
    case WSAECONNRESET:
      return ECONNRESET;
    case WSAECONNABORTED:
      return ECONNABORTED;
    case WSAETIMEDOUT:
      return ETIMEDOUT;
    case WSAENOTCONN:
    case WSAESHUTDOWN:
      return ENOTCONN;
    case WSAENETUNREACH:
    case WSAENETDOWN:
      return ENETUNREACH;
    case WSAEHOSTUNREACH:
      return EHOSTUNREACH;
    case WSAENOTSOCK:
      return EBADF;
    case WSAEMFILE:
    case WSAENOBUFS:
      return ENOBUFS;
    case 0:
      return 0;
    default:
      return EIO;
  }
}

int FailWithLastError() {
  errno = ErrnoOf(::WSAGetLastError());
  return -1;
}

SOCKET Native(int fd) {
  return static_cast<SOCKET>(fd);
}

}  // namespace

SocketApi& SocketApi::System() {
  static SocketApi system;
  return system;
}

int SocketApi::Socket() {
  if (!WinsockStarted()) {
    errno = ENETDOWN;
    return -1;
  }
  const SOCKET made =
      ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (made == INVALID_SOCKET)
    return FailWithLastError();
  // Socket handles are small numbers in practice; one that is not could not
  // be told apart from the others, so it is refused.
  u_long nonBlocking = 1;
  if (made > static_cast<SOCKET>(INT_MAX) ||
      ::ioctlsocket(made, FIONBIO, &nonBlocking) == SOCKET_ERROR) {
    const int error = ::WSAGetLastError();
    ::closesocket(made);
    errno = error == 0 ? EMFILE : ErrnoOf(error);
    return -1;
  }
  return static_cast<int>(made);
}

int SocketApi::Connect(int fd, const Ipv4Endpoint& peer) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(peer.port);
  address.sin_addr.s_addr = ::htonl(peer.address);
  if (::connect(Native(fd), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    return 0;
  // A non-blocking connect under way says "would block" here.
  const int error = ::WSAGetLastError();
  errno = error == WSAEWOULDBLOCK ? EINPROGRESS : ErrnoOf(error);
  return -1;
}

// select, not WSAPoll: WSAPoll of older Windows 10 releases never reports a
// refused connect, which would then wait for the whole deadline.
int SocketApi::Poll(int fd, short events, int timeoutMilliseconds) {
  fd_set readable;
  fd_set writable;
  fd_set failed;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  if ((events & kReadable) != 0)
    FD_SET(Native(fd), &readable);
  if ((events & kWritable) != 0)
    FD_SET(Native(fd), &writable);
  // A failed connect shows in the exception set only.
  FD_SET(Native(fd), &failed);
  timeval timeout{timeoutMilliseconds / 1000, (timeoutMilliseconds % 1000) * 1000};
  const int ready =
      ::select(0, &readable, &writable, &failed, timeoutMilliseconds < 0 ? nullptr : &timeout);
  if (ready == SOCKET_ERROR)
    return FailWithLastError();
  if (ready == 0)
    return 0;
  return (FD_ISSET(Native(fd), &readable) ? kReadable : 0) |
         (FD_ISSET(Native(fd), &writable) ? kWritable : 0) |
         (FD_ISSET(Native(fd), &failed) ? kFailed : 0);
}

std::ptrdiff_t SocketApi::Send(int fd, std::span<const char> bytes) {
  const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  const int sent = ::send(Native(fd), bytes.data(), size, 0);
  return sent == SOCKET_ERROR ? FailWithLastError() : sent;
}

std::ptrdiff_t SocketApi::Receive(int fd, std::span<char> buffer) {
  const int size = static_cast<int>(std::min<std::size_t>(buffer.size(), INT_MAX));
  const int received = ::recv(Native(fd), buffer.data(), size, 0);
  return received == SOCKET_ERROR ? FailWithLastError() : received;
}

int SocketApi::PendingError(int fd) {
  int error = 0;
  int length = sizeof error;
  if (::getsockopt(Native(fd), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
    return ErrnoOf(::WSAGetLastError());
  return ErrnoOf(error);
}

void SocketApi::Shutdown(int fd) {
  ::shutdown(Native(fd), SD_BOTH);
}

void SocketApi::Close(int fd) {
  ::closesocket(Native(fd));
}

std::optional<std::uint32_t> SocketApi::ResolveIpv4(const std::string& host) {
  if (!WinsockStarted())
    return std::nullopt;
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1)
    return ::ntohl(address.s_addr);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
    return std::nullopt;
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  return ::ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
}

}  // namespace kitebar
