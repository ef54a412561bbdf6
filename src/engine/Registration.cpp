#include "engine/Registration.h"

#include <algorithm>
#include <optional>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/BackTest.h"
#include "engine/PredictionRecord.h"
#include "history/DrawHistory.h"
#include "history/HistoryChange.h"

namespace kitebar {
namespace {

constexpr char kWinningNumberNotRegistered[] = "当選番号は登録されていません。";

// What failed, that nothing was registered, and (from the cause) what to do.
Status CannotSave(const Status& saved) {
  return saved.Wrapped("当選番号ファイル「kitebarnum.dat」に書き込めませんでした（",
                       "）。" + std::string(kWinningNumberNotRegistered));
}

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

bool IsBlankEntry(std::string_view entry) {
  return entry.find_first_not_of(" \t\r\n") == std::string_view::npos;
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

// Saves the history with the draw, then its back-test entry. In this
// order a kill between the two writes leaves a draw without its entry, never
// an entry for a draw that the history does not hold (which the number typed
// next for that draw would not match). When the entry cannot be written the
// history is taken back, so that neither stays.
Status SaveDrawAndEntry(const DrawHistory& history, const std::string& previousHistory,
                        const BackTestChange& entry) {
  if (Status saved = history.Save(); !saved.ok())
    return CannotSave(saved);
  const Status written = WriteBackTestChange(kBackTestFile, entry);
  if (written.ok())
    return written;
  if (Status restored = WriteFileAtomically(history.file(), previousHistory); !restored.ok()) {
    return written.Wrapped(
        "", "当選番号ファイルにはこの回の当選番号が残っています（" + restored.what() + "）。");
  }
  return written.Wrapped("", kWinningNumberNotRegistered);
}

}  // namespace

Result<Registration> RegisterWinningNumber(DrawHistory& history, RegistrationTarget target,
                                           std::string_view entry) {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(entry);
  Registration registration{checked.padded, false, 0, {}};
  // Nothing typed is not the number 000, which a user types.
  if (!checked.valid || IsBlankEntry(entry))
    return registration;
  // Every refusal says what was not done.
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status().Wrapped("", kWinningNumberNotRegistered);
  const Result<int> resolved = ResolveTarget(history, target);
  if (!resolved.ok())
    return resolved.status();
  const int draw = *resolved;
  if (draw > LastRegistrableDraw(history))
    return Status::Failure(OutOfRangeMessage(draw, LastRegistrableDraw(history)));
  const bool newDraw = draw > history.count;
  if (Status writable = CheckReplaceable(history.file()); !writable.ok())
    return writable.Wrapped("", kWinningNumberNotRegistered);
  // The entry is prepared, and refused when the file would grow past what
  // its reader accepts, before anything is written.
  const std::string previousHistory = history.SaveText();
  const auto score = [&] { return BackTestInMemory(history, draw, checked.padded).result; };
  const Result<BackTestChange> backTest = newDraw
                                              ? PrepareBackTestEntry(kBackTestFile, draw, score())
                                              : PrepareBackTestRescore(kBackTestFile, draw, score);
  if (!backTest.ok())
    return backTest.status().Wrapped("", kWinningNumberNotRegistered);
  if (Status stored = history.SetDigits(draw, checked.padded); !stored.ok())
    return stored;
  if (Status saved = SaveDrawAndEntry(history, previousHistory, *backTest); !saved.ok())
    return saved;
  if (newDraw)
    ++history.count;
  registration.stored = true;
  registration.draw = draw;
  registration.recordProblem = RecordAfterRegistration(history, draw, newDraw).message();
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
  Registration registration{checked.padded, false, 0, {}};
  if (!checked.valid)
    return registration;
  Result<FolderLock> change = BeginHistoryChange(history);
  if (!change.ok())
    return change.status().Wrapped("", "風車位置は登録されていません。");
  if (drawNumber < 1 || drawNumber > LastRegistrableDraw(history)) {
    return Status::Failure(OutOfRangeMessage(drawNumber, LastRegistrableDraw(history)));
  }
  if (Status stored = history.SetPosition(drawNumber, checked.padded, '1'); !stored.ok()) {
    return stored;
  }
  if (Status saved = history.Save(); !saved.ok())
    return saved.Wrapped("当選番号ファイル「kitebarnum.dat」に書き込めませんでした（",
                         "）。風車位置は登録されていません。");
  registration.stored = true;
  registration.draw = drawNumber;
  return registration;
}

}  // namespace kitebar
