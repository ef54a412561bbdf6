// Every refusal of the command line says what is wrong and what to do, in
// Japanese, and leaves the files as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/HttpTestServer.h"
#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::HistoryUpTo;
using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;
  int historyDraws;     // -1: no history file
  std::string baseIni;  // kSiteMark stands for a result site that has no page
  int exitCode;
  // Parts of the message: what is wrong, then what to do.
  std::vector<std::string> messageParts;
  // Other files of the folder, by name; a name ending in "/" is a folder.
  std::vector<std::pair<std::string, std::string>> files = {};
};

constexpr char kSiteMark[] = "@SITE@";

// Every file of the working folder with its bytes, but for the empty lock
// file that a writer leaves.
std::map<std::string, std::string> FolderContents() {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (entry.path().filename() != "kitebar.lock")
      contents[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
  }
  return contents;
}

class CliRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(CliRefusal, SaysWhatIsWrongAndWhatToDoAndChangesNothing) {
  TempWorkingDirectory folder;
  const RefusalCase& c = GetParam();
  std::optional<test::PageServer> site;
  std::string baseIni = c.baseIni;
  if (const std::size_t mark = baseIni.find(kSiteMark); mark != std::string::npos) {
    site.emplace(std::map<std::string, std::string>{});
    baseIni.replace(mark, std::string_view(kSiteMark).size(), site->BaseUrl());
  }
  if (c.historyDraws >= 0)
    WriteFileBytes("kitebarnum.dat", HistoryUpTo(c.historyDraws));
  if (!baseIni.empty())
    WriteFileBytes("base.ini", baseIni);
  WriteFileBytes("bad.csv", "1,007\n2,14\n");
  for (const auto& [name, bytes] : c.files) {
    if (name.ends_with('/'))
      std::filesystem::create_directory(name);
    else
      WriteFileBytes(name, bytes);
  }
  const std::map<std::string, std::string> before = FolderContents();

  const test::CliResult result = RunCli(c.args);
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_TRUE(result.out.empty()) << result.out;
  // One line says what failed: the last one, after any progress lines.
  const std::size_t lastLine = result.err.rfind('\n', result.err.size() - 2) + 1;
  EXPECT_EQ(result.err.find("kitebar-cli: "), lastLine) << result.err;
  EXPECT_EQ(result.err.find('\n', lastLine), result.err.size() - 1) << result.err;
  for (const std::string& part : c.messageParts)
    EXPECT_NE(result.err.find(part), std::string::npos) << part << " not in: " << result.err;
  // One piece of advice, fitting the cause: none of these is about space.
  const std::size_t advice = result.err.find("もう一度実行してください");
  if (advice != std::string::npos) {
    EXPECT_EQ(result.err.find("もう一度実行してください", advice + 1), std::string::npos)
        << result.err;
  }
  EXPECT_EQ(result.err.find("空き容量"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("。。"), std::string::npos) << result.err;
  // The parser's own English never shows through the Japanese.
  for (const char* english : {"required", " not in ", "Expected", "convert", "received"})
    EXPECT_EQ(result.err.find(english), std::string::npos) << result.err;
  EXPECT_EQ(FolderContents(), before);

  if (c.historyDraws >= 0) {
    EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryUpTo(c.historyDraws));
  } else {
    EXPECT_FALSE(std::filesystem::exists("kitebarnum.dat"));
  }
  EXPECT_FALSE(std::filesystem::exists("Kitebard.dat"));
  EXPECT_EQ(ReadFileBytes("base.ini"), baseIni);
}

const std::string kUnreachableSite = "[TvalUrl]\r\nBaseURL=http://127.0.0.1:1/numbers/\r\n";

