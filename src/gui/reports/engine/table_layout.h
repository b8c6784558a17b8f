#pragma once
// A table of a layout made ready to flow onto pages: the column heads and every row with its
// height and its fitted cell texts, then drawn row by row wherever the flow puts it.

#include <optional>
#include <utility>
#include <vector>

#include "reports/engine/font_book.h"
#include "reports/engine/page_stream.h"
#include "reports/engine/report_layout.h"
#include "reports/engine/template_text.h"

namespace velmora::report {

struct TPreparedCell {
  double X = 0;  // from the table's left edge
  double Width = 0;
  Qt::Alignment Align = Qt::AlignLeft;
  std::vector<std::pair<QString, int>> Lines;  // text and font
};

struct TPreparedRow {
  double Height = 0;
  double LineHeight = 0;
  bool Group = false;  // a band across the table
  QColor Fill;         // invalid: none
  double RuleAbove = 0;
  double RuleBelow = 0;
  std::vector<TPreparedCell> Cells;
};

struct TPreparedTable {
  double Left = 0;  // from the container's left edge
  double Width = 0;
  double Padding = 0;
  TPreparedRow Head;
  std::optional<TPreparedRow> Continued;  // above the heads on the pages after the first
  std::vector<TPreparedRow> Rows;

  // What must fit for the table to start on a page: the heads and the first row (with the row a
  // band opens).
  double FirstRowsHeight() const;
};

// Fills in every row of the table (the connections through `source`), fitted to the columns.
TPreparedTable PrepareTable(const TTable& table, double containerWidth, const TTemplateSource& source, TFontBook& book);

// Records the row with its top at `y` and the container's left edge at `left`; its height.
double DrawRow(const TPreparedRow& row, const TPreparedTable& table, double left, double y, std::vector<TRun>& out);

}  // namespace velmora::report
