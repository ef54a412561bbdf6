#include "history/DrawHistory.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <span>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "common/Utf16Text.h"
#include "history/HistoryRun.h"

namespace kitebar {
namespace {

template <std::size_t N>
void CopyField(std::array<char, N>& field, std::string_view text) {
  field.fill('\0');
  std::copy_n(text.begin(), std::min(N, text.size()), field.begin());
}

std::string DrawText(int draw) {
  return "第 " + FormatInt(draw) + " 回";
}

std::string LineRef(const HistoryFileLine& line) {
  return FormatInt(line.line) + " 行目「" + PrintableLine(line.bytes) + "」";
}

std::string UnreadableReason(const HistoryFileLine& line) {
  switch (line.fault) {
    case HistoryLineFault::kNul:
      return (line.draw > 0 ? DrawText(line.draw) + "の行" : std::string("数字を含む行")) +
             "ですが、NUL 文字（\\x00）を含むため、そのままでは読めません。";
    case HistoryLineFault::kBeyondLastDraw:
      return DrawText(line.draw) +
             "の行ですが、当選番号ファイルに記録できるのは第 9999 回までです。";
    case HistoryLineFault::kNotInTheFormat:
      return DrawText(line.draw) +
             "の行ですが、回の番号のあとが当選番号ファイルの形（0123,456 または "
             "0123,456,789,1）になっていないため、そのままでは読めません。";
    case HistoryLineFault::kUnclearWinningNumber:
      return DrawText(line.draw) +
             "の行ですが、コンマのあとの当選番号が半角の数字 3 桁（0123,456 の形）ではないため、"
             "そのままでは読めません。";
    case HistoryLineFault::kUnclearLine:
      return "数字を含む行ですが、回の番号とコンマ（0123,456 の形）として読めないため、どの回の"
             "行かわかりません。";
    case HistoryLineFault::kUnclearNumber:
    case HistoryLineFault::kNone:
      break;
  }
  return DrawText(line.draw) +
         "の行のようですが、回の番号が数字だけではないため、そのままでは"
         "読めません。";
}

// Where a stray line would have stood: the draws of the run around it.
std::string StrayReason(std::span<const HistoryFileLine> lines, const HistoryRun& run,
                        std::size_t index) {
  const auto next = std::upper_bound(run.kept.begin(), run.kept.end(), index);
  std::string around;
  if (next != run.kept.begin())
    around = "その前は" + DrawText(lines[*std::prev(next)].draw);
  if (next != run.kept.end())
    around += (around.empty() ? "その後は" : "、その後は") + DrawText(lines[*next].draw);
  return DrawText(lines[index].draw) + "で、前後の行の回の並びに合いません" +
         (around.empty() ? "" : "（" + around + "です）") + "。";
}

HistoryDamage DescribeDamage(std::span<const HistoryFileLine> lines, const HistoryRun& run,
                             std::size_t index) {
  const HistoryFileLine& line = lines[index];
  HistoryDamage damage{line.line, PrintableLine(line.bytes), line.draw, {}};
  for (const std::vector<std::size_t>& choice : run.choices) {
    if (choice.front() != index)
      continue;
    std::string others;
    for (std::size_t other : choice) {
      if (other != index)
        others += (others.empty() ? "" : "、") + LineRef(lines[other]) + "（" +
                  DrawText(lines[other].draw) + "）";
    }
    damage.reason = DrawText(line.draw) + "で、" + others +
                    "と同じ位置に入ります。どちらが正しいかはファイルからは決められません。";
    return damage;
  }
  const auto left = std::find_if(run.left.begin(), run.left.end(),
                                 [&](const HistoryRun::Left& l) { return l.index == index; });
  switch (left->reason) {
    case HistoryRun::Reason::kUnreadable:
      damage.reason = UnreadableReason(line);
      break;
    case HistoryRun::Reason::kRepeated:
      damage.reason = DrawText(line.draw) + "で、" + FormatInt(lines[left->other].line) +
                      " 行目と同じ行の繰り返しです。";
      break;
    case HistoryRun::Reason::kBeaten:
      damage.reason = DrawText(line.draw) + "の当選番号のない行で、" +
                      FormatInt(lines[left->other].line) + " 行目に同じ回の当選番号があります。";
      break;
    case HistoryRun::Reason::kStray:
      damage.reason = StrayReason(lines, run, index);
      break;
  }
  return damage;
}

constexpr char kUtf16Reason[] =
    "ファイル全体が UTF-16（メモ帳の「Unicode」）で保存されているため、読めません。kitebar-cli "
    "repair が元の形（UTF-8）に直せます。";

bool IsDrawInRange(int n, int count) {
  return n >= 1 && n <= count + 1 && n <= DrawHistory::kMaxDrawNumber;
}

std::string OutOfRangeMessage(int n) {
  return "第 " + FormatInt(n) + " 回は登録できる回の範囲外です。" +
         (n > DrawHistory::kMaxDrawNumber ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                                          : "登録できるのは記録済みの回と、その次の回です。");
}

// The longest line a record gives: "NNNN,DDD,PPP,S" and CR LF.
constexpr std::size_t kLongestLine = 16;

// Writes the whole field and advances past its text: the bytes after the
// text are overwritten by what follows or cut off at the end (every line has
// room for its longest form).
template <std::size_t N>
char* WriteField(char* out, const std::array<char, N>& field) {
  std::memcpy(out, field.data(), N);
  return out + DrawRecord::FieldText(field).size();
}

// Writes the line of `record` at `out` and returns its end: the number, ",",
// the digits (when `withDigits`), the position part when the record has a
// position, and CR LF. The file is rewritten whole after every change, so
// its text is written in place rather than piece by piece.
char* WriteLine(char* out, const DrawRecord& record, bool withDigits) {
  out = WriteField(out, record.number);
  *out++ = ',';
  if (withDigits)
    out = WriteField(out, record.digits);
  if (record.hasPosition()) {
    *out++ = ',';
    std::memcpy(out, record.position.data(), record.position.size());
    out += record.position.size();
    *out++ = ',';
    if (record.status != '\0')
      *out++ = record.status;
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

using PassedOverLines = std::vector<std::pair<int, std::string>>;

// Writes the passed-over lines from `next` on that follow draw `after` or an
// earlier one.
char* WritePassedOver(char* out, const PassedOverLines& lines,
                      PassedOverLines::const_iterator& next, int after) {
  for (; next != lines.end() && next->first <= after; ++next) {
    std::memcpy(out, next->second.data(), next->second.size());
    out += next->second.size();
    *out++ = '\r';
    *out++ = '\n';
  }
  return out;
}

// The lines of the slots 1 to `last` that `take` accepts, in order, with the
// lines that hold no draw where they stood; with `pendingWithoutDigits` a
// record whose digits start with 'x' is written with an empty digits field.
template <typename Take>
std::string FileText(const std::vector<DrawRecord>& slots, int last, Take take,
                     bool pendingWithoutDigits, const PassedOverLines& passedOver) {
  std::size_t size = static_cast<std::size_t>(std::max(last, 0)) * kLongestLine;
  for (const auto& line : passedOver)
    size += line.second.size() + 2;
  std::string out(size, '\0');
  char* end = out.data();
  auto next = passedOver.begin();
  end = WritePassedOver(end, passedOver, next, 0);
  for (int n = 1; n <= last; ++n) {
    const DrawRecord& slot = slots[static_cast<std::size_t>(n)];
    if (take(slot))
      end = WriteLine(end, slot, !pendingWithoutDigits || slot.digits[0] != 'x');
    end = WritePassedOver(end, passedOver, next, n);
  }
  end = WritePassedOver(end, passedOver, next, DrawHistory::kMaxSlot);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace

DrawHistory::DrawHistory(std::filesystem::path file)
    : file_(std::move(file)), slots_(kMaxSlot + 1) {}

Status DrawHistory::Load() {
  count = 0;
  const Result<std::string> contents = ReadWholeFile(file_, kMaxHistoryFileBytes);
  if (!contents.ok())
    return contents.status();
  LoadText(*contents);
  return Status::Ok();
}

void DrawHistory::LoadText(std::string_view contents) {
  Clear();
  if (HistoryTextFromUtf16(contents)) {
    damage_ =
        HistoryDamage{1, PrintableLine(contents.substr(0, contents.find('\n'))), 0, kUtf16Reason};
    return;
  }
  std::vector<PassedOverLine> passedOver;
  const std::vector<HistoryFileLine> lines = ReadHistoryFileLines(contents, &passedOver);
  const HistoryRun run = *FindHistoryRun(lines);
  // A damaged file gives the draws before its first damaged line, which all
  // ascend: every reader works on them alone.
  const std::size_t firstDamage = run.FirstDamage(lines.size());
  bool lastStoredPending = false;
  for (std::size_t i : run.kept) {
    if (i >= firstDamage)
      break;
    const HistoryLine& line = lines[i].parsed;
    slots_[static_cast<std::size_t>(line.draw)] = line.record;
    count = line.draw;
    // Only the last stored line can be the pending one: a pending line
    // earlier in the file must not take the last complete draw out of the
    // count (where a registration would then overwrite it).
    lastStoredPending = line.pending;
  }
  if (lastStoredPending)
    --count;
  if (firstDamage < lines.size())
    damage_ = DescribeDamage(lines, run, firstDamage);
  else if (!passedOver.empty())
    KeepPassedOverLines(lines, run.kept, passedOver);
}

void DrawHistory::KeepPassedOverLines(std::span<const HistoryFileLine> lines,
                                      std::span<const std::size_t> kept,
                                      std::span<const PassedOverLine> passedOver) {
  auto next = kept.begin();
  int after = 0;
  for (const PassedOverLine& line : passedOver) {
    for (; next != kept.end() && *next < line.before; ++next)
      after = lines[*next].draw;
    passedOver_.emplace_back(after, std::string(line.bytes));
  }
}

void DrawHistory::Clear() {
  std::fill(slots_.begin(), slots_.end(), DrawRecord{});
  count = 0;
  damage_.reset();
  passedOver_.clear();
}

std::string DrawHistory::DamageDescription() const {
  const HistoryDamage& damage = *damage_;
  return "当選番号ファイル「" + file_.string() + "」の " + FormatInt(damage.line) + " 行目「" +
         damage.text + "」は" + damage.reason;
}

Status DrawHistory::CheckWhole() const {
  if (!damage_)
    return Status::Ok();
  return Status::Failure(DamageDescription() +
                         "ファイルが壊れているため、書き込みを中止しました。kitebar-cli repair で"
                         "直してください（元のファイルは日付つきの控えに残ります）。ファイルは"
                         "そのままにしてあります。");
}

std::string DrawHistory::DamageWarning() const {
  if (!damage_)
    return {};
  return "注意: " + DamageDescription() + "ファイルが壊れているため、その前の行（第 " +
         FormatInt(count) +
         " 回まで）だけを読みました。kitebar-cli repair で直すまで、当選番号ファイルには書き込み"
         "ません。";
}

std::string DrawHistory::SaveText() const {
  return FileText(
      slots_, std::min(count + 1, kMaxSlot), [](const DrawRecord& slot) { return slot.exists(); },
      true, passedOver_);
}

std::string DrawHistory::CompleteDrawsText() const {
  return FileText(
      slots_, std::min(count, kMaxSlot),
      [](const DrawRecord& slot) { return slot.digits[0] != '\0'; }, false, passedOver_);
}

Status DrawHistory::Save() const {
  if (Status whole = CheckWhole(); !whole.ok())
    return whole;
  return WriteFileAtomically(file_, SaveText());
}

Status DrawHistory::SaveCompleteDraws(const std::filesystem::path& file) const {
  if (Status whole = CheckWhole(); !whole.ok())
    return whole;
  return WriteFileAtomically(file, CompleteDrawsText());
}

Status DrawHistory::SetDigits(int n, std::string_view digits) {
  if (!IsDrawInRange(n, count))
    return Status::Failure(OutOfRangeMessage(n));
  DrawRecord& slot = record(n);
  // A draw that the file lacks (a line repair left out) gets its line back.
  if (n == count + 1 || !slot.exists())
    CopyField(slot.number, FormatZeroPadded(n, 4));
  CopyField(slot.digits, digits);
  return Status::Ok();
}

Status DrawHistory::SetPosition(int n, std::string_view position, char status) {
  if (!IsDrawInRange(n, count))
    return Status::Failure(OutOfRangeMessage(n));
  DrawRecord& slot = record(n);
  if (n == count + 1 || !slot.exists())
    CopyField(slot.number, FormatZeroPadded(n, 4));
  CopyField(slot.position, position);
  slot.status = status;
  return Status::Ok();
}

Status DrawHistory::AppendImportedDraw(std::string_view digits) {
  const int next = count + 1;
  if (!IsDrawInRange(next, count))
    return Status::Failure(OutOfRangeMessage(next));
  count = next;
  DrawRecord& slot = record(next);
  // A pending record of this draw keeps its position and status.
  CopyField(slot.number, FormatZeroPadded(next, 4));
  CopyField(slot.digits, digits);
  return Status::Ok();
}

namespace {

// UTF-16 that decodes to text with digits and without NUL: what Notepad makes
// of a history. Anything else is left to the line reader, which is also what
// keeps a file that the program writes from reading back as UTF-16 (its
// digits never stand beside a zero byte).
std::optional<std::string> HistoryTextIfUtf16(std::string_view bytes, bool bigEndian) {
  std::optional<std::string> text = Utf16ToUtf8(bytes, bigEndian);
  if (!text || text->find('\0') != std::string::npos ||
      text->find_first_of("0123456789") == std::string::npos)
    return std::nullopt;
  return text;
}

}  // namespace

// Notepad's "Unicode" is UTF-16 with a byte-order mark; without one, a
// history's first character (a digit, a blank) gives away which byte is NUL.
std::optional<std::string> HistoryTextFromUtf16(std::string_view contents) {
  if (contents.starts_with("\xFF\xFE"))
    return HistoryTextIfUtf16(contents.substr(2), false);
  if (contents.starts_with("\xFE\xFF"))
    return HistoryTextIfUtf16(contents.substr(2), true);
  if (contents.size() >= 2 && contents[0] != '\0' && contents[1] == '\0')
    return HistoryTextIfUtf16(contents, false);
  if (contents.size() >= 2 && contents[0] == '\0' && contents[1] != '\0')
    return HistoryTextIfUtf16(contents, true);
  return std::nullopt;
}

ThreeDigitEntry ApplyThreeDigitEntryRule(std::string_view typed) {
  const std::string entry = NarrowDigits(typed);
  ThreeDigitEntry result;
  result.padded = std::string(entry.size() < 3 ? 3 - entry.size() : 0, '0') + std::string(entry);
  result.valid =
      result.padded.size() == 3 && std::all_of(result.padded.begin(), result.padded.end(),
                                               [](char c) { return c >= '0' && c <= '9'; });
  return result;
}

}  // namespace kitebar
