#include "history/ResultsCsv.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "history/CsvText.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

struct CsvDraw {
  int line = 0;
  int draw = 0;
  std::string digits;
};

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos)
      return fields;
    line.remove_prefix(comma + 1);
  }
}

std::string LineMessage(int line, std::string_view what) {
  return FormatInt(line) + " 行目: " + std::string(what);
}

// Reads one data line; the draw field must be a number of at most four digits
// and the last field three digits.
Result<CsvDraw> ParseDataLine(std::string_view text, int line) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() != 2 && fields.size() != 3) {
    return Status::Failure(
        LineMessage(line, "「回,日付,番号」または「回,番号」の形ではありません。"));
  }
  if (!IsDigits(fields.front()) || fields.front().size() > 4) {
    return Status::Failure(LineMessage(line, "回が数字ではありません。"));
  }
  const std::string_view digits = fields.back();
  if (digits.size() != 3 || !IsDigits(digits)) {
    return Status::Failure(LineMessage(line, "当選番号が3桁の数字ではありません。"));
  }
  return CsvDraw{line, ParseIntLikeAtoi(fields.front()), std::string(digits)};
}

// A header names its columns: its first field holds no digit at all.
bool LooksLikeHeader(std::string_view text) {
  const std::string_view first = SplitFields(text).front();
  return first.find_first_of("0123456789") == std::string_view::npos;
}

Result<std::vector<CsvDraw>> ParseCsv(std::string_view csv) {
  std::vector<CsvDraw> draws;
  int lineNumber = 0;
  while (!csv.empty()) {
    const std::size_t newline = csv.find('\n');
    std::string_view text = csv.substr(0, newline);
    csv.remove_prefix(newline == std::string_view::npos ? csv.size() : newline + 1);
    ++lineNumber;
    if (!text.empty() && text.back() == '\r')
      text.remove_suffix(1);
    if (text.empty())
      continue;
    if (lineNumber == 1 && LooksLikeHeader(text))
      continue;
    Result<CsvDraw> draw = ParseDataLine(text, lineNumber);
    if (!draw.ok())
      return draw.status();
    if (!draws.empty() && draw->draw <= draws.back().draw) {
      return Status::Failure(LineMessage(lineNumber, draw->draw == draws.back().draw
                                                         ? "回が重複しています。"
                                                         : "回が昇順に並んでいません。"));
    }
    draws.push_back(std::move(draw.value()));
  }
  return draws;
}

Status CheckAgainstHistory(const DrawHistory& history, const std::vector<CsvDraw>& draws) {
  int expectedNext = history.count + 1;
  for (const CsvDraw& draw : draws) {
    if (draw.draw < 1)
      return Status::Failure(LineMessage(draw.line, "回は 1 以上です。"));
    if (draw.draw <= history.count) {
      if (history.record(draw.draw).digitsText() != draw.digits) {
        return Status::Failure("第 " + FormatInt(draw.draw) + " 回の当選番号が履歴（" +
                               std::string(history.record(draw.draw).digitsText()) +
                               "）と一致しません（" + FormatInt(draw.line) +
                               " 行目: " + draw.digits + "）。");
      }
      continue;
    }
    if (draw.draw != expectedNext) {
      return Status::Failure(
          LineMessage(draw.line, "第 " + FormatInt(expectedNext) + " 回が抜けています。"));
    }
    if (draw.draw > DrawHistory::kMaxDrawNumber) {
      return Status::Failure(LineMessage(draw.line, "第 9999 回より後の回は記録できません。"));
    }
    ++expectedNext;
  }
  return Status::Ok();
}

}  // namespace

Result<int> MergeResultsCsv(DrawHistory& history, std::string_view csv) {
  const Result<std::string> text = CsvText(csv);
  if (!text.ok())
    return text.status();
  const Result<std::vector<CsvDraw>> draws = ParseCsv(*text);
  if (!draws.ok())
    return draws.status();
  if (Status agreed = CheckAgainstHistory(history, *draws); !agreed.ok())
    return agreed;
  int added = 0;
  for (const CsvDraw& draw : *draws) {
    if (draw.draw <= history.count)
      continue;
    if (Status stored = history.SetDigits(draw.draw, draw.digits); !stored.ok())
      return stored;
    ++history.count;
    ++added;
  }
  return added;
}

Result<int> AddResultsCsv(DrawHistory& history, std::string_view csv) {
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  Result<int> added = MergeResultsCsv(history, csv);
  if (!added.ok()) {
    return Status::Failure(added.message() +
                           " CSV を直してから、もう一度実行してください。当選番号ファイルは変更して"
                           "いません。");
  }
  if (Status saved = history.Save(); !saved.ok()) {
    return Status::Failure("当選番号を保存できません: " + saved.message() +
                           "。フォルダーの書き込み権限と空き容量を確かめてから、もう一度実行して"
                           "ください。当選番号ファイルは元のままです。");
  }
  return added;
}

}  // namespace kitebar
