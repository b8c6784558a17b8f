#pragma once
// The roster grid of the match editor: one row per player, always at least one (maybe empty) row,
// cells edited in place with masks for the shirt number and the height and a list of position
// codes. Column 1 (the server ID), 6 (date of birth) and 7 (club) are hidden.

#include <vector>

#include <QTableWidget>

#include "records/roster_rows.h"

namespace velmora::gui {

class TRosterGrid : public QTableWidget {
  Q_OBJECT

 public:
  enum TColumn { kNumber = 0, kId, kName, kSurname, kHeight, kPosition, kBorn, kClub, kColumnCount };

  explicit TRosterGrid(QWidget* parent = nullptr);

  // Server games have their names from the server: no typing in the name columns.
  void SetNamesEditable(bool editable);
  bool NamesEditable() const { return NamesEditable_; }

  void SetRows(const std::vector<TRosterRow>& rows);
  std::vector<TRosterRow> Rows() const;
  TRosterRow Row(int row) const;
  void SetRow(int row, const TRosterRow& values);
  // The row an added player goes to: the only row when it is empty, else a new last row.
  int RowForAdd();
  // The rows below move up and the last goes; the only row is emptied instead.
  void DeleteRow(int row);
  // The server IDs of every row, blanks trimmed, empty ones left out.
  std::vector<std::string> Ids() const;

  // What a finished in-place edit leaves in the cell.
  void PlayerListSetEditText(int row, int column, const QString& typed);

 private:
  QString Cell(int row, int column) const;
  void SetCell(int row, int column, const QString& text);

  bool NamesEditable_ = true;
};

}  // namespace velmora::gui
