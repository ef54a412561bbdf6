#include "history/CsvRows.h"

#include <algorithm>

#include "common/NumberText.h"
#include "history/ResultCells.h"

namespace kitebar {
namespace {

// Whether `text` may hold a full-width digit, sign or space: their UTF-8
// forms begin with one of these bytes, or are the ideographic space.
bool MayHoldWideForms(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0xEF || byte == 0xE2 || (byte == 0xE3 && text.substr(i, 3) == "\xE3\x80\x80"))
      return true;
  }
  return false;
}

// Where the line that starts at `start` ends: its CR or LF, or the end.
std::size_t LineEnd(std::string_view text, std::size_t start) {
  std::size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n')
    ++end;
  return end;
}

bool HasDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Unescaped(std::string_view quoted) {
  std::string text;
  text.reserve(quoted.size());
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    text += quoted[i];
    if (quoted[i] == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"')
      ++i;
  }
  return text;
}

void SplitAtSpaces(std::string_view line, std::vector<std::string_view>& cells) {
  std::size_t start = line.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    const std::size_t end = line.find(' ', start);
    cells.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(' ', end);
  }
}

}  // namespace

CsvRows::CsvRows(std::string_view text) {
  rows_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = LineEnd(text, start);
    AddLine(text.substr(start, end - start), ++number);
    if (end == text.size())
      break;
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

void CsvRows::AddLine(std::string_view line, int number) {
  if (MayHoldWideForms(line))
    line = owned_.emplace_back(NarrowDigits(line));
  if (line.find_first_not_of(" \t") == std::string_view::npos)
    return;
  CsvRow& row = rows_.emplace_back();
  row.line = number;
  row.text = line;
  row.hasDigit = HasDigit(line);
  if (line.find('\t') != std::string_view::npos) {
    row.separator = CellSeparator::kTab;
    row.cells.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1);
    SplitQuoted(line, '\t', row.cells);
  } else if (line.find(',') != std::string_view::npos) {
    row.separator = CellSeparator::kComma;
    row.cells.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1);
    SplitQuoted(line, ',', row.cells);
  } else {
    row.separator = CellSeparator::kSpaces;
    SplitAtSpaces(line, row.cells);
  }
}

// A cell in double quotes may hold the separator, and "" stands for one
// quote; what follows the closing quote up to the separator is dropped.
void CsvRows::SplitQuoted(std::string_view line, char separator,
                          std::vector<std::string_view>& cells) {
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && line[at] == ' ')
      ++at;
    std::string_view cell;
    if (at < line.size() && line[at] == '"') {
      const std::size_t open = ++at;
      bool escaped = false;
      while (at < line.size() &&
             !(line[at] == '"' && (at + 1 == line.size() || line[at + 1] != '"'))) {
        escaped |= line[at] == '"';
        at += line[at] == '"' ? 2 : 1;
      }
      cell = line.substr(open, std::min(at, line.size()) - open);
      if (escaped)
        cell = owned_.emplace_back(Unescaped(cell));
    } else {
      cell = line.substr(at, line.find(separator, at) - at);
    }
    cells.push_back(TrimSpaces(cell));
    const std::size_t next = line.find(separator, at);
    if (next == std::string_view::npos)
      return;
    at = next + 1;
  }
}

}  // namespace kitebar
