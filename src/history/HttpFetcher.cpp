#include "history/HttpFetcher.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

#include "common/NumberText.h"

namespace kitebar {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kScheme = "http://";
constexpr char kInvalidUrlMessage[] = "URLが不正です。";
constexpr char kSocketMessage[] = "ソケット作成に失敗しました。";
constexpr char kLookupMessage[] = "サーバのIPアドレスの取得に失敗しました。";
constexpr int kMaxPort = 65535;

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

// The decimal value of the leading digits of `text`; 0 when there are none.
long ReadLeadingDigits(std::string_view text) {
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      break;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The status of the response's first line ("404 Not Found"), cut at the
// first byte that a message should not carry; empty when the response does
// not begin with an HTTP status line.
std::string AnsweredStatus(std::string_view response) {
  constexpr std::size_t kMaxStatusLength = 60;
  if (!response.starts_with("HTTP/"))
    return {};
  const std::size_t space = response.find(' ');
  if (space == std::string_view::npos)
    return {};
  std::string status;
  for (char c : response.substr(space + 1, kMaxStatusLength)) {
    if (c < ' ' || c > '~')
      break;
    status += c;
  }
  return status;
}

long long WholeSeconds(Clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1000 * 60 * 60));
}

}  // namespace

HttpFetcher::HttpFetcher(Feedback& feedback, SocketApi& sockets)
    : feedback_(feedback), sockets_(sockets) {}

HttpFetcher::~HttpFetcher() {
  Close();
}

void HttpFetcher::Fail(FailureKind kind, std::string_view message) {
  failureKind_ = kind;
  failure_ = message;
  feedback_.ShowMessage(message, MessageIcon::kStop);
}

void HttpFetcher::ClearFailure() {
  failureKind_ = FailureKind::kNone;
  failure_.clear();
  answeredStatus_.clear();
}

int HttpFetcher::ParseUrl(std::string_view url) {
  const Result<int> port = ReadUrl(url);
  return port.ok() ? *port : -1;
}

Result<int> HttpFetcher::ReadUrl(std::string_view url) {
  // The import speaks plain HTTP only; an https address is refused for that.
  if (StartsWithIgnoringCase(url, "https://"))
    return Status::Failure("https:// には対応していません（http:// だけです）");
  if (!StartsWithIgnoringCase(url, kScheme))
    return Status::Failure("http:// で始まっていません");
  if (url.size() <= kScheme.size())
    return Status::Failure("http:// のあとにサーバー名がありません");
  const std::string_view rest = url.substr(kScheme.size());
  const std::size_t slash = rest.find('/');
  std::string_view hostPart = rest.substr(0, slash);
  const std::string_view pathPart = slash == std::string_view::npos ? "/" : rest.substr(slash);
  long port = 80;
  if (const std::size_t colon = hostPart.find(':'); colon != std::string_view::npos) {
    const std::string_view portText = hostPart.substr(colon + 1);
    // A port above 65535 would silently wrap to another port.
    if (portText.size() > kMaxPortTextLength || ReadLeadingDigits(portText) > kMaxPort)
      return Status::Failure("ポート番号は 65535 までです");
    port = ReadLeadingDigits(portText);
    hostPart = hostPart.substr(0, colon);
  }
  // Beyond these limits the fixed fields of the request would overflow.
  const std::string tooLong = "URL が長すぎます（" + FormatInt(static_cast<long long>(url.size())) +
                              " 文字。サーバー名とパスは合わせて 200 文字ほどまでです）";
  if (hostPart.size() > kMaxHostLength || pathPart.size() > kMaxPathLength)
    return Status::Failure(tooLong);
  host_ = hostPart;
  path_ = pathPart;
  port_ = static_cast<int>(port);
  if (RequestText().size() > kMaxRequestLength)
    return Status::Failure(tooLong);
  return port_;
}

std::string HttpFetcher::RequestText() const {
  return "GET " + path_ + " HTTP/1.0\r\nHost: " + host_ + ":" + FormatInt(port_) +
         "\r\nUser-Agent: httpcex/0.0\r\n\r\n";
}

bool HttpFetcher::Connect(std::string_view url) {
  Close();
  response_.reset();
  responseCut_ = false;
  nulReceived_ = false;
  receiveFailed_ = false;
  ClearFailure();
  if (const Result<int> port = ReadUrl(url); !port.ok()) {
    Fail(FailureKind::kAddress, kInvalidUrlMessage + port.message() + "。");
    return false;
  }
  socket_ = sockets_.Socket();
  if (socket_ < 0) {
    socket_ = -1;
    Fail(FailureKind::kNetwork, kSocketMessage);
    return false;
  }
  const std::optional<std::uint32_t> address = sockets_.ResolveIpv4(host_);
  if (!address) {
    Close();
    Fail(FailureKind::kNetwork, kLookupMessage);
    return false;
  }
  if (!ConnectWithinTimeout({*address, static_cast<std::uint16_t>(port_)})) {
    Close();
    failureKind_ = FailureKind::kNetwork;
    failure_ = "サーバーに接続できません";
    return false;
  }
  response_.emplace();
  response_->reserve(kResponseCapacity);
  if (!SendRequest()) {
    response_.reset();
    Close();
    failureKind_ = FailureKind::kNetwork;
    failure_ = "サーバーに要求を送れません";
    return false;
  }
  return true;
}

// A connect to a silent address would otherwise wait for the system's own
// time-out, minutes long; it gets the same deadline as a fetch.
bool HttpFetcher::ConnectWithinTimeout(const Ipv4Endpoint& peer) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(std::max(timeoutSeconds, 0));
  if (sockets_.Connect(socket_, peer) == 0)
    return true;
  // An interrupted non-blocking connect goes on in the background, like one
  // in progress.
  if (errno != EINPROGRESS && errno != EINTR)
    return false;
  return WaitFor(SocketApi::kWritable, deadline) && sockets_.PendingError(socket_) == 0;
}

