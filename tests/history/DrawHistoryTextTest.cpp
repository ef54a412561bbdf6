#include <gtest/gtest.h>

#include <string_view>

#include "history/DrawHistory.h"

namespace kitebar {
namespace {

template <std::size_t N>
void Set(std::array<char, N>& field, std::string_view text) {
  field.fill('\0');
  std::copy_n(text.begin(), std::min(N, text.size()), field.begin());
}

DrawRecord Record(std::string_view number, std::string_view digits, std::string_view position,
                  char status) {
  DrawRecord record;
  Set(record.number, number);
  Set(record.digits, digits);
  Set(record.position, position);
  record.status = status;
  return record;
}

// Slots as hand-edited files and interrupted runs can leave them: the two
// writers differ in which slots they take and in how they write "xxx".
TEST(DrawHistoryText, BothWritersOnUnusualSlots) {
  DrawHistory history;
  history.record(1) = Record("0001", "123", "", '\0');
  history.record(2) = Record("0002", "xxx", "456", '1');
  history.record(3) = Record("", "789", "", '\0');
  history.record(4) = Record("0004", "", "12", '0');
  history.record(5) = Record("0005", "9", "321", '\0');
  history.record(6) = Record("0006", "xxx", "000", '0');
  history.record(7) = Record("0007", "555", "", '\0');
  history.count = 5;
  EXPECT_EQ(history.SaveText(),
            "0001,123\r\n0002,,456,1\r\n0004,\r\n0005,9,321,\r\n0006,,000,0\r\n");
  EXPECT_EQ(history.CompleteDrawsText(), "0001,123\r\n0002,xxx,456,1\r\n,789\r\n0005,9,321,\r\n");
}

TEST(DrawHistoryText, EmptyHistoryGivesEmptyText) {
  DrawHistory history;
  EXPECT_EQ(history.SaveText(), "");
  EXPECT_EQ(history.CompleteDrawsText(), "");
}

}  // namespace
}  // namespace kitebar
