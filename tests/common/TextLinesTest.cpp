#include "common/TextLines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/CaseNames.h"

namespace kitebar {
namespace {

using namespace std::string_literals;

std::vector<std::string> Pieces(std::string_view contents, std::size_t maxLength) {
  std::vector<std::string> pieces;
  ForEachLinePiece(contents, maxLength,
                   [&](std::string_view piece) { pieces.emplace_back(piece); });
  return pieces;
}

// A line-by-line reader with a buffer of maxLength + 1 characters, one
// character at a time: the model that the pieces must follow.
std::vector<std::string> ModelPieces(std::string_view contents, std::size_t maxLength) {
  std::vector<std::string> pieces;
  std::size_t i = 0;
  while (i < contents.size()) {
    std::string piece;
    while (i < contents.size() && piece.size() < maxLength) {
      char c = contents[i++];
      if (c == '\r') {
        if (i < contents.size() && contents[i] == '\n')
          ++i;
        c = '\n';
      }
      piece.push_back(c);
      if (c == '\n')
        break;
    }
    pieces.push_back(piece.substr(0, piece.find('\0')));
  }
  return pieces;
}

struct PieceCase {
  std::string contents;
  std::size_t maxLength;
  std::vector<std::string> expected;
};

class LinePieces : public testing::TestWithParam<PieceCase> {};

TEST_P(LinePieces, AreTheReadersPieces) {
  EXPECT_EQ(Pieces(GetParam().contents, GetParam().maxLength), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinePieces,
    testing::Values(PieceCase{"0001,123\r\n0002,456\r\n", 127, {"0001,123\n", "0002,456\n"}},
                    PieceCase{"a\nb\rc\r\n\r\nd", 127, {"a\n", "b\n", "c\n", "\n", "d"}},
                    // A piece is full at maxLength characters; the line end then starts
                    // the next piece.
                    PieceCase{"abcdefg\r\nhi", 7, {"abcdefg", "\n", "hi"}},
                    PieceCase{"abcdef\r\nhi\r", 7, {"abcdef\n", "hi\n"}},
                    PieceCase{"abcdefghij\n", 4, {"abcd", "efgh", "ij\n"}},
                    // A NUL ends the text of its piece, not the piece.
                    PieceCase{"ab\0cd\nef"s, 127, {"ab", "ef"}}, PieceCase{"\r", 1, {"\n"}},
                    PieceCase{"", 127, {}}),
    [](const testing::TestParamInfo<PieceCase>& info) {
      return test::CaseName(info.param.contents + " max " + std::to_string(info.param.maxLength),
                            info.index);
    });

TEST(LinePieces, FollowTheCharacterByCharacterReaderOnAnyText) {
  std::mt19937 random(20240607);
  const std::string alphabet = "ab,\r\n\0"s;
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string contents;
    for (std::size_t n = length(random); n > 0; --n)
      contents += alphabet[pick(random)];
    for (std::size_t maxLength : {1, 2, 3, 7, 127}) {
      ASSERT_EQ(Pieces(contents, maxLength), ModelPieces(contents, maxLength))
          << testing::PrintToString(contents) << " maxLength " << maxLength;
    }
  }
}

TEST(WithCrLf, EveryLineFeedGetsACarriageReturn) {
  EXPECT_EQ(WithCrLf(""), "");
  EXPECT_EQ(WithCrLf("a"), "a");
  EXPECT_EQ(WithCrLf("\n"), "\r\n");
  EXPECT_EQ(WithCrLf("ab\n\ncd\ne"), "ab\r\n\r\ncd\r\ne");
  EXPECT_EQ(WithCrLf("x\r\n"), "x\r\r\n");
}

}  // namespace
}  // namespace kitebar
