#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/ShiftJis.h"

namespace kitebar {
namespace {

// Code page 932 has two tables in use: glibc's iconv (the Linux build) and
// Windows's own. The program must write the same bytes with either, so both
// are checked against iconv's table, character by character, here folded into
// one checksum (FNV-1a) that iconv gave on Linux. On a mismatch, print the
// listing of both platforms and compare them.

std::string Hex(std::string_view bytes) {
  std::string text;
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", c);
    text += digits;
  }
  return text;
}

std::string Utf8Of(unsigned codePoint) {
  std::string text;
  if (codePoint < 0x800) {
    text += static_cast<char>(0xC0 | (codePoint >> 6));
  } else {
    text += static_cast<char>(0xE0 | (codePoint >> 12));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  }
  text += static_cast<char>(0x80 | (codePoint & 0x3F));
  return text;
}

// "<code point> <bytes or ->" for every character of the Basic Multilingual
// Plane beyond ASCII.
std::string EncodingListing() {
  std::string listing;
  char name[8];
  for (unsigned codePoint = 0x80; codePoint < 0x10000; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
      continue;  // surrogates are no characters
    const Result<std::string> encoded = Utf8ToShiftJis(Utf8Of(codePoint));
    std::snprintf(name, sizeof name, "%04X ", codePoint);
    listing += name + (encoded.ok() ? Hex(*encoded) : "-") + "\n";
  }
  return listing;
}

// "<bytes> <UTF-8 or ->" for every byte from 0x80, alone and followed by
// each byte.
std::string DecodingListing() {
  std::string listing;
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      std::string bytes(1, static_cast<char>(lead));
      if (trail != 0)
        bytes += static_cast<char>(trail);
      const Result<std::string> decoded = ShiftJisToUtf8(bytes);
      listing += Hex(bytes) + " " + (decoded.ok() ? Hex(*decoded) : "-") + "\n";
    }
  }
  return listing;
}

std::uint64_t Checksum(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3u;
  }
  return hash;
}

TEST(CodePage932, EveryCharacterIsWrittenAsIconvWritesIt) {
  const std::string listing = EncodingListing();
  EXPECT_EQ(Checksum(listing), 1800373757212287514u)
      << "set KITEBAR_PRINT_CP932=1 to print the listing";
  if (std::getenv("KITEBAR_PRINT_CP932") != nullptr)
    std::fwrite(listing.data(), 1, listing.size(), stdout);
}

TEST(CodePage932, EveryByteSequenceIsReadAsIconvReadsIt) {
  const std::string listing = DecodingListing();
  EXPECT_EQ(Checksum(listing), 12236245654463623247u)
      << "set KITEBAR_PRINT_CP932=1 to print the listing";
  if (std::getenv("KITEBAR_PRINT_CP932") != nullptr)
    std::fwrite(listing.data(), 1, listing.size(), stdout);
}

// Where the tables differ, iconv's way: the JIS forms of a few signs take
// their look-alike's code, and Windows's private round-trip codes are none.
struct Difference {
  const char* name;
  const char* utf8;
  const char* shiftJis;  // nullptr: no code
};

class CodePage932Difference : public testing::TestWithParam<Difference> {};

TEST_P(CodePage932Difference, FollowsIconv) {
  const Result<std::string> encoded = Utf8ToShiftJis(GetParam().utf8);
  ASSERT_EQ(encoded.ok(), GetParam().shiftJis != nullptr);
  if (encoded.ok()) {
    EXPECT_EQ(Hex(*encoded), Hex(GetParam().shiftJis));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Characters, CodePage932Difference,
    testing::Values(Difference{"CentSign", "¢", "\x81\x91"},
                    Difference{"PoundSign", "£", "\x81\x92"}, Difference{"YenSign", "¥", "\x5C"},
                    Difference{"NotSign", "¬", "\x81\xCA"}, Difference{"EmDash", "—", "\x81\x5C"},
                    Difference{"DoubleVerticalLine", "‖", "\x81\x61"},
                    Difference{"Overline", "‾", "\x7E"}, Difference{"MinusSign", "−", "\x81\x7C"},
                    Difference{"WaveDash", "〜", "\x81\x60"},
                    Difference{"AmongOtherText", "~〜¥", "~\x81\x60\x5C"},
                    Difference{"ControlU0080", "\xC2\x80", nullptr},
                    Difference{"PrivateUseF8F0", "\xEF\xA3\xB0", nullptr},
                    Difference{"PrivateUseF8F3AfterText", "a\xEF\xA3\xB3", nullptr}),
    [](const testing::TestParamInfo<Difference>& info) { return info.param.name; });

TEST(CodePage932Difference, ALoneByte0x80ReadsAsNoCharacter) {
  EXPECT_FALSE(ShiftJisToUtf8("a\x80").ok());
  EXPECT_EQ(Hex(*ShiftJisToUtf8("\x81\x80")), Hex("÷"));
}

}  // namespace
}  // namespace kitebar
