#include "common/Sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "support/CaseNames.h"

namespace kitebar {
namespace {

struct Vector {
  const char* name;
  std::string message;
  const char* digest;
};

// FIPS 180-2, appendix B, and the empty message; the two long ones cross
// the block boundary where the padding needs a block of its own.
const Vector kVectors[] = {
    {"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"Abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"FiftySixBytes", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"HundredTwelveBytes",
     "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmn"
     "opqrsmnopqrstnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {"MillionAs", std::string(1000000, 'a'),
     "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

class Sha256Vectors : public testing::TestWithParam<Vector> {};

// Both engines: the processor's SHA extensions (where it has them) and the
// portable code.
TEST_P(Sha256Vectors, DigestIsTheStandardOne) {
  EXPECT_EQ(Sha256Hex(GetParam().message), GetParam().digest);
  Sha256 portable(Sha256::Engine::kPortable);
  portable.Update(GetParam().message);
  EXPECT_EQ(HexOf(portable.Finish()), GetParam().digest);
}

// Fed in pieces of every size from 1 to 130 bytes, the digest is that of
// the whole: the buffering across blocks loses or repeats nothing.
TEST_P(Sha256Vectors, PiecesGiveTheDigestOfTheWhole) {
  const std::string message = GetParam().message.substr(0, 2000);
  const std::string whole = Sha256Hex(message);
  for (std::size_t piece = 1; piece <= 130; ++piece) {
    Sha256 hash;
    for (std::size_t at = 0; at < message.size(); at += piece)
      hash.Update(std::string_view(message).substr(at, piece));
    ASSERT_EQ(HexOf(hash.Finish()), whole) << "pieces of " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(Fips180, Sha256Vectors, testing::ValuesIn(kVectors),
                         [](const testing::TestParamInfo<Vector>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

}  // namespace
}  // namespace kitebar
