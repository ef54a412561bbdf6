#pragma once

class QTableWidget;

namespace kitebar::app {

// The geometry of the dialogs' draw lists, worked out with the font and the
// style actually used.

// Sets the header and row heights for the list's font and trims the list's
// height so that its visible area holds whole rows: no row is ever shown cut
// off at the bottom.
void FitListToWholeRows(QTableWidget& list, int rowHeight);

// Gives column 0 `firstWidth` pixels and shares the rest of the visible width,
// beside a vertical scroll bar, equally among the other columns, so that the
// list never needs a horizontal scroll bar.
void SpreadColumns(QTableWidget& list, int firstWidth);

// Scrolls `row` into view at once. Rows just rebuilt are laid out first: the
// view would otherwise scroll within the row count it had before, and the
// newest rows could stay below the visible area. The arrow keys then move on
// from `row`, which is not selected.
void ScrollRowIntoView(QTableWidget& list, int row);

}  // namespace kitebar::app
