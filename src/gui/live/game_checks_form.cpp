#include "live/game_checks_form.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "records/game_time.h"
#include "records/message_source.h"
#include "stats/model.h"
#include "widgets/dialog_layout.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {
QString Text(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TGameChecksForm::TGameChecksForm(const TModel& model, const TMessageSource& messages,
                                 std::function<void(const std::string&)> open, QWidget* parent)
    : QDialog(parent), Model_(model), Messages_(messages), Open_(std::move(open)), Table_(new QTableWidget(this)) {
  setObjectName(QStringLiteral("GameChecksForm"));
  setWindowTitle(tr("Comprobar partido"));
  auto* hint = new QLabel(tr("Doble clic en una línea para corregir la acción."), this);
  Table_->setObjectName(QStringLiteral("ChecksTable"));
  Table_->setColumnCount(4);
  Table_->setHorizontalHeaderLabels({tr("Reloj"), tr("Periodo"), tr("Acción"), tr("Aviso")});
  Table_->verticalHeader()->hide();
  Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table_->setSelectionMode(QAbstractItemView::SingleSelection);
  Table_->setAlternatingRowColors(true);
  Table_->setWordWrap(false);
  QHeaderView* header = Table_->horizontalHeader();
  header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(2, QHeaderView::Stretch);
  header->setSectionResizeMode(3, QHeaderView::Stretch);
  connect(Table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { TableDblClick(row); });
  auto* close = NamedButton(tr("&Cerrar"), QStringLiteral("CloseButton"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addWidget(Table_, 1);
  layout->addLayout(ButtonRow({close}));
  resize(Scaled(900), Scaled(360));
  Fill();
}

void TGameChecksForm::Fill() {
  Flags_ = CheckGame(Model_);
  Table_->setRowCount(static_cast<int>(Flags_.size()));
  const TActionList& actions = Model_.Actions();
  for (int row = 0; row < static_cast<int>(Flags_.size()); ++row) {
    const TCheckFlag& flag = Flags_[static_cast<std::size_t>(row)];
    // Rendered from a copy: the model's action keeps its time of entry.
    TAction shown(*actions[flag.ActionIndex]);
    const std::string text = shown.Describe(Model_.MatchInfo, Messages_);
    const QStringList cells = {Text(MinutesSecondsOf(flag.GameTime)), Text(RomanNumeral(flag.Period)), Text(text),
                               Text(flag.Text)};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setToolTip(cells[column]);
      Table_->setItem(row, column, item);
    }
  }
}

void TGameChecksForm::TableDblClick(int row) {
  if (row < 0 || row >= static_cast<int>(Flags_.size()) || !Open_) return;
  Open_(Flags_[static_cast<std::size_t>(row)].ActionID);
  Fill();
}

}  // namespace velmora::gui
