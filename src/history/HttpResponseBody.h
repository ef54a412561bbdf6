#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

// How the receipt of a response ended.
enum class ResponseEnd {
  // The server closed the connection.
  kClosed,
  // A reset or the deadline came before the server closed the connection.
  kInterrupted,
  // The response filled the client's buffer; the rest was not read.
  kCapacity,
};

// The response as the page reader gets it: the status line and headers as
// received, then the body with a chunked transfer encoding decoded and
// anything beyond its Content-Length left out. Fails when the body is not
// whole: shorter than its Content-Length, a chunked body that is malformed or
// lacks its last chunk, an unknown transfer encoding, headers without their
// end, or an interrupted receipt whose framing does not prove the body
// complete. A response cut at the buffer's capacity gives the decoded
// beginning of its body.
Result<std::string> CompleteResponse(std::string_view received, ResponseEnd end);

}  // namespace kitebar
