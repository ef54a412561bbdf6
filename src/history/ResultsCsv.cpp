#include "history/ResultsCsv.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/NumberText.h"
#include "history/CsvDraws.h"
#include "history/CsvText.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

// At most this many draws are named in one refusal; a count tells the rest.
constexpr std::size_t kNamedAtMost = 10;

constexpr char kNothingChanged[] = "当選番号ファイルは変更していません。";
constexpr char kFixAdvice[] =
    "CSV を直してから、もう一度実行してください。当選番号ファイルは変更していません。";

std::string DrawName(int draw) {
  return "第 " + FormatInt(draw) + " 回";
}

std::string DigitsText(const CsvDraw& draw) {
  return std::string(draw.digits.begin(), draw.digits.end());
}

std::string DateText(int date) {
  return FormatInt(date / 10000) + "-" + FormatZeroPadded(date / 100 % 100, 2) + "-" +
         FormatZeroPadded(date % 100, 2);
}

// "…、第 5 回（…）ほか 3 回": the first ones named, the rest counted.
std::string NameSome(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamedAtMost; ++i)
    text += (i == 0 ? "" : "、") + names[i];
  if (names.size() > kNamedAtMost)
    text += "ほか " + FormatInt(static_cast<long long>(names.size() - kNamedAtMost)) + " 回";
  return text;
}

// Rows of one draw that agree are one draw; rows that disagree refuse the file.
Status KeepOneRowPerDraw(std::vector<CsvDraw>& draws) {
  std::stable_sort(draws.begin(), draws.end(),
                   [](const CsvDraw& a, const CsvDraw& b) { return a.draw < b.draw; });
  for (std::size_t i = 1; i < draws.size(); ++i) {
    const CsvDraw& first = draws[i - 1];
    const CsvDraw& second = draws[i];
    if (first.draw != second.draw)
      continue;
    const bool datesAgree = first.date == second.date || first.date == 0 || second.date == 0;
    if (first.digits != second.digits || !datesAgree) {
      const auto row = [](const CsvDraw& draw) {
        std::string text = FormatInt(draw.line) + " 行目: " + DigitsText(draw);
        if (draw.date != 0) {
          text += ' ';
          text += DateText(draw.date);
        }
        return text;
      };
      return Status::Failure(DrawName(first.draw) + "が重複していて、内容が違います（" +
                             row(first) + "、" + row(second) + "）。");
    }
  }
  draws.erase(std::unique(draws.begin(), draws.end(),
                          [](const CsvDraw& a, const CsvDraw& b) { return a.draw == b.draw; }),
              draws.end());
  return Status::Ok();
}

// Each draw is held after the one before it: a date that does not follow
// shows a draw or date column taken for another.
Status CheckDatesFollowDraws(const std::vector<CsvDraw>& draws) {
  const CsvDraw* previous = nullptr;
  for (const CsvDraw& draw : draws) {
    if (draw.date == 0)
      continue;
    if (previous != nullptr && draw.date <= previous->date) {
      return Status::Failure(DrawName(draw.draw) + "（" + FormatInt(draw.line) + " 行目）の日付 " +
                             DateText(draw.date) + " が、" + DrawName(previous->draw) + "（" +
                             FormatInt(previous->line) + " 行目）の日付 " +
                             DateText(previous->date) + " より後ではありません。");
    }
    previous = &draw;
  }
  return Status::Ok();
}

Status CheckDrawRange(const std::vector<CsvDraw>& draws) {
  if (draws.empty())
    return Status::Ok();
  if (draws.front().draw < 1)
    return Status::Failure(FormatInt(draws.front().line) + " 行目: 回は 1 以上です。");
  if (draws.back().draw > DrawHistory::kMaxDrawNumber) {
    return Status::Failure(FormatInt(draws.back().line) +
                           " 行目: 第 9999 回より後の回は記録できません。");
  }
  return Status::Ok();
}

Status CheckAgainstHistory(const DrawHistory& history, const std::vector<CsvDraw>& draws) {
  std::vector<std::string> disagreeing;
  for (const CsvDraw& draw : draws) {
    if (draw.draw > history.count)
      break;
    const std::string_view held = history.record(draw.draw).digitsText();
    if (held != DigitsText(draw)) {
      disagreeing.push_back(DrawName(draw.draw) + "（履歴 " +
                            (held.empty() ? std::string("なし") : std::string(held)) + "、" +
                            FormatInt(draw.line) + " 行目 " + DigitsText(draw) + "）");
    }
  }
  if (disagreeing.empty())
    return Status::Ok();
  return Status::Failure("当選番号が履歴と一致しない回があります: " + NameSome(disagreeing) + "。");
}

// The new draws continue the history: every draw from count + 1 to the last
// one read is there.
Status CheckNoGap(const DrawHistory& history, const std::vector<CsvDraw>& draws) {
  std::vector<std::string> missing;
  int expected = history.count + 1;
  for (const CsvDraw& draw : draws) {
    if (draw.draw < expected)
      continue;
    if (draw.draw > expected) {
      missing.push_back(draw.draw - 1 == expected
                            ? DrawName(expected)
                            : DrawName(expected) + "〜" + DrawName(draw.draw - 1));
    }
    expected = draw.draw + 1;
  }
  if (missing.empty())
    return Status::Ok();
  return Status::Failure(
      NameSome(missing) + "が抜けています（履歴は" +
      (history.count > 0 ? DrawName(history.count) + "まで" : std::string("空")) + "）。");
}

