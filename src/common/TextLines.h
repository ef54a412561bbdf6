#pragma once

#include <string>
#include <string_view>

namespace kitebar {

// Splits `contents` into the pieces that a line-by-line reader of a text-mode
// file with a buffer of maxLength + 1 characters sees: CR LF counts as one
// line end ('\n'), a piece ends after its '\n' or at maxLength characters (the
// rest of a longer line is read as further pieces), and a NUL ends the text of
// its piece. A CR alone ends a line as well: the files hold no CR of their
// own, and a file whose lines end in bare CRs would otherwise read as one long
// line and lose all but its first record. Calls visit(std::string_view piece)
// for each.
template <typename Visit>
void ForEachLinePiece(std::string_view contents, std::size_t maxLength, Visit visit) {
  std::string piece;
  piece.reserve(maxLength + 1);
  std::size_t i = 0;
  while (i < contents.size()) {
    // The text up to the line end, or up to a full piece, is copied at once.
    std::size_t end = i;
    std::size_t visible = std::string_view::npos;
    while (end < contents.size() && end - i < maxLength && contents[end] != '\r' &&
           contents[end] != '\n') {
      if (contents[end] == '\0' && visible == std::string_view::npos)
        visible = end - i;
      ++end;
    }
    piece.assign(contents.data() + i, end - i);
    i = end;
    if (i < contents.size() && piece.size() < maxLength) {
      if (contents[i] == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n')
        ++i;
      ++i;
      piece.push_back('\n');
    }
    visit(std::string_view(piece).substr(0, visible));
  }
}

// Text for a file written in text mode: every '\n' becomes CR LF.
inline std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t start = 0;
  for (std::size_t newline = text.find('\n'); newline != std::string_view::npos;
       newline = text.find('\n', start)) {
    out.append(text.substr(start, newline - start));
    out += "\r\n";
    start = newline + 1;
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace kitebar
