#include "app/SettingsExchange.h"

#include <QLineEdit>
#include <QValidator>
#include <algorithm>
#include <string>

#include "app/MessageBoxes.h"
#include "settings/FieldExchange.h"

namespace kitebar::app {
namespace {

constexpr int kTextLimit = static_cast<int>(kShortTextMaxLength);

bool Passes(const std::string& warning, QLineEdit* field, QWidget* owner) {
  if (warning.empty())
    return true;
  MessageBoxes::Show(owner, QString::fromStdString(warning), QMessageBox::Warning);
  field->setFocus();
  field->selectAll();
  return false;
}

bool TakeText(QLineEdit* field, QString& member, QWidget* owner) {
  member = field->text();
  return Passes(TextLengthWarning(static_cast<std::size_t>(member.size()), kShortTextMaxLength),
                field, owner);
}

bool TakeDecimal(QLineEdit* field, float& member, FieldRange<float> range, QWidget* owner) {
  const TakenField<float> taken = TakeDecimalField(field->text().toStdString(), range);
  if (taken.value)
    member = *taken.value;
  return Passes(taken.warning, field, owner);
}

bool TakeInteger(QLineEdit* field, int& member, FieldRange<int> range, QWidget* owner) {
  const TakenField<int> taken = TakeIntegerField(field->text().toStdString(), range);
  if (taken.value)
    member = *taken.value;
  return Passes(taken.warning, field, owner);
}

// The limit holds for typing only: a longer text from a settings file is
// shown whole, so that its check can refuse it rather than a cut copy. An
// edit is taken when its result has at most `limit` characters, is shorter
// than the text before it (a deletion from the long text), or is the text
// last shown (undoing back to it); any edit that would leave more than
// `limit` characters and not fewer than before is refused.
class TypedLengthLimit final : public QValidator {
 public:
  TypedLengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

  void Show(QLineEdit& field, const QString& text) {
    shown_ = text;
    current_ = text;
    field.setMaxLength(std::max(limit_, static_cast<int>(text.size())));
    field.setText(text);
  }

  State validate(QString& input, int&) const override {
    if (input.size() > limit_ && input.size() >= current_.size() && input != current_ &&
        input != shown_)
      return Invalid;
    current_ = input;
    return Acceptable;
  }

 private:
  int limit_;
  QString shown_;
  // The text as the last accepted edit left it.
  mutable QString current_;
};

void ShowLimitedText(QLineEdit* field, const QString& text) {
  // The field owns its validator; it is installed with the first value shown.
  auto* limit =
      const_cast<TypedLengthLimit*>(dynamic_cast<const TypedLengthLimit*>(field->validator()));
  if (limit == nullptr) {
    limit = new TypedLengthLimit(kTextLimit, field);
    field->setValidator(limit);
  }
  limit->Show(*field, text);
}

void ShowDecimal(QLineEdit* field, float value) {
  field->setText(QString::fromStdString(FormatFieldDecimal(value)));
}

}  // namespace

bool TakeValues(const SettingsDialogFields& fields, SettingsDialogData& data, QWidget* owner) {
  if (!TakeText(fields.positionEntry, data.positionEntry, owner) ||
      !TakeText(fields.stopConstant, data.stopConstant, owner))
    return false;
  for (std::size_t place = 0; place < fields.startToReach.size(); ++place) {
    if (!TakeDecimal(fields.startToReach[place], data.startToReach[place], kReachPointRange, owner))
      return false;
  }
  for (std::size_t place = 0; place < fields.startToHit.size(); ++place) {
    if (!TakeDecimal(fields.startToHit[place], data.startToHit[place], kHitPointRange, owner))
      return false;
  }
  return TakeInteger(fields.stepNum, data.stepNum, kStepNumRange, owner) &&
         TakeDecimal(fields.targetDiameter, data.targetDiameter, kDiameterRange, owner);
}

void ShowValues(const SettingsDialogFields& fields, const SettingsDialogData& data) {
  ShowLimitedText(fields.positionEntry, data.positionEntry);
  ShowLimitedText(fields.stopConstant, data.stopConstant);
  for (std::size_t place = 0; place < fields.startToReach.size(); ++place)
    ShowDecimal(fields.startToReach[place], data.startToReach[place]);
  for (std::size_t place = 0; place < fields.startToHit.size(); ++place)
    ShowDecimal(fields.startToHit[place], data.startToHit[place]);
  fields.stepNum->setText(QString::number(data.stepNum));
  ShowDecimal(fields.targetDiameter, data.targetDiameter);
}

}  // namespace kitebar::app
