#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "history/HttpResponseBody.h"

namespace kitebar {
namespace {

const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";

struct BodyCase {
  const char* name;
  std::string received;
  ResponseEnd end;
  // The text the page reader gets, or nothing when the response must fail.
  std::optional<std::string> text;
};

class CompleteResponseTest : public testing::TestWithParam<BodyCase> {};

TEST_P(CompleteResponseTest, GivesTheWholeBodyOrFails) {
  const BodyCase& c = GetParam();
  const Result<std::string> got = CompleteResponse(c.received, c.end);
  if (c.text) {
    ASSERT_TRUE(got.ok()) << got.message();
    EXPECT_EQ(*got, *c.text);
  } else {
    EXPECT_FALSE(got.ok()) << *got;
    EXPECT_FALSE(got.message().empty());
  }
}

constexpr ResponseEnd kClosed = ResponseEnd::kClosed;
constexpr ResponseEnd kInterrupted = ResponseEnd::kInterrupted;
constexpr ResponseEnd kCapacity = ResponseEnd::kCapacity;

INSTANTIATE_TEST_SUITE_P(
    Responses, CompleteResponseTest,
    testing::Values(
        BodyCase{"PlainBodyUntilClosed", kOk + "\r\n<B>444</B>", kClosed, kOk + "\r\n<B>444</B>"},
        BodyCase{"PlainBodyInterrupted", kOk + "\r\n<B>444</B>", kInterrupted, std::nullopt},
        BodyCase{"PlainBodyCutAtCapacity", kOk + "\r\n<B>44", kCapacity, kOk + "\r\n<B>44"},
        // Once stored as 004: the chunk-size line fell inside the number.
        BodyCase{"ChunkSizeLineInsideANumber", kChunked + "4\r\n<B>4\r\n6\r\n44</B>\r\n0\r\n\r\n",
                 kClosed, kChunked + "<B>444</B>"},
        BodyCase{"ChunksWithExtensionsBareLfsAndTrailers",
                 kChunked + "A;name=x\n0123456789\n0\nTrailer: y\n\n", kClosed,
                 kChunked + "0123456789"},
        BodyCase{"ChunkedCompleteThoughInterrupted", kChunked + "3\r\nabc\r\n0\r\n\r\n",
                 kInterrupted, kChunked + "abc"},
        BodyCase{"ChunkedWithoutTheLastChunk", kChunked + "3\r\nabc\r\n", kClosed, std::nullopt},
        BodyCase{"ChunkShorterThanItsSize", kChunked + "10\r\nabc", kClosed, std::nullopt},
        BodyCase{"ChunkSizeNotHexadecimal", kChunked + "zz\r\nabc\r\n0\r\n\r\n", kClosed,
                 std::nullopt},
        BodyCase{"ChunkSizeMissing", kChunked + "\r\nabc\r\n0\r\n\r\n", kClosed, std::nullopt},
        BodyCase{"ChunkLongerThanItsSize", kChunked + "2\r\nabc\r\n0\r\n\r\n", kClosed,
                 std::nullopt},
        BodyCase{"ChunkSizeBeyondAnyPage", kChunked + "FFFFFFFFFFFFFFFFF1\r\nabc", kClosed,
                 std::nullopt},
        BodyCase{"ChunkedCutAtCapacity", kChunked + "5\r\nabc", kCapacity, kChunked + "abc"},
        BodyCase{"ContentLengthExact", kOk + "Content-Length: 3\r\n\r\nabc", kInterrupted,
                 kOk + "Content-Length: 3\r\n\r\nabc"},
        BodyCase{"BytesBeyondTheContentLengthLeftOut", kOk + "content-length:3\r\n\r\nabc<B>999",
                 kClosed, kOk + "content-length:3\r\n\r\nabc"},
        BodyCase{"BodyShorterThanContentLength", kOk + "Content-Length: 300\r\n\r\nabc", kClosed,
                 std::nullopt},
        BodyCase{"ShortBodyCutAtCapacity", kOk + "Content-Length: 300\r\n\r\nabc", kCapacity,
                 kOk + "Content-Length: 300\r\n\r\nabc"},
        BodyCase{"ContentLengthNotANumber", kOk + "Content-Length: 3x\r\n\r\nabc", kClosed,
                 std::nullopt},
        BodyCase{"TwoDifferentContentLengths",
                 kOk + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", kClosed, std::nullopt},
        BodyCase{"UnknownTransferEncoding", kOk + "Transfer-Encoding: gzip\r\n\r\nabc", kClosed,
                 std::nullopt},
        BodyCase{"HeadersWithoutTheirEnd", kOk + "Server: x\r\n", kClosed, std::nullopt}),
    [](const testing::TestParamInfo<BodyCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kitebar
