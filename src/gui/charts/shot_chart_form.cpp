#include "charts/shot_chart_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "charts/chart_widgets.h"
#include "charts/shot_chart_picture.h"
#include "stats/model.h"
#include "widgets/dialog_layout.h"
#include "widgets/gui_context.h"
#include "widgets/scaling.h"

namespace velmora::gui {

TShotChartForm::TShotChartForm(TGuiContext& context, QWidget* parent)
    : TCustomForm(parent), Context_(context), SaveDialog_(ChartSaveDialog()) {
  setObjectName(QStringLiteral("ShotChartForm"));
  setWindowTitle(tr("Grafica de tiros"));
  // A fixed window that can only be minimised or closed.
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(6), Scaled(6), Scaled(6), Scaled(6));
  layout->setSpacing(Scaled(4));
  layout->addWidget(BuildOptions());
  layout->addWidget(BuildChartGroup());
  layout->addWidget(BuildButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TShotChartForm::~TShotChartForm() = default;

QGroupBox* TShotChartForm::BuildOptions() {
  auto* group = new QGroupBox(tr("Opciones"), this);
  group->setObjectName(QStringLiteral("OptionsGroup"));
  auto* columns = new QHBoxLayout(group);
  columns->setSpacing(Scaled(8));
  for (int team = 1; team <= 2; ++team) {
    const int t = team - 1;
    const QString number = QString::number(team);
    TeamBoxes_[t] = new QCheckBox(group);
    TeamBoxes_[t]->setObjectName(QStringLiteral("Team") + number + QStringLiteral("Box"));
    TeamBoxes_[t]->setChecked(true);
    connect(TeamBoxes_[t], &QCheckBox::clicked, this, [this, team] { TeamBoxClick(team); });
    TeamLists_[t] = new TCheckList(group);
    TeamLists_[t]->setObjectName(QStringLiteral("Team") + number + QStringLiteral("List"));
    TeamLists_[t]->setFixedSize(Scaled(165), Scaled(130));
    TeamLists_[t]->SetToggleHandler([this, team](int row) {
      Chart_->TogglePlayer(team, static_cast<std::size_t>(row));
      ShowTicks();
      Generate();
    });
    auto* header = new QHBoxLayout;
    header->addWidget(TeamBoxes_[t], 1);
    for (const bool selected : {true, false}) {
      QToolButton* button =
          TickButton(selected, selected ? tr("Seleccionar todo") : tr("No seleccionar nada"),
                     (selected ? QStringLiteral("SelectAllTeam") : QStringLiteral("DeselectAllTeam")) + number, group);
      connect(button, &QToolButton::clicked, this, [this, team, selected] { SelectAllClick(team, selected); });
      SelectButtons_[t][selected ? 0 : 1] = button;
      header->addWidget(button);
    }
    auto* column = new QVBoxLayout;
    column->addLayout(header);
    column->addWidget(TeamLists_[t]);
    columns->addLayout(column);
  }

  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(tr("Cuartos"), group));
  QuarterList_ = new TCheckList(group);
  QuarterList_->setObjectName(QStringLiteral("QuarterList"));
  QuarterList_->setFixedSize(Scaled(140), Scaled(86));
  QuarterList_->SetToggleHandler([this](int row) {
    Chart_->TogglePeriod(static_cast<std::size_t>(row));
    ShowTicks();
    Generate();
  });
  right->addWidget(QuarterList_);
  right->addWidget(new QLabel(tr("Mostrar la pista"), group));
  auto* sides = new QVBoxLayout;
  ByTeam_ = AddChoice(tr("Por equipo"), QStringLiteral("ByTeamButton"), sides, group);
  ByHalf_ = AddChoice(tr("Por mitad"), QStringLiteral("ByHalfButton"), sides, group);
  ByTeam_->setChecked(true);
  right->addLayout(sides);
  right->addStretch(1);
  columns->addLayout(right);
  return group;
}

QRadioButton* TShotChartForm::AddChoice(const QString& caption, const QString& name, QBoxLayout* layout,
                                        QWidget* parent) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(name);
  connect(button, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Generate();
  });
  layout->addWidget(button);
  return button;
}