// Waits until `events` occur on the socket or the deadline passes; an error
// or hang-up counts as an occurrence, for the next call to report.
bool HttpFetcher::WaitFor(short events, Clock::time_point deadline) {
  for (;;) {
    const int ready = sockets_.Poll(socket_, events, MillisecondsUntil(deadline));
    if (ready > 0)
      return true;
    if (ready < 0 && errno != EINTR)
      return false;
    if (ready == 0 && Clock::now() >= deadline)
      return false;
  }
}

bool HttpFetcher::SendRequest() {
  const std::string request = RequestText();
  const Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(std::max(timeoutSeconds, 0));
  std::string_view rest = request;
  while (!rest.empty()) {
    const std::ptrdiff_t sent = sockets_.Send(socket_, rest);
    if (sent >= 0) {
      rest.remove_prefix(std::min(static_cast<std::size_t>(sent), rest.size()));
      continue;
    }
    if (errno == EINTR)
      continue;
    if ((errno != EAGAIN && errno != EWOULDBLOCK) || !WaitFor(SocketApi::kWritable, deadline))
      return false;
  }
  return true;
}

bool HttpFetcher::Fetch() {
  if (socket_ < 0 || !response_)
    return FailFetch(FailureKind::kNetwork, "サーバーに接続していません");
  const long long start = WholeSeconds(Clock::now());
  const long long limit = start + std::max(timeoutSeconds, 0);
  // The deadline is passed once the whole-second clock reads beyond the limit.
  const Clock::time_point deadline{std::chrono::seconds(limit + 1)};
  bool dataSeen = false;
  for (;;) {
    if (WholeSeconds(Clock::now()) > limit) {
      if (!dataSeen)
        return FailFetch(FailureKind::kNetwork,
                         "サーバーが " + FormatInt(timeoutSeconds) + " 秒以内に応答しません");
      return FinishFetch(ResponseEnd::kInterrupted, "サーバーが " + FormatInt(timeoutSeconds) +
                                                        " 秒以内に応答を送り終えません");
    }
    const int ready = sockets_.Poll(socket_, SocketApi::kReadable, MillisecondsUntil(deadline));
    if (ready == 0 || (ready < 0 && errno == EINTR))
      continue;
    if (ready < 0)
      return FinishFetch(ResponseEnd::kInterrupted, "接続の待機に失敗しました");
    dataSeen = true;
    if (!ReceiveChunk()) {
      return receiveFailed_ ? FinishFetch(ResponseEnd::kInterrupted, "応答の途中で接続が切れました")
                            : FinishFetch(ResponseEnd::kClosed, "");
    }
    // A NUL has no place in a page's text: the response is not the page.
    if (nulReceived_)
      return FailFetch(FailureKind::kAnswer, "応答に NUL 文字が含まれています");
    if (responseCut_)
      return FinishFetch(ResponseEnd::kCapacity, "");
  }
}

// Checks the status and that the response arrived whole, and keeps it as the
// page reader gets it.
bool HttpFetcher::FinishFetch(ResponseEnd end, const std::string& interruption) {
  if (!IsStatusOk(*response_)) {
    std::string status = AnsweredStatus(*response_);
    const std::string note = status.empty() ? std::string() : "（" + status + "）";
    const bool failed =
        FailFetch(FailureKind::kAnswer, "サーバーの応答が 200 OK ではありません" + note);
    answeredStatus_ = std::move(status);
    return failed;
  }
  Result<std::string> complete = CompleteResponse(*response_, end);
  if (!complete) {
    return end == ResponseEnd::kInterrupted ? FailFetch(FailureKind::kNetwork, interruption)
                                            : FailFetch(FailureKind::kAnswer, complete.message());
  }
  *response_ = std::move(complete.value());
  Close();
  return true;
}

bool HttpFetcher::FailFetch(FailureKind kind, std::string reason) {
  failureKind_ = kind;
  failure_ = std::move(reason);
  response_.reset();
  responseCut_ = false;
  Close();
  return false;
}

bool HttpFetcher::ReceiveChunk() {
  std::array<char, kChunkSize> chunk{};
  std::ptrdiff_t received = 0;
  do {
    received = sockets_.Receive(socket_, chunk);
  } while (received < 0 && errno == EINTR);
  if (received == 0)
    return false;
  // Readiness without data (a spurious wake-up) is not a failure.
  if (received < 0) {
    receiveFailed_ = errno != EAGAIN && errno != EWOULDBLOCK;
    return !receiveFailed_;
  }
  Append(
      std::string_view(chunk.data(), std::min(static_cast<std::size_t>(received), chunk.size())));
  return true;
}

void HttpFetcher::Append(std::string_view chunk) {
  if (!response_ || responseCut_)
    return;
  if (chunk.size() + response_->size() >= kResponseCapacity) {
    responseCut_ = true;
    return;
  }
  nulReceived_ = nulReceived_ || chunk.find('\0') != std::string_view::npos;
  response_->append(chunk);
}

bool HttpFetcher::IsStatusOk(std::string_view text) {
  return text.size() >= 24 && ParseIntLikeAtoi(text.substr(9, 3)) == 200;
}

std::optional<std::string> HttpFetcher::TakeResponse() {
  std::optional<std::string> taken = std::move(response_);
  response_.reset();
  return taken;
}

void HttpFetcher::Close() {
  if (socket_ < 0)
    return;
  sockets_.Shutdown(socket_);
  sockets_.Close(socket_);
  socket_ = -1;
}

}  // namespace kitebar