// base.ini as Notepad saves it in "UTF-16 LE".
const std::string kUtf16BaseIni("\xFF\xFE[\0T\0v\0a\0l\0U\0r\0l\0]\0", 20);

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRefusal,
    testing::Values(
        RefusalCase{"Utf16Settings",
                    {"predict"},
                    10,
                    kUtf16BaseIni,
                    1,
                    {"「base.ini」は UTF-16", "「UTF-8」にして上書き保存"}},
        RefusalCase{"RegisterDraw10000",
                    {"register", "123"},
                    9999,
                    "",
                    2,
                    {"第 10000 回は登録できません", "埋まっています", "kitebar-cli repair"}},
        RefusalCase{"PredictDraw10000",
                    {"predict"},
                    9999,
                    "",
                    1,
                    {"第 10000 回は予想できません", "第 9999 回まで"}},
        RefusalCase{"AnalyseDraw10000",
                    {"analyse"},
                    9999,
                    "",
                    2,
                    {"第 10000 回は解析できません", "第 9999 回まで"}},
        RefusalCase{"PositionOfDraw10000",
                    {"position", "10000", "123"},
                    9999,
                    "",
                    2,
                    {"第 10000 回は風車位置を登録できません", "第 9999 回まで"}},
        RefusalCase{"CorrectionOfADrawNotYetHeld",
                    {"register", "--draw", "12", "123"},
                    10,
                    "",
                    2,
                    {"第 12 回は修正できません", "--draw を付けずに"}},
        RefusalCase{"CorrectionOfDrawZero",
                    {"register", "--draw", "0", "456"},
                    10,
                    "",
                    2,
                    {"第 0 回は修正できません", "第 1 回から第 10 回まで"}},
        RefusalCase{"AnalysisUpToDrawZero",
                    {"analyse", "--draw", "0"},
                    10,
                    "",
                    2,
                    {"第 0 回は解析できません", "第 2 回から第 11 回まで"}},
        RefusalCase{"ListingOfDrawOne",
                    {"predict", "--draw", "1"},
                    7088,
                    "",
                    2,
                    {"第 1 回は予想できません", "第 2 回から"}},
        RefusalCase{"ListingOfDraw10000",
                    {"predict", "--draw", "10000"},
                    10,
                    "",
                    2,
                    {"第 10000 回は予想できません", "第 9999 回まで"}},
        RefusalCase{"SettingOutOfRange",
                    {"settings", "set-core", "StepNum=0"},
                    10,
                    "[StepNum]\r\nnum=7\r\n",
                    2,
                    {"1 から 300 まで", "元のまま"}},
        RefusalCase{"EntryOfLetters",
                    {"register", "12a"},
                    10,
                    "",
                    2,
                    {"3 桁の数字ではありません", "指定してください"}},
        RefusalCase{"AnalysisOfAnEmptyHistory",
                    {"analyse"},
                    0,
                    "",
                    2,
                    {"1 回分以上必要です", "登録してから"}},
        RefusalCase{
            "MissingHistory",
            {"predict"},
            -1,
            "",
            1,
            {"当選番号の取得に失敗しました。", "ファイルまたはフォルダーがありません", "load-csv"}},
        RefusalCase{"BadCsv",
                    {"load-csv", "bad.csv"},
                    -1,
                    "",
                    1,
                    {"2 行目", "CSV を直してから", "変更していません"}},
        RefusalCase{"MissingCsv",
                    {"load-csv", "missing.csv"},
                    -1,
                    "",
                    1,
                    {"「missing.csv」を開けません", "名前と場所を確かめて"}},
        RefusalCase{"UnknownOption",
                    {"predict", "--no-such-option"},
                    10,
                    "",
                    2,
                    {"コマンドの指定が正しくありません", "--help"}},
        RefusalCase{"UnknownCommand",
                    {"nosuch"},
                    10,
                    "",
                    2,
                    {"「nosuch」というコマンドはありません", "--help"}},
        RefusalCase{"UnknownOptionBeforeTheCommand",
                    {"--bogus", "predict"},
                    10,
                    "",
                    2,
                    {"「--bogus」というオプションはありません", "--version"}},
        RefusalCase{"OptionValueOutOfRange",
                    {"analyse", "--type", "6"},
                    10,
                    "",
                    2,
                    {"--type の値 6 は範囲外です（1 から 5 まで）", "--help"}},
        RefusalCase{"UnknownSettingsKey",
                    {"settings", "set-core", "Speed=3"},
                    10,
                    "",
                    2,
                    {"不明なキーです: Speed", "--help"}},
        RefusalCase{"UnreachableResultSite",
                    {"import"},
                    10,
                    kUnreachableSite,
                    1,
                    {"当選番号の取得に失敗しました。", "BaseURL", "もう一度実行してください"}},
        RefusalCase{"HttpsResultSite",
                    {"import"},
                    10,
                    "[TvalUrl]\r\nBaseURL=https://example.com/numbers/\r\n",
                    1,
                    {"URLが不正です。https:// には対応していません", "送っていません",
                     "BaseURL を http:// で始まる正しい URL に直して"}},
        RefusalCase{"OverlongResultSiteUrl",
                    {"import"},
                    10,
                    "[TvalUrl]\r\nBaseURL=http://" + std::string(270, 'a') + "/\r\n",
                    1,
                    {"URL が長すぎます（", "送っていません", "BaseURL を"}},
        RefusalCase{
            "ResultSiteWithoutTheIndex",
            {"import"},
            10,
            "[TvalUrl]\r\nBaseURL=" + std::string(kSiteMark) + "\r\n",
            1,
            {"numtop01.html）を読めませんでした: サーバーはこの要求に「404 Not Found」と答えました",
             "BaseURL が結果サイトを指しているか確かめて", "変更していません"}},
        RefusalCase{"StopConstantOfLetters",
                    {"settings", "set-type", "4", "EndPoint=ab"},
                    10,
                    "",
                    2,
                    {"EndPoint: 「ab」は数字ではありません", "3 文字まで", "元のまま"}},
        RefusalCase{"EmptyStopConstant",
                    {"settings", "set-type", "4", "EndPoint="},
                    10,
                    "",
                    2,
                    {"EndPoint: 値がありません", "元のまま"}},
        RefusalCase{"OverlongStopConstant",
                    {"settings", "set-type", "1", "EndPoint=12345"},
                    10,
                    "",
                    2,
                    {"異常：停止定数の文字数が長すぎます。", "3 文字まで"}},
        RefusalCase{"DiameterWithAnExponent",
                    {"settings", "set-core", "Diameter=3e1"},
                    10,
                    "",
                    2,
                    {"Diameter: 「3e1」の指数の形は使えません", "小数で", "元のまま"}},
        RefusalCase{"TwoRefusedSettings",
                    {"settings", "set-core", "StepNum=0", "Diameter=75"},
                    10,
                    "",
                    2,
                    {"StepNum: 1 から 300 まで"}},
        RefusalCase{"UnknownKind",
                    {"tune", "--kind", "foo", "--train-to", "5"},
                    10,
                    "",
                    2,
                    {"--kind の値「foo」は使えません", "straight,box,mini"}},
        RefusalCase{"OptionGivenTwice",
                    {"predict", "--draw", "5", "--draw", "6"},
                    10,
                    "",
                    2,
                    {"--draw は 1 回までしか指定できません"}},
        RefusalCase{"SettingsOverTheirLimitOnceWritten",
                    {"settings", "set-core", "StepNum=5"},
                    10,
                    "[Comment]\r\nNote=" + std::string(65500, 'x') + "\r\n",
                    1,
                    {"base.ini", "65536 バイト", "元のまま"}},
        RefusalCase{"FolderInPlaceOfTheLock",
                    {"register", "123"},
                    10,
                    "",
                    1,
                    {"kitebar.lock」は通常のファイルではない", "移してから"},
                    {{"kitebar.lock/", ""}}},
        RefusalCase{"OversizedSetsFile",
                    {"settings"},
                    10,
                    "",
                    1,
                    {"type5.ini」は大きすぎる", "別の場所へ移して"},
                    {{"type5.ini", std::string(70000, 'a')}}},
        RefusalCase{"Utf16CsvWithoutItsMark",
                    {"load-csv", "u16.csv"},
                    10,
                    "",
                    1,
                    {"NUL 文字", "保存し直して", "変更していません"},
                    {{"u16.csv", std::string("1\0,\0"
                                             "1\0"
                                             "2\0"
                                             "3\0\n\0",
                                             12)}}},
        RefusalCase{"RepairWithoutHistory",
                    {"repair"},
                    -1,
                    "",
                    1,
                    {"kitebarnum.dat がないため、修復するものがありません",
                     "フォルダーに移ってから", "load-csv"}}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(CliVersion, PrintsTheVersionAndSucceeds) {
  const test::CliResult result = RunCli({"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "kitebar-cli 1.0\n");
}

}  // namespace
}  // namespace kitebar
