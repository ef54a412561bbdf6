#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/NumberText.h"
#include "common/ShiftJis.h"

namespace kitebar::test {

// Result-site pages in Shift_JIS, shaped as the reader expects them: archive
// pages in blocks of five draws, recent pages with one heading per draw, and
// the index page that links to both.

inline std::string Sjis(std::string_view utf8) {
  const Result<std::string> converted = Utf8ToShiftJis(utf8);
  if (!converted.ok())
    ADD_FAILURE() << "cannot convert to Shift_JIS: " << utf8;
  return converted.ok() ? *converted : std::string();
}

// The winning number that the fixtures give draw n.
inline std::string WinningNumberOf(int n) {
  return FormatZeroPadded((n * 37 + 5) % 1000, 3);
}

struct Block {
  int firstDraw = 0;
  std::vector<std::string> numbers;  // normally five
  bool anchored = true;              // listed with an anchor naming its first draw
};

inline std::vector<Block> ConsecutiveBlocks(int firstDraw, int blockCount) {
  std::vector<Block> blocks;
  for (int b = 0; b < blockCount; ++b) {
    Block block{firstDraw + 5 * b, {}};
    for (int i = 0; i < 5; ++i)
      block.numbers.push_back(WinningNumberOf(block.firstDraw + i));
    blocks.push_back(block);
  }
  return blocks;
}

// A list of anchors at the top, then per block its heading followed, within
// the reader's window, by the winning numbers in bold.
inline std::string BlockLayoutPage(const std::vector<Block>& blocks) {
  std::string html = "<HTML><HEAD><TITLE>ナンバーズ３ 当せん番号</TITLE></HEAD><BODY>\r\n";
  for (const Block& block : blocks) {
    if (block.anchored) {
      html += "<A href=\"#" + FormatInt(block.firstDraw) + "\">第" + FormatInt(block.firstDraw) +
              "回～</A>\r\n";
    }
  }
  for (const Block& block : blocks) {
    html +=
        "<A name=\"" + FormatInt(block.firstDraw) + "\"></A><TABLE><TR><TH>ＮＵＭＢＥＲＳ３</TH>";
    html += "</TR>\r\n<TR>";
    for (std::size_t i = 0; i < block.numbers.size(); ++i) {
      html += "<TD>" + FormatInt(block.firstDraw + static_cast<int>(i)) + "</TD><TD><B>" +
              block.numbers[i] + "</B></TD>\r\n";
    }
    html += "</TR></TABLE>\r\n";
  }
  return Sjis(html + "</BODY></HTML>\r\n");
}

struct Heading {
  int draw = 0;
  std::string number;
};

inline std::string HeadingLayoutPage(const std::vector<Heading>& headings) {
  std::string html = "<HTML><BODY><H1>ナンバーズ３ 最新の当せん番号</H1>\r\n";
  for (const Heading& heading : headings) {
    html += "<TABLE><TR><TH colspan=2><B>第" + FormatZeroPadded(heading.draw, 4) +
            "回</b></TH></TR>\r\n<TR><TD>抽せん日</TD><TD>2024/01/01</TD></TR>\r\n"
            "<TR><TD>当せん番号</TD><TD><B>" +
            heading.number + "</B></TD></TR></TABLE>\r\n";
  }
  return Sjis(html + "</BODY></HTML>\r\n");
}

inline std::vector<Heading> ConsecutiveHeadings(int firstDraw, int count) {
  std::vector<Heading> headings;
  for (int n = firstDraw; n < firstDraw + count; ++n)
    headings.push_back({n, WinningNumberOf(n)});
  return headings;
}

// Recent links (four-character keys) before the past-data marker, archive
// links after it.
inline std::string IndexPage(const std::vector<std::string>& recentKeys,
                             const std::vector<int>& archiveNumbers) {
  std::string html = "<HTML><BODY><H2>最新の当せん番号</H2>\r\n";
  for (const std::string& key : recentKeys) {
    html += "<A href=\"num3-h" + key + ".html\">" + key + "</A><BR>\r\n";
  }
  html += "<H2>★過去のデータ★</H2>\r\n";
  for (int number : archiveNumbers) {
    html += "<A href=\"num" + FormatZeroPadded(number, 4) + ".html\">第" + FormatInt(number) +
            "回～第" + FormatInt(number + 49) + "回</A><BR>\r\n";
  }
  return Sjis(html + "</BODY></HTML>\r\n");
}

}  // namespace kitebar::test
