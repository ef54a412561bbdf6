#include "settings/PrivateProfile.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/FolderLock.h"
#include "common/NumberText.h"

namespace kitebar {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// One line of the file: its text without the line end, and the line end as
// found, so that lines the writer does not touch are written back unchanged.
using Line = ProfileLine;

// Notepad's "UTF-8 (BOM 付き)" puts a byte order mark before the first line.
// It is not part of the first section's name; a writer keeps it.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view WithoutUtf8Mark(std::string_view contents) {
  if (contents.starts_with(kUtf8Mark))
    contents.remove_prefix(kUtf8Mark.size());
  return contents;
}

// Notepad's "UTF-16 LE" and "UTF-16 BE" begin with their byte order mark; a
// file without one still shows its zero bytes beside the first ASCII letter.
// A file that begins with a zero byte is taken for one even alone, since
// whatever a writer adds after it would make it one.
bool IsUtf16(std::string_view contents) {
  return contents.starts_with("\xFF\xFE") || contents.starts_with("\xFE\xFF") ||
         contents.starts_with('\0') || (contents.size() >= 2 && contents[1] == '\0');
}

std::string Utf16Message(const std::filesystem::path& file) {
  return "設定ファイル「" + file.filename().string() +
         "」は UTF-16 で保存されているため、Kitebar には読み書きできません。メモ帳で開いて"
         "「名前を付けて保存」を選び、エンコードを「UTF-8」にして上書き保存してください。";
}

// A line ends with CR LF, LF or a CR alone: a file whose lines end in bare
// CRs would otherwise be one long line, in which a value written never reads
// back.
std::vector<Line> SplitLines(std::string_view contents) {
  contents = WithoutUtf8Mark(contents);
  std::vector<Line> lines;
  while (!contents.empty()) {
    const std::size_t end = contents.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back({contents, {}});
      break;
    }
    const std::size_t endLength = contents.substr(end, 2) == "\r\n" ? 2 : 1;
    lines.push_back({contents.substr(0, end), contents.substr(end, endLength)});
    contents.remove_prefix(end + endLength);
  }
  return lines;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[')
    return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos)
    return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyValue> ParseKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';')
    return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  return KeyValue{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

// Where a key lives in the file: the line range of its section and, when the
// key exists, its line (the first one, when a hand-edited file repeats it).
struct Location {
  std::optional<std::size_t> sectionHeader;
  std::size_t sectionEnd = 0;  // one past the last line of the section
  std::optional<std::size_t> keyLine;
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location location;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = SectionName(lines[i].text)) {
      if (inSection)
        break;
      inSection = EqualIgnoringAsciiCase(*name, section);
      if (inSection)
        location.sectionHeader = i;
      continue;
    }
    if (!inSection)
      continue;
    if (!Trim(lines[i].text).empty())
      location.sectionEnd = i + 1;
    const auto entry = ParseKeyLine(lines[i].text);
    if (entry && !location.keyLine && EqualIgnoringAsciiCase(entry->key, key)) {
      location.keyLine = i;
    }
  }
  if (location.sectionHeader && location.sectionEnd == 0) {
    location.sectionEnd = *location.sectionHeader + 1;
  }
  return location;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line;
  return text;
}

std::string WithLineEnd(std::string_view text) {
  return std::string(text) + "\r\n";
}

// The file text with `key` of `section` set to `value`: the value replaced in
// its line, or the key added at the end of its section, or the section added
// at the end of the file; every other line stays as it was.
std::string WithProfileValue(std::string_view contents, std::string_view section,
                             std::string_view key, std::string_view value) {
  const std::vector<Line> lines = SplitLines(contents);
  const Location location = Locate(lines, section, key);

  std::vector<std::string> output;
  output.reserve(lines.size() + 3);
  for (const Line& line : lines)
    output.push_back(std::string(line.text) + std::string(line.ending));
  // The last line may lack its line end; anything added after it needs one.
  if (!output.empty() && lines.back().ending.empty())
    output.back() += "\r\n";

  const std::string entry = std::string(key) + "=" + std::string(value);
  if (location.keyLine) {
    const Line& old = lines[*location.keyLine];
    const std::string_view storedKey = ParseKeyLine(old.text)->key;
    output[*location.keyLine] = std::string(storedKey) + "=" + std::string(value) +
                                std::string(old.ending.empty() ? "\r\n" : old.ending);
  } else if (location.sectionHeader) {
    output.insert(output.begin() + static_cast<std::ptrdiff_t>(location.sectionEnd),
                  WithLineEnd(entry));
  } else {
    std::string header(1, '[');
    header.append(section).append(1, ']');
    output.push_back(WithLineEnd(header));
    output.push_back(WithLineEnd(entry));
  }
  return (contents.starts_with(kUtf8Mark) ? std::string(kUtf8Mark) : std::string()) +
         JoinLines(output);
}

