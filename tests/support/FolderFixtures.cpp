#include "support/FolderFixtures.h"

#include "common/NumberText.h"

namespace kitebar::test {

std::string HistoryUpTo(int last) {
  std::string text;
  for (int n = 1; n <= last; ++n)
    text += FormatZeroPadded(n, 4) + "," + FormatZeroPadded(n * 7 % 1000, 3) + "\r\n";
  return text;
}

std::string DrawLines(int first, int last) {
  std::string text;
  for (int n = first; n <= last; ++n)
    text += FormatZeroPadded(n, 4) + "," + FormatZeroPadded(n % 1000, 3) + "\r\n";
  return text;
}

}  // namespace kitebar::test
