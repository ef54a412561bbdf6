#include "history/HttpResponseBody.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "common/NumberText.h"

namespace kitebar {
namespace {

// A body larger than this cannot be a result page (the client keeps 64 KB);
// the bound keeps the size arithmetic far from overflow.
constexpr std::size_t kMaxDeclaredSize = std::size_t{1} << 30;

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Where the body starts: after the first blank line (CR LF CR LF, or a bare
// LF LF from a lax server).
std::optional<std::size_t> BodyStart(std::string_view received) {
  const std::size_t crlf = received.find("\r\n\r\n");
  const std::size_t lf = received.find("\n\n");
  if (crlf == std::string_view::npos && lf == std::string_view::npos)
    return std::nullopt;
  return crlf < lf ? crlf + 4 : lf + 2;
}

struct Framing {
  bool chunked = false;
  std::optional<std::size_t> contentLength;
};

std::optional<std::size_t> ParseDecimalSize(std::string_view text) {
  if (text.empty() || text.size() > 10)
    return std::nullopt;
  std::size_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (value > kMaxDeclaredSize)
    return std::nullopt;
  return value;
}

Result<Framing> ReadFraming(std::string_view headers) {
  Framing framing;
  // The status line comes first; each further line is "Name: value".
  std::size_t lineStart = headers.find('\n');
  while (lineStart != std::string_view::npos && lineStart + 1 < headers.size()) {
    const std::size_t next = headers.find('\n', lineStart + 1);
    const std::string_view line = headers.substr(lineStart + 1, next - lineStart - 1);
    lineStart = next;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
      continue;
    const std::string_view name = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Content-Length")) {
      const std::optional<std::size_t> length = ParseDecimalSize(value);
      if (!length || (framing.contentLength && *framing.contentLength != *length))
        return Status::Failure("応答の Content-Length が正しくありません");
      framing.contentLength = length;
    } else if (EqualsIgnoringCase(name, "Transfer-Encoding")) {
      if (EqualsIgnoringCase(value, "chunked")) {
        framing.chunked = true;
      } else if (!EqualsIgnoringCase(value, "identity")) {
        return Status::Failure("応答の転送形式（Transfer-Encoding）に対応していません");
      }
    }
  }
  return framing;
}

// The size on a chunk-size line: hexadecimal digits, then optionally blanks
// and extensions after ';'.
std::optional<std::size_t> ParseChunkSize(std::string_view line) {
  std::size_t value = 0;
  std::size_t digits = 0;
  for (; digits < line.size(); ++digits) {
    const char c = LowerAscii(line[digits]);
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      break;
    }
    value = value * 16 + static_cast<std::size_t>(digit);
    if (value > kMaxDeclaredSize)
      return std::nullopt;
  }
  const std::string_view rest = Trimmed(line.substr(digits));
  if (digits == 0 || (!rest.empty() && rest.front() != ';'))
    return std::nullopt;
  return value;
}

constexpr char kMalformedChunks[] = "応答のチャンク形式が壊れています";
constexpr char kUnfinishedChunks[] = "応答が最後のチャンクの前で終わっています";

// Decodes a chunked body. With `cut`, a body that ends early (the buffer was
// full) gives what arrived; otherwise it must end with its last chunk.
Result<std::string> DecodeChunks(std::string_view body, bool cut) {
  std::string decoded;
  std::size_t at = 0;
  for (;;) {
    const std::size_t lineEnd = body.find('\n', at);
    if (lineEnd == std::string_view::npos)
      return cut ? Result<std::string>(decoded) : Status::Failure(kUnfinishedChunks);
    const std::optional<std::size_t> size = ParseChunkSize(body.substr(at, lineEnd - at));
    if (!size)
      return Status::Failure(kMalformedChunks);
    if (*size == 0)
      return decoded;  // the last chunk; trailers are not needed
    at = lineEnd + 1;
    const std::string_view data = body.substr(at, *size);
    decoded.append(data);
    if (data.size() < *size)
      return cut ? Result<std::string>(decoded) : Status::Failure(kUnfinishedChunks);
    at += *size;
    const std::string_view rest = body.substr(at);
    if (rest.starts_with("\r\n")) {
      at += 2;
    } else if (rest.starts_with('\n')) {
      at += 1;
    } else if (!(cut && (rest.empty() || rest == "\r"))) {
      return Status::Failure(rest.empty() ? kUnfinishedChunks : kMalformedChunks);
    }
  }
}

}  // namespace

Result<std::string> CompleteResponse(std::string_view received, ResponseEnd end) {
  const bool cut = end == ResponseEnd::kCapacity;
  const std::optional<std::size_t> bodyStart = BodyStart(received);
  if (!bodyStart) {
    if (cut)
      return std::string(received);
    return Status::Failure("応答がヘッダーの途中で終わっています");
  }
  const std::string_view headers = received.substr(0, *bodyStart);
  const std::string_view body = received.substr(*bodyStart);
  const Result<Framing> framing = ReadFraming(headers);
  if (!framing)
    return framing.status();
  if (framing->chunked) {
    Result<std::string> decoded = DecodeChunks(body, cut);
    if (!decoded)
      return decoded.status();
    return std::string(headers) + *decoded;
  }
  if (framing->contentLength) {
    const std::size_t length = *framing->contentLength;
    if (body.size() >= length)
      return std::string(received.substr(0, *bodyStart + length));
    if (cut)
      return std::string(received);
    return Status::Failure("応答が Content-Length の " + FormatInt(static_cast<long long>(length)) +
                           " バイトより短く、" + FormatInt(static_cast<long long>(body.size())) +
                           " バイトで終わっています");
  }
  // Without a length, only the server's closing the connection ends the body.
  if (end == ResponseEnd::kInterrupted)
    return Status::Failure("応答が途中で終わっています");
  return std::string(received);
}

}  // namespace kitebar
