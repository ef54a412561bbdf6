#include "settings/FieldExchange.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/CaseNames.h"

namespace kitebar {
namespace {

struct DecimalCase {
  const char* text;
  std::optional<float> value;
  const char* warning;
};

class DecimalField : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalField, TakesNumbersAndWarnsOutsideTheRange) {
  const TakenField<float> taken = TakeDecimalField(GetParam().text, kReachPointRange);
  EXPECT_EQ(taken.warning, GetParam().warning);
  ASSERT_EQ(taken.value.has_value(), GetParam().value.has_value());
  if (taken.value) {
    EXPECT_FLOAT_EQ(*taken.value, *GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ReachPoint, DecimalField,
    testing::Values(DecimalCase{"1.234", 1.234f, ""}, DecimalCase{" 2 ", 2.0f, ""},
                    DecimalCase{"0", 0.0f, ""}, DecimalCase{"5", 5.0f, ""},
                    DecimalCase{".5", 0.5f, ""}, DecimalCase{"2e0", 2.0f, ""},
                    DecimalCase{"6", 6.0f, "0 から 5 までの数字を入力してください。"},
                    DecimalCase{"-0.01", -0.01f, "0 から 5 までの数字を入力してください。"},
                    DecimalCase{"5.0001", 5.0001f, "0 から 5 までの数字を入力してください。"},
                    DecimalCase{"", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"abc", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"1.2x", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"1,5", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"inf", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"nan", std::nullopt, "数字を入力してください。"},
                    DecimalCase{"1e39", std::nullopt, "数字を入力してください。"}),
    [](const testing::TestParamInfo<DecimalCase>& info) {
      return test::CaseName(info.param.text, info.index);
    });

TEST(DecimalField, RangeMessagesCarryTheirBounds) {
  EXPECT_EQ(TakeDecimalField("16", kHitPointRange).warning,
            "10 から 15 までの数字を入力してください。");
  EXPECT_EQ(TakeDecimalField("5", kDiameterRange).warning,
            "20 から 50 までの数字を入力してください。");
  EXPECT_TRUE(TakeDecimalField("15", kHitPointRange).passed());
}

struct IntegerCase {
  const char* text;
  std::optional<int> value;
  const char* warning;
};

class IntegerField : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerField, TakesWholeIntegersOnly) {
  const TakenField<int> taken = TakeIntegerField(GetParam().text, kStepNumRange);
  EXPECT_EQ(taken.warning, GetParam().warning);
  EXPECT_EQ(taken.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    StepNum, IntegerField,
    testing::Values(IntegerCase{"40", 40, ""}, IntegerCase{"1", 1, ""}, IntegerCase{"300", 300, ""},
                    IntegerCase{" +7 ", 7, ""},
                    IntegerCase{"0", 0, "1 から 300 までの整数を入力してください。"},
                    IntegerCase{"301", 301, "1 から 300 までの整数を入力してください。"},
                    IntegerCase{"-5", -5, "1 から 300 までの整数を入力してください。"},
                    IntegerCase{"2147483648", std::nullopt, "整数を入力してください。"},
                    IntegerCase{"4.5", std::nullopt, "整数を入力してください。"},
                    IntegerCase{"", std::nullopt, "整数を入力してください。"},
                    IntegerCase{"x1", std::nullopt, "整数を入力してください。"}),
    [](const testing::TestParamInfo<IntegerCase>& info) {
      return test::CaseName(info.param.text, info.index);
    });

TEST(TextField, LengthLimitIsThreeCharacters) {
  EXPECT_EQ(TextLengthWarning(3, kShortTextMaxLength), "");
  EXPECT_EQ(TextLengthWarning(4, kShortTextMaxLength), "3 文字以内で入力してください。");
}

TEST(FieldDecimal, ShortestFormWithSixSignificantDigits) {
  EXPECT_EQ(FormatFieldDecimal(11.5f), "11.5");
  EXPECT_EQ(FormatFieldDecimal(1.26f), "1.26");
  EXPECT_EQ(FormatFieldDecimal(30.0f), "30");
  EXPECT_EQ(FormatFieldDecimal(1.23f), "1.23");
  EXPECT_EQ(FormatFieldDecimal(1.234567f), "1.23457");
  EXPECT_EQ(FormatFieldDecimal(1234567.0), "1.23457e+06");
  EXPECT_EQ(FormatFieldDecimal(0.00001), "1e-05");
  EXPECT_EQ(FormatFieldDecimal(0.0), "0");
}

}  // namespace
}  // namespace kitebar
