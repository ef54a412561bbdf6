#include <gtest/gtest.h>

#include <string>

#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliSetType, SavesNamedKeysAndKeepsTheOthersFromTheSetFile) {
  TempWorkingDirectory folder;
  WriteFileBytes("./type3.ini", "[Toutatu1]\r\nf=3.5\r\n[SpeedRate3]\r\nnum=9\r\n");
  const test::CliResult result =
      RunCli({"settings", "set-type", "3", "Toutatu2=1.234", "Tekicyuten4=14", "EndPoint=123"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string file = ReadFileBytes("./type3.ini");
  EXPECT_EQ(
      file.rfind("[Toutatu1]\r\nf=3.50\r\n[SpeedRate3]\r\nnum=2\r\n[EndPoint]\r\nnum=123\r\n", 0),
      0u);
  EXPECT_TRUE(Contains(file, "[Toutatu2]\r\nf=1.23\r\n"));
  EXPECT_TRUE(Contains(file, "[Tekicyuten4]\r\nf=14.00\r\n"));
  EXPECT_TRUE(Contains(file, "[Tekicyuten1]\r\nf=11.50\r\n"));
  EXPECT_TRUE(Contains(result.out, "./type3.ini [Toutatu2] f=1.23\n"));
  EXPECT_EQ(result.out.rfind("./type3.ini [EndPoint] num=123\n", 0), 0u);
}

TEST(CliSetType, RefusalsWriteNothing) {
  TempWorkingDirectory folder;
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"settings", "set-type", "1", "Toutatu2=abc"}, "Toutatu2: 数字を入力してください。"},
      {{"settings", "set-type", "1", "SpeedRate2=1.5"}, "SpeedRate2: 整数を入力してください。"},
      {{"settings", "set-type", "1", "Toutatu5=1"}, "不明なキーです: Toutatu5"},
      {{"settings", "set-type", "1", "Toutatu1=7"},
       "Toutatu1: 0 から 5 までの数字を入力してください。設定ファイルは元のままです。"},
      {{"settings", "set-type", "1", "SpeedRate1=9"},
       "SpeedRate1: 0 から 4 までの整数を入力してください。設定ファイルは元のままです。"},
      {{"settings", "set-type", "1", "Toutatu2"}, "KEY=VALUE の形で指定してください"},
      {{"settings", "set-type", "1", "EndPoint=1234"}, "異常：停止定数の文字数が長すぎます。"},
      {{"settings", "set-type", "1", "EndPoint=1\n["},
       "異常：停止定数に使えない文字が含まれています。"},
      {{"settings", "set-type", "6", "EndPoint=1"}, "T の値 6 は範囲外です（1 から 5 まで）"},
      {{"settings", "set-type", "1"}, "KEY=VALUE"},
  };
  for (const auto& each : cases) {
    const test::CliResult result = RunCli(each.args);
    EXPECT_EQ(result.exitCode, 2) << each.message;
    EXPECT_TRUE(Contains(result.err, each.message)) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists("./type1.ini"));
}

// The file's own overlong stop constant stops the update although the command
// did not name it.
TEST(CliSetType, OverlongStopConstantInTheFileIsRefused) {
  TempWorkingDirectory folder;
  WriteFileBytes("./type2.ini", "[EndPoint]\r\nnum=23885\r\n");
  const test::CliResult result = RunCli({"settings", "set-type", "2", "Toutatu2=1"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(Contains(result.err, "異常：停止定数の文字数が長すぎます。"));
  EXPECT_EQ(ReadFileBytes("./type2.ini"), "[EndPoint]\r\nnum=23885\r\n");
}

TEST(CliSetCore, SavesValuesInRangeAndRefusesAnyOutside) {
  TempWorkingDirectory folder;
  const std::string before = "[EndRate]\r\nnum=9\r\n";
  WriteFileBytes("./base.ini", before);
  const struct {
    std::vector<std::string> args;
    const char* message;
  } refusals[] = {
      {{"settings", "set-core", "StepNum=0", "Diameter=30"},
       "StepNum: 1 から 300 までの整数を入力してください。設定ファイルは元のままです。\n"},
      {{"settings", "set-core", "Diameter=75", "EndRate=4"},
       "Diameter: 20 から 50 までの数字を入力してください。設定ファイルは元のままです。\n"},
      {{"settings", "set-core", "EndRate=5"},
       "EndRate: 0 から 4 までの整数を入力してください。設定ファイルは元のままです。\n"},
      {{"settings", "set-core", "StepNum=x"}, "StepNum: "},
      {{"settings", "set-core", "Toutatu1=1"}, "不明なキーです: Toutatu1"},
  };
  for (const auto& each : refusals) {
    const test::CliResult result = RunCli(each.args);
    EXPECT_EQ(result.exitCode, 2) << each.message;
    EXPECT_TRUE(Contains(result.err, each.message)) << result.err;
    EXPECT_EQ(ReadFileBytes("./base.ini"), before);
  }
  const test::CliResult saved = RunCli({"settings", "set-core", "StepNum=300", "Diameter=20"});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(saved.out,
            "./base.ini [EndRate] num=2\n./base.ini [StepNum] num=300\n"
            "./base.ini [Diameter] f=20.0\n");
}

TEST(CliSetCore, WriteFailureIsReported) {
  TempWorkingDirectory folder;
  WriteFileBytes("./base.ini", "[StepNum]\r\nnum=40\r\n");
  std::filesystem::permissions("./base.ini", std::filesystem::perms::owner_read);
  const test::CliResult result = RunCli({"settings", "set-core", "StepNum=50"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.err, "設定を保存できません"));
}

}  // namespace
}  // namespace kitebar
