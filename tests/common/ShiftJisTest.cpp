#include "common/ShiftJis.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

namespace kitebar {
namespace {

using namespace std::string_literals;

// The whole text through one conversion: what the page writer must produce,
// however it splits the work.
std::optional<std::string> WholeTextToCp932(const std::string& utf8) {
  const iconv_t handle = ::iconv_open("CP932", "UTF-8");
  std::string output(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = ::iconv(handle, &in, &inLeft, &out, &outLeft);
  ::iconv_close(handle);
  if (result == static_cast<std::size_t>(-1))
    return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

class Utf8ToShiftJisText : public testing::TestWithParam<std::string> {};

TEST_P(Utf8ToShiftJisText, GivesWhatOneWholeConversionGives) {
  const Result<std::string> converted = Utf8ToShiftJis(GetParam());
  const std::optional<std::string> expected = WholeTextToCp932(GetParam());
  ASSERT_EQ(converted.ok(), expected.has_value());
  if (expected) {
    EXPECT_EQ(*converted, *expected);
  }
}

std::string EveryAsciiByte() {
  std::string text;
  for (int c = 0; c < 0x80; ++c)
    text += static_cast<char>(c);
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8ToShiftJisText,
    testing::Values("", "plain ASCII only\r\n", EveryAsciiByte(), "全角だけ",
                    "<td><b>第12回</B></td>\n<B> ハズレ </B>\n<B>第13回</B> ハズレ ハズレ\n",
                    "半角ｶﾅ ﾚﾃﾞｨ と ～ ① ¥ \\ ~", "a\0第\0b"s,
                    // Text that cannot be converted: an emoji, a stray byte,
                    // a sequence cut by ASCII or by the end of the text.
                    "ok 😀 ok", "ok \xFF ok", "ok \xE7\xAC ok", "ok \xE7\xAC"));

}  // namespace
}  // namespace kitebar
