#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "support/TestSockets.h"

namespace kitebar::test {
namespace {

bool WinsockStarted() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  return address;
}

int NewSocket() {
  if (!WinsockStarted())
    return -1;
  const SOCKET fd =
      ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  return fd == INVALID_SOCKET ? -1 : static_cast<int>(fd);
}

SOCKET Native(int fd) {
  return static_cast<SOCKET>(fd);
}

}  // namespace

int ListenOnLoopback(int backlog, int* port) {
  const int fd = NewSocket();
  sockaddr_in address = LoopbackAddress(0);
  // Windows's SO_REUSEADDR would let another program take the port; the
  // exclusive use is what Linux gives by default.
  const BOOL exclusive = TRUE;
  ::setsockopt(Native(fd), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  ::bind(Native(fd), reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(Native(fd), backlog);
  int length = sizeof address;
  ::getsockname(Native(fd), reinterpret_cast<sockaddr*>(&address), &length);
  *port = ::ntohs(address.sin_port);
  return fd;
}

int ConnectToLoopback(int port) {
  const int fd = NewSocket();
  const sockaddr_in address = LoopbackAddress(port);
  if (::connect(Native(fd), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::closesocket(Native(fd));
    return -1;
  }
  return fd;
}

bool WaitReadable(int fd, int milliseconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Native(fd), &readable);
  timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return ::select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

int AcceptConnection(int listener) {
  const SOCKET fd = ::accept(Native(listener), nullptr, nullptr);
  return fd == INVALID_SOCKET ? -1 : static_cast<int>(fd);
}

std::ptrdiff_t SendSome(int fd, std::string_view bytes) {
  const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  return ::send(Native(fd), bytes.data(), size, 0);
}

std::ptrdiff_t ReceiveSome(int fd, char* buffer, std::size_t size) {
  return ::recv(Native(fd), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
}

void CloseWithReset(int fd) {
  const linger abort{1, 0};
  ::setsockopt(Native(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
               sizeof abort);
  ::closesocket(Native(fd));
}

bool ResetsReachThePeer() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

void CloseSocket(int fd) {
  ::closesocket(Native(fd));
}

}  // namespace kitebar::test
