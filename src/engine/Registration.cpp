#include "engine/Registration.h"

#include <algorithm>
#include <optional>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/BackTest.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

constexpr char kWinningNumberNotRegistered[] = "当選番号は登録されていません。";

std::string CannotSaveMessage(const Status& saved) {
  return "当選番号ファイル「kitebarnum.dat」に書き込めませんでした。フォルダーの書き込み権限と"
         "空き容量を確かめてから、もう一度登録してください。（" +
         saved.message() + "）";
}

// Another program's handle on the file is the whole story: the usual advice
// would blame the folder's permissions or the disk.
Status CannotSave(const Status& saved) {
  if (saved.fileInUse())
    return saved;
  return Status::Failure(CannotSaveMessage(saved));
}

// The file's draw numbers have four digits. A full file is most often one
// with a mistyped draw number near its end, which repair puts right.
constexpr char kHistoryFullAdvice[] =
    "当選番号ファイルに記録できるのは第 9999 回までで、ファイルはそこまで埋まっています。"
    "回の番号を打ち間違えた行があるときは「kitebar-cli repair」で直してください。"
    "第 9999 回まで本当に記録したときは、新しいフォルダーで新しい当選番号ファイルを"
    "作ってください（「kitebar-cli load-csv」）。";

std::string OutOfRangeMessage(int draw, int last) {
  return "第 " + FormatInt(draw) + " 回は登録できません。登録できるのは第 1 回から第 " +
         FormatInt(last) + " 回までです。" +
         (draw > DrawHistory::kMaxDrawNumber ? kHistoryFullAdvice : "回の番号を確かめてください。");
}

// The dialog showed `draw` as the next draw, but the file has changed since.
std::string TakenMessage(int draw, int count) {
  return "第 " + FormatInt(draw) +
         " 回の当選番号は登録しませんでした。ほかの Kitebar（デスクトップ版または kitebar-cli）が"
         "当選番号ファイルを書き換え、いまは第 " +
         FormatInt(count) +
         " 回まで登録されています。一覧を確かめてから、もう一度入力してください。";
}

int LastRegistrableDraw(const DrawHistory& history) {
  return std::min(history.count + 1, DrawHistory::kMaxDrawNumber);
}

// The draw that `target` names in the history as it stands now.
Result<int> ResolveTarget(const DrawHistory& history, RegistrationTarget target) {
  switch (target.kind()) {
    case RegistrationTarget::Kind::kNext:
      return history.count + 1;
    case RegistrationTarget::Kind::kNew:
      if (target.draw() != history.count + 1)
        return Status::Failure(TakenMessage(target.draw(), history.count));
      return target.draw();
    case RegistrationTarget::Kind::kCorrection:
      if (target.draw() < 1 || target.draw() > history.count)
        return Status::Failure(OutOfRangeMessage(target.draw(), history.count));
      return target.draw();
  }
  return Status::Failure(OutOfRangeMessage(target.draw(), history.count));
}

// Saves the history with the new draw after its back-test entry was added;
// when the save fails the entry is taken back, so that neither stays.
Status SaveNewDraw(const DrawHistory& history, const std::optional<std::string>& previousEntries) {
  const Status saved = history.Save();
  if (saved.ok())
    return saved;
  if (Status restored = RestoreBackTestFile(kBackTestFile, previousEntries); !restored.ok()) {
    return Status::Failure(CannotSaveMessage(saved) + "予想成績のファイル「" +
                           std::string(kBackTestFile) + "」にはこの回の成績が残っています（" +
                           restored.message() + "）。");
  }
  return CannotSave(saved);
}

}  // namespace

Result<Registration> RegisterWinningNumber(DrawHistory& history, RegistrationTarget target,
                                           std::string_view entry) {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(entry);
  Registration registration{checked.padded, false, 0};
  if (!checked.valid)
    return registration;
  // Every refusal says what was not done.
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return Status::Failure(change.message() + kWinningNumberNotRegistered);
  const Result<int> resolved = ResolveTarget(history, target);
  if (!resolved.ok())
    return resolved.status();
  const int draw = *resolved;
  if (draw > LastRegistrableDraw(history))
    return Status::Failure(OutOfRangeMessage(draw, LastRegistrableDraw(history)));
  const bool newDraw = draw > history.count;
  if (newDraw) {
    if (Status writable = CheckAllReplaceable({history.file(), kBackTestFile}); !writable.ok())
      return Status::Failure(writable.message() + kWinningNumberNotRegistered);
  }
  std::optional<std::string> previousEntries;
  if (newDraw) {
    const BackTestedDraw tested = BackTestInMemory(history, draw, checked.padded);
    Result<std::optional<std::string>> added = AddBackTestEntry(kBackTestFile, draw, tested.result);
    if (!added.ok())
      return Status::Failure(added.message() + kWinningNumberNotRegistered);
    previousEntries = std::move(added.value());
  }
  if (Status stored = history.SetDigits(draw, checked.padded); !stored.ok())
    return stored;
  if (Status saved = newDraw ? SaveNewDraw(history, previousEntries) : history.Save();
      !saved.ok()) {
    return newDraw ? saved : CannotSave(saved);
  }
  if (newDraw)
    ++history.count;
  registration.stored = true;
  registration.draw = draw;
  return registration;
}

Result<Registration> RegisterWinningNumber(DrawHistory& history, int targetDraw,
                                           std::string_view entry) {
  return RegisterWinningNumber(history,
                               targetDraw > history.count
                                   ? RegistrationTarget::NewDraw(targetDraw)
                                   : RegistrationTarget::Correction(targetDraw),
                               entry);
}

Result<Registration> RegisterPosition(DrawHistory& history, int drawNumber,
                                      std::string_view entry) {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(entry);
  Registration registration{checked.padded, false, 0};
  if (!checked.valid)
    return registration;
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return Status::Failure(change.message() + "風車位置は登録されていません。");
  if (drawNumber < 1 || drawNumber > LastRegistrableDraw(history)) {
    return Status::Failure(OutOfRangeMessage(drawNumber, LastRegistrableDraw(history)));
  }
  if (Status stored = history.SetPosition(drawNumber, checked.padded, '1'); !stored.ok()) {
    return stored;
  }
  if (Status saved = history.Save(); !saved.ok())
    return CannotSave(saved);
  registration.stored = true;
  registration.draw = drawNumber;
  return registration;
}

}  // namespace kitebar
