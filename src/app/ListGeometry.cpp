#include "app/ListGeometry.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

namespace kitebar::app {

void FitListToWholeRows(QTableWidget& list, int rowHeight) {
  list.verticalHeader()->setMinimumSectionSize(rowHeight);
  list.verticalHeader()->setDefaultSectionSize(rowHeight);
  const int headerHeight = list.fontMetrics().height() + 6;
  list.horizontalHeader()->setFixedHeight(headerHeight);
  const int rowsArea = list.height() - 2 * list.frameWidth() - headerHeight;
  list.resize(list.width(), list.height() - std::max(0, rowsArea) % rowHeight);
}

void SpreadColumns(QTableWidget& list, int firstWidth) {
  const int scrollBar =
      list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list.verticalScrollBar());
  const int visible = list.width() - 2 * list.frameWidth() - scrollBar;
  const int others = list.columnCount() - 1;
  list.setColumnWidth(0, firstWidth);
  if (others <= 0)
    return;
  const int share = std::max(0, visible - firstWidth) / others;
  for (int column = 1; column <= others; ++column)
    list.setColumnWidth(column, share);
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ScrollRowIntoView(QTableWidget& list, int row) {
  if (row < 0 || row >= list.rowCount())
    return;
  list.doItemsLayout();
  list.scrollToItem(list.item(row, 0));
  // The arrow keys go on from that row, not from the top; nothing is selected.
  list.setCurrentIndex(list.model()->index(row, 0));
  list.selectionModel()->clearSelection();
}

}  // namespace kitebar::app
