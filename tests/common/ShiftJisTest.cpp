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

struct TextCase {
  const char* name;
  std::string utf8;
};

class Utf8ToShiftJisText : public testing::TestWithParam<TextCase> {};

TEST_P(Utf8ToShiftJisText, GivesWhatOneWholeConversionGives) {
  const Result<std::string> converted = Utf8ToShiftJis(GetParam().utf8);
  const std::optional<std::string> expected = WholeTextToCp932(GetParam().utf8);
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
    testing::Values(TextCase{"Empty", ""}, TextCase{"PlainAscii", "plain ASCII only\r\n"},
                    TextCase{"EveryAsciiByte", EveryAsciiByte()},
                    TextCase{"FullWidthOnly", "全角だけ"},
                    TextCase{
                        "PageRows",
                        "<td><b>第12回</B></td>\n<B> ハズレ </B>\n<B>第13回</B> ハズレ ハズレ\n"},
                    TextCase{"HalfWidthKanaAndSymbols", "半角ｶﾅ ﾚﾃﾞｨ と ～ ① ¥ \\ ~"},
                    TextCase{"NulBytesInside", "a\0第\0b"s},
                    // Text that cannot be converted: an emoji, a stray byte,
                    // a sequence cut by ASCII or by the end of the text.
                    TextCase{"Emoji", "ok 😀 ok"}, TextCase{"StrayByte", "ok \xFF ok"},
                    TextCase{"SequenceCutByAscii", "ok \xE7\xAC ok"},
                    TextCase{"SequenceCutByTheEnd", "ok \xE7\xAC"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kitebar
