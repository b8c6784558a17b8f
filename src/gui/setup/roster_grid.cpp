#include "setup/roster_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "records/game_time.h"

namespace velmora::gui {

namespace {

// Where the hidden, never shown values of a row are kept.
constexpr int kLocalIdRole = Qt::UserRole;
constexpr int kActiveRole = Qt::UserRole + 1;
constexpr int kDisabledRole = Qt::UserRole + 2;

// The in-place editors of the grid's columns.
class TRosterCellEditors : public QStyledItemDelegate {
 public:
  explicit TRosterCellEditors(TRosterGrid& grid) : QStyledItemDelegate(&grid), Grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    switch (index.column()) {
      case TRosterGrid::kNumber: return MaskedEditor(parent, QStringLiteral("00"));
      case TRosterGrid::kHeight: return MaskedEditor(parent, QStringLiteral("0.00"));
      case TRosterGrid::kName:
      case TRosterGrid::kSurname: return Grid_.NamesEditable() ? new QLineEdit(parent) : nullptr;
      case TRosterGrid::kPosition: {
        auto* codes = new QComboBox(parent);
        for (const std::string_view code : kPositionCodes) codes->addItem(QString::fromStdString(std::string(code)));
        return codes;
      }
      default: return nullptr;
    }
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const QString text = index.data().toString();
    if (auto* codes = qobject_cast<QComboBox*>(editor)) {
      codes->setCurrentIndex(std::max(0, codes->findText(text)));
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(text);
      line->selectAll();
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    QString typed;
    if (auto* codes = qobject_cast<QComboBox*>(editor)) typed = codes->currentText();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) typed = line->text();
    Grid_.PlayerListSetEditText(index.row(), index.column(), typed);
  }

 private:
  static QLineEdit* MaskedEditor(QWidget* parent, const QString& mask) {
    auto* editor = new QLineEdit(parent);
    editor->setInputMask(mask);
    return editor;
  }

  TRosterGrid& Grid_;
};

}  // namespace

TRosterGrid::TRosterGrid(QWidget* parent) : QTableWidget(1, kColumnCount, parent) {
  setHorizontalHeaderLabels(
      {tr("No."), QString(), tr("First name"), tr("Last name"), tr("Height"), tr("Position"), tr("Born"), QString()});
  verticalHeader()->hide();
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // A double click edits the player in its dialog; typing or F2 edits the cell.
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                  QAbstractItemView::SelectedClicked);
  setItemDelegate(new TRosterCellEditors(*this));
  const int widths[] = {40, 0, 120, 120, 64, 90, 0, 0};
  for (int column = 0; column < kColumnCount; ++column) setColumnWidth(column, widths[column]);
  for (const int hidden : {kId, kBorn, kClub}) setColumnHidden(hidden, true);
  horizontalHeader()->setStretchLastSection(false);
  SetRows({});
}

void TRosterGrid::SetNamesEditable(bool editable) { NamesEditable_ = editable; }

QString TRosterGrid::Cell(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

void TRosterGrid::SetCell(int row, int column, const QString& text) {
  QTableWidgetItem* cell = item(row, column);
  if (!cell) {
    cell = new QTableWidgetItem;
    setItem(row, column, cell);
  }
  cell->setText(text);
}

void TRosterGrid::SetRows(const std::vector<TRosterRow>& rows) {
  clearContents();
  setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
  for (int row = 0; row < rowCount(); ++row) {
    SetRow(row, row < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(row)] : TRosterRow{});
  }
}

std::vector<TRosterRow> TRosterGrid::Rows() const {
  std::vector<TRosterRow> rows;
  for (int row = 0; row < rowCount(); ++row) rows.push_back(Row(row));
  return rows;
}

TRosterRow TRosterGrid::Row(int row) const {
  TRosterRow values;
  values.Number = Cell(row, kNumber).toStdString();
  values.Id = Cell(row, kId).toStdString();
  values.Name = Cell(row, kName).toStdString();
  values.Surname = Cell(row, kSurname).toStdString();
  values.Height = Cell(row, kHeight).toStdString();
  values.Position = Cell(row, kPosition).toStdString();
  values.Born = Cell(row, kBorn).toStdString();
  values.Club = Cell(row, kClub).toStdString();
  if (const QTableWidgetItem* hidden = item(row, kId)) {
    values.LocalId = hidden->data(kLocalIdRole).toInt();
    values.Active = hidden->data(kActiveRole).toBool();
    values.Disabled = hidden->data(kDisabledRole).toBool();
  }
  return values;
}

void TRosterGrid::SetRow(int row, const TRosterRow& values) {
  SetCell(row, kNumber, QString::fromStdString(values.Number));
  SetCell(row, kId, QString::fromStdString(values.Id));
  SetCell(row, kName, QString::fromStdString(values.Name));
  SetCell(row, kSurname, QString::fromStdString(values.Surname));
  SetCell(row, kHeight, QString::fromStdString(values.Height));
  SetCell(row, kPosition, QString::fromStdString(values.Position));
  SetCell(row, kBorn, QString::fromStdString(values.Born));
  SetCell(row, kClub, QString::fromStdString(values.Club));
  QTableWidgetItem* hidden = item(row, kId);
  hidden->setData(kLocalIdRole, values.LocalId);
  hidden->setData(kActiveRole, values.Active);
  hidden->setData(kDisabledRole, values.Disabled);
}

int TRosterGrid::RowForAdd() {
  if (rowCount() == 1 && Cell(0, kNumber).trimmed().isEmpty()) return 0;
  insertRow(rowCount());
  SetRow(rowCount() - 1, TRosterRow{});
  return rowCount() - 1;
}

void TRosterGrid::DeleteRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  if (rowCount() == 1) {
    SetRow(0, TRosterRow{});
    return;
  }
  removeRow(row);
}

std::vector<std::string> TRosterGrid::Ids() const {
  std::vector<std::string> ids;
  for (int row = 0; row < rowCount(); ++row) {
    const QString id = Cell(row, kId).trimmed();
    if (!id.isEmpty()) ids.push_back(id.toStdString());
  }
  return ids;
}

void TRosterGrid::PlayerListSetEditText(int row, int column, const QString& typed) {
  SetCell(row, column, QString::fromStdString(EditedCellText(column, typed.toStdString())));
}

}  // namespace velmora::gui
