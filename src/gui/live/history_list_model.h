#pragma once
// The live game's history list as an item model: the sender changes the core list, and the rows
// that changed reach the list box at once.

#include <QAbstractListModel>

#include "serverlink/history.h"

namespace velmora::gui {

class THistoryListModel final : public QAbstractListModel, public THistoryList {
  Q_OBJECT

 public:
  explicit THistoryListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void Reload() override { emit ReloadRequested(); }
  bool Shown() const override { return Shown_; }
  void SetShown(bool shown) { Shown_ = shown; }

 signals:
  void ReloadRequested();

 protected:
  void BeginInsert(std::size_t row) override {
    beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
  }
  void EndInsert() override { endInsertRows(); }
  void BeginRemove(std::size_t row) override;
  void EndRemove() override { endRemoveRows(); }
  void LineChanged(std::size_t row) override;
  void BeginReset() override { beginResetModel(); }
  void EndReset() override { endResetModel(); }

 private:
  bool Shown_ = false;
};

}  // namespace velmora::gui
