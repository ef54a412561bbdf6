#pragma once

#include <string>
#include <string_view>

namespace kitebar {

// Splits `contents` into the pieces that a line-by-line reader of a text-mode
// file with a buffer of maxLength + 1 characters sees: CR LF counts as one
// line end ('\n'), a piece ends after its '\n' or at maxLength characters (the
// rest of a longer line is read as further pieces), and a NUL ends the text of
// its piece. Calls visit(std::string_view piece) for each.
template <typename Visit>
void ForEachLinePiece(std::string_view contents, std::size_t maxLength, Visit visit) {
  std::string piece;
  piece.reserve(maxLength + 1);
  std::size_t i = 0;
  while (i < contents.size()) {
    piece.clear();
    while (i < contents.size() && piece.size() < maxLength) {
      char c = contents[i++];
      if (c == '\r' && i < contents.size() && contents[i] == '\n')
        c = contents[i++];
      piece.push_back(c);
      if (c == '\n')
        break;
    }
    visit(std::string_view(piece).substr(0, piece.find('\0')));
  }
}

// Text for a file written in text mode: every '\n' becomes CR LF.
inline std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

}  // namespace kitebar
