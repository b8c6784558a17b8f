#include "charts/team_comparison_form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "charts/comparison_chart.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TTeamComparisonForm::TTeamComparisonForm(TGuiContext& context, QWidget* parent)
    : TPlayersChartForm(context, parent, tr("Gráfico comparativo de los equipos")),
      Comparison_(std::make_unique<TTeamComparison>(context.Model, context.App)),
      Scene_(std::make_unique<TComparisonScene>(Chart())) {
  setObjectName(QStringLiteral("TeamComparisonForm"));
  setWindowTitle(tr("Comparación de equipos"));

  auto* group = new QGroupBox(tr("Seleccionar  el tipo de gráfico"), this);
  group->setObjectName(QStringLiteral("OptionGroup"));
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(0);
  Options_ = new QButtonGroup(group);
  constexpr int kRows = (kComparisonStatistics + 1) / 2;
  for (int n = 1; n <= kComparisonStatistics; ++n) {
    auto* button = new QRadioButton(QString::fromStdString(ComparisonStatisticCaption(n)), group);
    button->setObjectName(QStringLiteral("Option") + QString::number(n));
    Options_->addButton(button, n);
    grid->addWidget(button, (n - 1) % kRows, (n - 1) / kRows);
  }
  Options_->button(1)->setChecked(true);
  connect(Options_, &QButtonGroup::idClicked, this, &TTeamComparisonForm::OptionGroupClick);
  MiddleLayout()->addWidget(group);
  FillLists();
}

TTeamComparisonForm::~TTeamComparisonForm() = default;

void TTeamComparisonForm::OptionGroupClick(int option) {
  Comparison_->SetStatistic(option);
  Redraw();
}

void TTeamComparisonForm::Draw() { Scene_->Show(Comparison_->Chart()); }

}  // namespace velmora::gui
