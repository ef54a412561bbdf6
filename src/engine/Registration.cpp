#include "engine/Registration.h"

#include <algorithm>

#include "common/NumberText.h"
#include "engine/BackTest.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

std::string CannotSaveMessage(const Status& saved) {
  return "当選番号ファイル「kitebarnum.dat」に書き込めませんでした。フォルダーの書き込み権限と"
         "空き容量を確かめてから、もう一度登録してください。（" +
         saved.message() + "）";
}

std::string OutOfRangeMessage(int draw, int last) {
  return "第 " + FormatInt(draw) + " 回は登録できません。登録できるのは第 1 回から第 " +
         FormatInt(last) + " 回までです。" +
         (draw > DrawHistory::kMaxDrawNumber
              ? "当選番号ファイルに記録できるのは第 9999 回までです。"
              : "回の番号を確かめてください。");
}

int LastRegistrableDraw(const DrawHistory& history) {
  return std::min(history.count + 1, DrawHistory::kMaxDrawNumber);
}

}  // namespace

Result<Registration> RegisterWinningNumber(DrawHistory& history, int targetDraw,
                                           std::string_view entry) {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(entry);
  Registration registration{checked.padded, false};
  if (!checked.valid)
    return registration;
  if (targetDraw < 1 || targetDraw > LastRegistrableDraw(history)) {
    return Status::Failure(OutOfRangeMessage(targetDraw, LastRegistrableDraw(history)));
  }
  const bool newDraw = targetDraw > history.count;
  if (newDraw) {
    if (Result<BackTestResult> tested = BackTestDraw(history, targetDraw, checked.padded, false);
        !tested.ok()) {
      return Status::Failure(tested.message() + "当選番号は登録されていません。");
    }
  }
  if (Status stored = history.SetDigits(targetDraw, checked.padded); !stored.ok())
    return stored;
  if (Status saved = history.Save(); !saved.ok())
    return Status::Failure(CannotSaveMessage(saved));
  if (newDraw)
    ++history.count;
  registration.stored = true;
  return registration;
}

Result<Registration> RegisterPosition(DrawHistory& history, int drawNumber,
                                      std::string_view entry) {
  const ThreeDigitEntry checked = ApplyThreeDigitEntryRule(entry);
  Registration registration{checked.padded, false};
  if (!checked.valid)
    return registration;
  if (drawNumber < 1 || drawNumber > LastRegistrableDraw(history)) {
    return Status::Failure(OutOfRangeMessage(drawNumber, LastRegistrableDraw(history)));
  }
  if (Status stored = history.SetPosition(drawNumber, checked.padded, '1'); !stored.ok()) {
    return stored;
  }
  if (Status saved = history.Save(); !saved.ok())
    return Status::Failure(CannotSaveMessage(saved));
  registration.stored = true;
  return registration;
}

}  // namespace kitebar
