#include "live/history_list_model.h"

#include "live/history_list_box.h"

namespace velmora::gui {

int THistoryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Count());
}

QVariant THistoryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= Count()) return {};
  const THistoryLine& line = Line(static_cast<std::size_t>(index.row()));
  if (role == Qt::DisplayRole) return QString::fromStdString(line.Text);
  if (role == kNotSentRole) return line.Record.NotSent;
  return {};
}

void THistoryListModel::BeginRemove(std::size_t row) {
  const int at = static_cast<int>(row);
  beginRemoveRows({}, at, at);
}

void THistoryListModel::LineChanged(std::size_t row) {
  const QModelIndex changed = index(static_cast<int>(row));
  emit dataChanged(changed, changed);
}

}  // namespace velmora::gui