// The value of `key` in `section` of a file's `lines` (none when the file
// could not be read), or `defaultText`, copied into `buffer` as
// GetPrivateProfileString describes. `buffer` is not empty.
std::size_t CopyProfileValue(const std::vector<Line>* lines, std::string_view section,
                             std::string_view key, std::string_view defaultText,
                             std::span<char> buffer) {
  std::string_view value = defaultText;
  if (lines != nullptr) {
    const Location location = Locate(*lines, section, key);
    if (location.keyLine)
      value = ParseKeyLine((*lines)[*location.keyLine].text)->value;
  }
  // A NUL inside the value ends it, as it would in a C string.
  value = value.substr(0, value.find('\0'));
  const std::size_t copied = std::min(value.size(), buffer.size() - 1);
  std::copy_n(value.data(), copied, buffer.data());
  buffer[copied] = '\0';
  return copied;
}

Status TooLargeToWrite(const std::filesystem::path& file) {
  return Status::Failure("「" + file.string() + "」は書き込むと上限の " +
                             FormatInt(static_cast<long long>(kMaxSettingsFileBytes)) +
                             " バイトを超えるため、書き込みませんでした",
                         Cause::kSizeLimit);
}

}  // namespace

Status CheckProfileEncoding(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error))
    return Status::Ok();
  const Result<std::string> contents = ReadWholeFile(file, kMaxSettingsFileBytes);
  if (contents.ok() && IsUtf16(*contents))
    return Status::Failure(Utf16Message(file));
  return Status::Ok();
}

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::span<char> buffer,
                                    const std::filesystem::path& file) {
  if (buffer.empty())
    return 0;
  const Result<std::string> contents = ReadWholeFile(file, kMaxSettingsFileBytes);
  if (!contents.ok())
    return CopyProfileValue(nullptr, section, key, defaultText, buffer);
  const std::vector<Line> lines = SplitLines(*contents);
  return CopyProfileValue(&lines, section, key, defaultText, buffer);
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultText,
                              std::size_t capacity) {
  std::vector<char> buffer(std::max<std::size_t>(capacity, 1));
  const std::size_t length = GetPrivateProfileString(
      section, key, defaultText, std::span<char>(buffer.data(), capacity), file);
  return std::string(buffer.data(), length);
}

ProfileSnapshot::ProfileSnapshot(const std::filesystem::path& file) {
  Result<std::string> read = ReadWholeFile(file, kMaxSettingsFileBytes);
  if (!read.ok())
    return;
  contents_ = std::move(read.value());
  lines_ = SplitLines(*contents_);
}

std::string ProfileSnapshot::Read(std::string_view section, std::string_view key,
                                  std::string_view defaultText, std::size_t capacity) const {
  std::vector<char> buffer(std::max<std::size_t>(capacity, 1));
  const std::size_t length =
      capacity == 0 ? 0
                    : CopyProfileValue(contents_ ? &lines_ : nullptr, section, key, defaultText,
                                       std::span<char>(buffer.data(), capacity));
  return std::string(buffer.data(), length);
}

Status WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::filesystem::path& file) {
  return WritePrivateProfileStrings({{std::string(section), std::string(key), std::string(value)}},
                                    file);
}

Status WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries,
                                  const std::filesystem::path& file) {
  // Another writer's update between this read and the rename would be lost.
  Result<FolderLock> lock = FolderLock::AcquireFor(file);
  if (!lock.ok())
    return lock.status();
  Result<std::string> read = ReadFileOrEmpty(file, kMaxSettingsFileBytes);
  if (!read.ok())
    return read.status();
  std::string contents = std::move(read.value());
  // Lines of single bytes added to it would leave a file that no editor reads.
  if (IsUtf16(contents))
    return Status::Failure(Utf16Message(file));
  for (const ProfileEntry& entry : entries)
    contents = WithProfileValue(contents, entry.section, entry.key, entry.value);
  // Past the limit every reader would take the defaults and every writer
  // would refuse: the file stays as it is instead.
  if (contents.size() > kMaxSettingsFileBytes)
    return TooLargeToWrite(file);
  return WriteFileAtomically(file, contents);
}

}  // namespace kitebar