QGroupBox* TShotChartForm::BuildChartGroup() {
  auto* group = new QGroupBox(tr("Grafica de tiros"), this);
  group->setObjectName(QStringLiteral("ChartGroup"));
  ChartLayout_ = new QVBoxLayout(group);
  auto* labels = new QHBoxLayout;
  for (int side = 0; side < 2; ++side) {
    SideLabels_[side] = new QLabel(group);
    SideLabels_[side]->setObjectName(side == 0 ? QStringLiteral("Side1Label") : QStringLiteral("Side2Label"));
    SideLabels_[side]->setAlignment(Qt::AlignCenter);
    QFont bold = SideLabels_[side]->font();
    bold.setBold(true);
    SideLabels_[side]->setFont(bold);
    labels->addWidget(SideLabels_[side], 1);
  }
  ChartLayout_->addLayout(labels);
  CourtImage_ = new TChartPicture(QSize(kFullCourtWidth, kFullCourtHeight), group);
  CourtImage_->setObjectName(QStringLiteral("CourtImage"));
  CourtImage_->SetPainter([this](QPainter& painter, const QRectF& target) { PaintChart(painter, target); });
  ChartLayout_->addWidget(CourtImage_, 0, Qt::AlignHCenter);

  auto* looks = new QHBoxLayout;
  Color_ = AddChoice(tr("Color"), QStringLiteral("ColorButton"), looks, group);
  BlackWhite_ = AddChoice(tr("Blanco && Negro"), QStringLiteral("BlackWhiteButton"), looks, group);
  Color_->setChecked(true);
  looks->addStretch(1);
  ChartLayout_->addLayout(looks);
  return group;
}

QWidget* TShotChartForm::BuildButtons() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("BottomPanel"));
  auto* print = NamedButton(tr("&Imprimir"), QStringLiteral("PrintButton"), panel);
  auto* save = NamedButton(tr("&Guardar"), QStringLiteral("SaveButton"), panel);
  auto* copy = NamedButton(tr("C&opiar"), QStringLiteral("CopyButton"), panel);
  auto* close = NamedButton(tr("&Cerrar"), QStringLiteral("CloseButton"), panel);
  // Printing goes through the report engine, which is not in this window yet.
  print->setEnabled(false);
  connect(save, &QPushButton::clicked, this, &TShotChartForm::SaveButtonClick);
  connect(copy, &QPushButton::clicked, this, &TShotChartForm::CopyButtonClick);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* row = ButtonRow({print, save, copy, close});
  row->setContentsMargins(0, 0, 0, 0);
  panel->setLayout(row);
  return panel;
}

void TShotChartForm::Fill() {
  Chart_ = std::make_unique<TShotChart>(Context_.Model);
  for (int team = 1; team <= 2; ++team) {
    TeamBoxes_[team - 1]->setText(QString::fromStdString(Context_.Model.MatchInfo.Team(team).Name));
    TeamLists_[team - 1]->SetPlayers(Chart_->Players(team));
  }
  QuarterList_->SetEntries(Chart_->PeriodCaptions());
  ShowTicks();
  Generate();
}

void TShotChartForm::ShowTicks() {
  for (int team = 1; team <= 2; ++team) {
    TeamBoxes_[team - 1]->setChecked(Chart_->TeamTicked(team));
    TeamLists_[team - 1]->setEnabled(Chart_->TeamTicked(team));
    for (QToolButton* button : SelectButtons_[team - 1]) button->setEnabled(Chart_->TeamTicked(team));
    TeamLists_[team - 1]->ShowSelection(Chart_->Players(team));
  }
  QuarterList_->SetTicks(Chart_->PeriodTicks());
}

void TShotChartForm::Generate() {
  if (!Chart_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Chart_->SetByHalf(ByHalf_->isChecked());
  Shots_ = Chart_->Shots();
  const auto labels = Chart_->SideLabels();
  for (int side = 0; side < 2; ++side) SideLabels_[side]->setText(QString::fromStdString(labels[side]));
  ShotsChanged();
  ++Generations_;
  CourtImage_->update();
  QApplication::restoreOverrideCursor();
}

void TShotChartForm::PaintChart(QPainter& painter, const QRectF& target) const {
  PaintShotChart(painter, target, Shots_, BlackWhite_->isChecked());
}

QImage TShotChartForm::Picture(double scale) const {
  return ShotChartImage(Shots_, BlackWhite_->isChecked(), scale);
}

void TShotChartForm::TeamBoxClick(int team) {
  Chart_->SetTeamTicked(team, TeamBoxes_[team - 1]->isChecked());
  ShowTicks();
  Generate();
}

void TShotChartForm::SelectAllClick(int team, bool selected) {
  Chart_->SelectAll(team, selected);
  ShowTicks();
  Generate();
}

void TShotChartForm::SaveButtonClick() { SaveChartPicture(this, SaveDialog_, Context_.Ui, Picture(2)); }

void TShotChartForm::CopyButtonClick() { CopyChartPicture(Picture(2)); }

}  // namespace velmora::gui
