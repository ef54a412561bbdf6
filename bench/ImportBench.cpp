#include <arpa/inet.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/Feedback.h"
#include "common/NumberText.h"
#include "history/HttpFetcher.h"
#include "history/PageText.h"
#include "history/ResultPage.h"
#include "history/ResultPageReader.h"

namespace kitebar {
namespace {

constexpr int kBlockCount = 100;
constexpr int kDrawsPerBlock = 5;
// The archive page of the draws 6586 to 7085, the last whole blocks of the sample.
constexpr int kFirstPageDraw = 6586;
constexpr char kPageName[] = "num6586.html";
constexpr char kResponseHead[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
// The largest response the fetcher keeps: 64 KB less the terminator's place.
constexpr std::size_t kResponseSize = HttpFetcher::kResponseCapacity - 1;

// An archive page in the block layout with the winning numbers of the sample,
// followed by markup that the reader passes over, so that the response fills
// the fetcher's 64 KB.
std::string ArchiveResponse(const DrawHistory& sample) {
  std::string anchors;
  std::string blocks;
  for (int b = 0; b < kBlockCount; ++b) {
    const int first = kFirstPageDraw + kDrawsPerBlock * b;
    anchors += std::string(page_pattern::kBlockAnchor) + FormatInt(first) + "\">No." +
               FormatInt(first) + "</A>\r\n";
    blocks += "<A name=\"" + FormatInt(first) + "\"></A><TABLE><TR><TH>NUM" +
              std::string(page_pattern::kBlockHeading) + "</TH></TR>\r\n<TR>";
    for (int i = 0; i < kDrawsPerBlock; ++i) {
      blocks += "<TD>" + FormatInt(first + i) + "</TD><TD>" + std::string(page_pattern::kBoldOpen) +
                std::string(sample.record(first + i).digitsText()) + "</B></TD>\r\n";
    }
    blocks += "</TR></TABLE>\r\n";
  }
  std::string response = kResponseHead + anchors + blocks;
  const std::string filler = "<TR><TD class=\"date\">-</TD><TD class=\"prize\">-</TD></TR>\r\n";
  while (response.size() + filler.size() <= kResponseSize)
    response += filler;
  response.append(kResponseSize - response.size(), ' ');
  return response;
}

// The socket calls of the fetcher answered from memory: every connection
// receives the same response, in chunks as large as the fetcher asks for.
class ServedResponse final : public SocketApi {
 public:
  explicit ServedResponse(std::string response) : response_(std::move(response)) {}

  int Socket() override {
    sent_ = 0;
    return kSocket;
  }
  int Connect(int, const sockaddr_in&) override { return 0; }
  int Poll(int, short events, int) override { return events; }
  ssize_t Send(int, std::span<const char> bytes) override {
    return static_cast<ssize_t>(bytes.size());
  }
  ssize_t Receive(int, std::span<char> buffer) override {
    const std::size_t size = std::min(buffer.size(), response_.size() - sent_);
    std::memcpy(buffer.data(), response_.data() + sent_, size);
    sent_ += size;
    return static_cast<ssize_t>(size);
  }
  int PendingError(int) override { return 0; }
  void Shutdown(int) override {}
  void Close(int) override {}
  std::optional<in_addr> ResolveIpv4(const std::string&) override {
    return in_addr{htonl(INADDR_LOOPBACK)};
  }

 private:
  static constexpr int kSocket = 1000;
  std::string response_;
  std::size_t sent_ = 0;
};

constexpr int kLastPageDraw = kFirstPageDraw + kBlockCount * kDrawsPerBlock - 1;

// The sample up to draw `lastDraw`: before the page, the draw before its
// first; after it, its last draw.
bool LoadSampleUpTo(DrawHistory& history, benchmark::State& state, int lastDraw) {
  if (!LoadSampleHistory(history, state))
    return false;
  for (int n = lastDraw + 1; n <= history.count; ++n)
    history.record(n) = DrawRecord{};
  history.count = lastDraw;
  return true;
}

// One archive page of 64 KB read into the history: fetched (from memory),
// its 500 draws appended, and "tmp.dat" written. Its floor: the 64 KB copied
// once, and a file of the size of "tmp.dat" written durably in place of an
// old one.
void BM_ReadResultPage(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory sample;
  DrawHistory pristine;
  DrawHistory afterPage;
  if (!folder.ok() || !LoadSampleHistory(sample, state) ||
      !LoadSampleUpTo(pristine, state, kFirstPageDraw - 1) ||
      !LoadSampleUpTo(afterPage, state, kLastPageDraw)) {
    return;
  }
  const std::string response = ArchiveResponse(sample);
  const std::string scratch = afterPage.SaveText();
  ServedResponse server(response);
  SilentFeedback feedback;
  HttpFetcher fetcher(feedback, server);
  DrawHistory history = pristine;
  ResultPageReader reader(fetcher, history, "http://127.0.0.1/numbers/");
  std::string received;
  received.reserve(response.size());
  TimeAgainstFloor(
      state, [&] { history = pristine; },
      [&] {
        const Result<std::string> page = reader.FetchResultPage(kPageName);
        return page.ok() && ReadResultPageText(kPageName, *page, history).ok() &&
               reader.WriteScratchFile().ok() && history.count == kLastPageDraw;
      },
      [&] {
        received.assign(response);
        benchmark::DoNotOptimize(received.data());
        return plain::RewriteDurably(kFloorFile, scratch);
      },
      "the page was not read whole");
}
BENCHMARK(BM_ReadResultPage)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kitebar