CsvImportPlan Plan(const DrawHistory& history, const std::vector<CsvDraw>& draws, int padded) {
  CsvImportPlan plan;
  CsvImportSummary& summary = plan.summary;
  summary.draws = static_cast<int>(draws.size());
  summary.padded = padded;
  if (draws.empty())
    return plan;
  summary.firstDraw = draws.front().draw;
  summary.lastDraw = draws.back().draw;
  for (const CsvDraw& draw : draws) {
    if (draw.draw <= history.count) {
      ++summary.held;
    } else {
      plan.newDraws.emplace_back(draw.draw, draw.digits);
    }
  }
  summary.added = static_cast<int>(plan.newDraws.size());
  if (!plan.newDraws.empty()) {
    summary.firstNew = plan.newDraws.front().first;
    summary.lastNew = plan.newDraws.back().first;
  }
  return plan;
}

Status Apply(DrawHistory& history, const CsvImportPlan& plan) {
  for (const auto& [draw, digits] : plan.newDraws) {
    const std::string_view text(digits.data(), digits.size());
    if (Status stored = history.SetDigits(draw, text); !stored.ok())
      return stored;
    ++history.count;
  }
  return Status::Ok();
}

// The history as its file holds it now, as a writer would find it.
Status LoadCurrentHistory(DrawHistory& history) {
  std::error_code error;
  if (!std::filesystem::exists(history.file(), error) && !error) {
    history.Clear();
    return Status::Ok();
  }
  if (Status loaded = history.Load(); !loaded.ok())
    return loaded.Wrapped("当選番号ファイルを読めません。");
  return history.CheckWhole();
}

// A refusal of the file's form already says what to do (how to save the file
// again, which column to rename) and keeps that one piece of advice.
Status WithAdvice(const Status& refused) {
  return refused.Wrapped("", refused.cause() == Cause::kForm ? kNothingChanged : kFixAdvice);
}

}  // namespace

Result<CsvImportPlan> PlanResultsCsv(const DrawHistory& history, std::string_view csv) {
  const Result<std::string> text = CsvText(csv);
  if (!text.ok())
    return text.status();
  Result<std::vector<CsvDraw>> read = ReadCsvDraws(*text);
  if (!read.ok())
    return read.status();
  std::vector<CsvDraw>& draws = read.value();
  const int padded = static_cast<int>(
      std::count_if(draws.begin(), draws.end(), [](const CsvDraw& draw) { return draw.padded; }));
  for (const Status& checked :
       {KeepOneRowPerDraw(draws), CheckDatesFollowDraws(draws), CheckDrawRange(draws),
        CheckAgainstHistory(history, draws), CheckNoGap(history, draws)}) {
    if (!checked.ok())
      return checked;
  }
  return Plan(history, draws, padded);
}

Result<int> MergeResultsCsv(DrawHistory& history, std::string_view csv) {
  const Result<CsvImportPlan> plan = PlanResultsCsv(history, csv);
  if (!plan.ok())
    return plan.status();
  if (Status applied = Apply(history, *plan); !applied.ok())
    return applied;
  return plan->summary.added;
}

Result<CsvImportSummary> PreviewResultsCsv(DrawHistory& history, std::string_view csv) {
  // No lock: a reader needs none, and the store checks again under it.
  if (Status current = LoadCurrentHistory(history); !current.ok())
    return current;
  const Result<CsvImportPlan> plan = PlanResultsCsv(history, csv);
  if (!plan.ok())
    return WithAdvice(plan.status());
  return plan->summary;
}

Result<CsvImportSummary> ImportResultsCsv(DrawHistory& history, std::string_view csv) {
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status();
  const Result<CsvImportPlan> plan = PlanResultsCsv(history, csv);
  if (!plan.ok())
    return WithAdvice(plan.status());
  if (Status applied = Apply(history, *plan); !applied.ok())
    return WithAdvice(applied);
  if (Status saved = history.Save(); !saved.ok()) {
    return saved.Wrapped("当選番号を保存できません: ", "当選番号ファイルは元のままです。");
  }
  return plan->summary;
}

Result<int> AddResultsCsv(DrawHistory& history, std::string_view csv) {
  const Result<CsvImportSummary> imported = ImportResultsCsv(history, csv);
  if (!imported.ok())
    return imported.status();
  return imported->added;
}

std::string DescribeCsvImport(const CsvImportSummary& summary) {
  const auto range = [](int count, int first, int last) {
    return FormatInt(count) + " 回分（" + DrawName(first) +
           (first == last ? "" : "〜" + DrawName(last)) + "）";
  };
  const auto orNone = [](bool any, const std::string& text) {
    return any ? text : std::string("なし");
  };
  return "読み取った回: " +
         orNone(summary.draws > 0, range(summary.draws, summary.firstDraw, summary.lastDraw)) +
         "\n履歴にある回: " +
         orNone(summary.held > 0, FormatInt(summary.held) + " 回分（すべて履歴と一致）") +
         "\n新しい回: " +
         orNone(summary.added > 0, range(summary.added, summary.firstNew, summary.lastNew)) +
         "\n0 を補った当選番号: " + FormatInt(summary.padded) + " 個";
}

}  // namespace kitebar
