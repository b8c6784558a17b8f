#pragma once
// Clicking the hot spots of a history list as the operator does.

#include <QTest>

#include "live/history_list_box.h"

namespace velmora::gui::testing {

// Clicks "Editar" or "Elminar" on the line of the list.
inline void ClickHotSpot(THistoryListBox& list, int row, bool edit) {
  const QModelIndex line = list.model()->index(row, 0);
  list.scrollTo(line);
  QTest::qWait(20);  // a drawing remembers the widths of the hot spots
  const THistoryListBox::TGeometry& g = list.Geometry();
  const int x = edit ? g.UsableWidth - g.DeleteWidth - g.SeparatorWidth - g.EditWidth / 2 : g.UsableWidth - 2;
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(x, list.visualRect(line).center().y()));
}

}  // namespace velmora::gui::testing
