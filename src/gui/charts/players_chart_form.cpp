#include "charts/players_chart_form.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "charts/chart_look.h"
#include "charts/chart_widgets.h"
#include "stats/model.h"
#include "widgets/dialog_layout.h"
#include "widgets/gui_context.h"
#include "widgets/scaling.h"

namespace velmora::gui {

TPlayersChartForm::TPlayersChartForm(TGuiContext& context, QWidget* parent, const QString& chartTitle)
    : TCustomForm(parent), Context_(context), SaveDialog_(ChartSaveDialog()), Chart_(new QChart) {
  // A fixed window that can only be minimised or closed.
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* upper = new QGroupBox(tr("Seleccionar detalles para comparar"), this);
  upper->setObjectName(QStringLiteral("DetailsGroup"));
  auto* columns = new QHBoxLayout(upper);
  columns->addWidget(BuildTeamColumn(1, upper));
  Middle_ = new QVBoxLayout;
  columns->addLayout(Middle_, 1);
  columns->addWidget(BuildTeamColumn(2, upper));

  auto* actions = new QGroupBox(tr("Acciones"), this);
  actions->setObjectName(QStringLiteral("ActionsGroup"));
  auto* copy = NamedButton(tr("Copiar"), QStringLiteral("CopyButton"), actions);
  auto* save = NamedButton(tr("Guardar"), QStringLiteral("SaveButton"), actions);
  auto* print = NamedButton(tr("Imprimir"), QStringLiteral("PrintButton"), actions);
  auto* close = NamedButton(tr("&Cerrar"), QStringLiteral("CloseButton"), actions);
  // Printing goes through the report engine, which is not in this window yet.
  print->setEnabled(false);
  connect(copy, &QPushButton::clicked, this, &TPlayersChartForm::CopyButtonClick);
  connect(save, &QPushButton::clicked, this, &TPlayersChartForm::SaveButtonClick);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = ButtonRow({copy, save, print, close});
  actions->setLayout(buttons);

  auto* chartGroup = new QGroupBox(chartTitle, this);
  chartGroup->setObjectName(QStringLiteral("ChartGroup"));
  View_ = new QChartView(Chart_, chartGroup);
  View_->setObjectName(QStringLiteral("ChartView"));
  View_->setRenderHint(QPainter::Antialiasing);
  View_->setRubberBand(QChartView::NoRubberBand);
  View_->setFixedSize(Scaled(kChartViewSize.width()), Scaled(kChartViewSize.height()));
  auto* chartLayout = new QVBoxLayout(chartGroup);
  chartLayout->addWidget(View_, 0, Qt::AlignHCenter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(6), Scaled(6), Scaled(6), Scaled(6));
  layout->addWidget(upper);
  layout->addWidget(actions);
  layout->addWidget(chartGroup);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TPlayersChartForm::BuildTeamColumn(int team, QWidget* parent) {
  const int t = team - 1;
  const QString number = QString::number(team);
  auto* column = new QWidget(parent);
  Names_[t] = new QLabel(QString::fromStdString(Context_.Model.MatchInfo.Team(team).Name), column);
  Names_[t]->setObjectName(QStringLiteral("Team") + number);
  QFont bold = Names_[t]->font();
  bold.setBold(true);
  Names_[t]->setFont(bold);
  auto* header = new QHBoxLayout;
  header->addWidget(Names_[t], 1);
  for (const bool selected : {true, false}) {
    QToolButton* button = TickButton(
        selected, selected ? tr("Seleccionar todos los jugadores") : tr("Anular selección de todos los jugadores"),
        (selected ? QStringLiteral("SelectAllTeam") : QStringLiteral("DeselectAllTeam")) + number, column);
    connect(button, &QToolButton::clicked, this, [this, team, selected] { SelectAllClick(team, selected); });
    header->addWidget(button);
  }
  Lists_[t] = new TCheckList(column);
  Lists_[t]->setObjectName(QStringLiteral("Team") + number + QStringLiteral("List"));
  Lists_[t]->setFixedWidth(Scaled(190));
  Lists_[t]->setMinimumHeight(Scaled(200));
  Lists_[t]->SetToggleHandler([this, team](int row) {
    TChartPlayer& player = Players(team)[static_cast<std::size_t>(row)];
    player.Selected = !player.Selected;
    ShowTicks();
    Redraw();
  });
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(header);
  layout->addWidget(Lists_[t], 1);
  return column;
}

void TPlayersChartForm::FillLists() {
  for (int team = 1; team <= 2; ++team) Lists_[team - 1]->SetPlayers(Players(team));
  Redraw();
}

void TPlayersChartForm::ShowTicks() {
  for (int team = 1; team <= 2; ++team) Lists_[team - 1]->ShowSelection(Players(team));
}

void TPlayersChartForm::Redraw() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Draw();
  ++Redraws_;
  QApplication::restoreOverrideCursor();
}

void TPlayersChartForm::SelectAllClick(int team, bool selected) {
  for (TChartPlayer& player : Players(team)) player.Selected = selected;
  ShowTicks();
  Redraw();
}

QImage TPlayersChartForm::Picture(double scale) const { return ChartImage(*Chart_, scale); }

void TPlayersChartForm::CopyButtonClick() { CopyChartPicture(Picture(2)); }

// Saved straight from the chart: the operator's clipboard is left as it was.
void TPlayersChartForm::SaveButtonClick() { SaveChartPicture(this, SaveDialog_, Context_.Ui, Picture(2)); }

}  // namespace velmora::gui
