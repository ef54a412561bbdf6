#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "history/HttpResponseBody.h"

namespace kitebar {
namespace {

const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";
const std::string kLength3 = kOk + "Content-Length: 3\r\n\r\n";

struct BodyCase {
  const char* name;
  std::string received;
  ResponseEnd end;
  std::optional<std::string> text;  // nothing: the response fails
};

class CompleteResponseTest : public testing::TestWithParam<BodyCase> {};

TEST_P(CompleteResponseTest, GivesTheWholeBodyOrFails) {
  const Result<std::string> got = CompleteResponse(GetParam().received, GetParam().end);
  EXPECT_EQ(got.ok() ? std::optional<std::string>(*got) : std::nullopt, GetParam().text)
      << got.message();
}

constexpr ResponseEnd kClosed = ResponseEnd::kClosed;
constexpr ResponseEnd kInterrupted = ResponseEnd::kInterrupted;
constexpr ResponseEnd kCapacity = ResponseEnd::kCapacity;

INSTANTIATE_TEST_SUITE_P(
    Responses, CompleteResponseTest,
    testing::Values(
        BodyCase{"PlainBodyInterrupted", kOk + "\r\nabc", kInterrupted, std::nullopt},
        BodyCase{"ChunksWithExtensionsBareLfsAndTrailers",
                 kChunked + "A;x=y\n0123456789\r\n0\nTrailer: z\n\n", kInterrupted,
                 kChunked + "0123456789"},
        BodyCase{"ChunkLongerThanItsSize", kChunked + "2\r\nabc\r\n0\r\n\r\n", kClosed,
                 std::nullopt},
        BodyCase{"ChunkedCutAtCapacity", kChunked + "5\r\nabc", kCapacity, kChunked + "abc"},
        BodyCase{"ContentLengthReachedThoughInterrupted", kLength3 + "abc<B>999", kInterrupted,
                 kLength3 + "abc"},
        BodyCase{"TwoContentLengths", kOk + "Content-Length: 4\r\n" + kLength3.substr(17) + "abcd",
                 kClosed, std::nullopt},
        BodyCase{"UnknownTransferEncoding", kOk + "Transfer-Encoding: gzip\r\n\r\nabc", kClosed,
                 std::nullopt}),
    [](const testing::TestParamInfo<BodyCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kitebar
