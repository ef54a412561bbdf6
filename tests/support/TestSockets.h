#pragma once

#include <cstddef>
#include <string_view>

namespace kitebar::test {

// The few socket calls of the tests' loopback servers, alike on Linux
// (TestSocketsPosix.cpp) and Windows (TestSocketsWindows.cpp). A socket is a
// small non-negative number, -1 for none.

// A listening socket on 127.0.0.1 at an ephemeral port; `*port` gets the port.
int ListenOnLoopback(int backlog, int* port);
// A blocking socket connected to 127.0.0.1:`port`, or -1.
int ConnectToLoopback(int port);
// Whether `fd` has something to read (or its peer closed) within `milliseconds`.
bool WaitReadable(int fd, int milliseconds);
// The next pending connection of `listener`, or -1.
int AcceptConnection(int listener);
// Like send and recv; a peer that has gone away gives -1, never a signal.
std::ptrdiff_t SendSome(int fd, std::string_view bytes);
std::ptrdiff_t ReceiveSome(int fd, char* buffer, std::size_t size);
// Closes with a reset (RST) instead of an orderly close.
void CloseWithReset(int fd);
// Whether CloseWithReset reaches the peer as a reset: not under Wine, whose
// closesocket ends the connection in order whatever SO_LINGER says.
bool ResetsReachThePeer();
void CloseSocket(int fd);

}  // namespace kitebar::test
