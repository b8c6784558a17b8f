#include "charts/score_development_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "charts/development_chart.h"
#include "stats/model.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TScoreDevelopmentChartForm::TScoreDevelopmentChartForm(TGuiContext& context, QWidget* parent)
    : TPlayersChartForm(context, parent, tr("Gráfico del desarrollo del marcador")),
      Development_(std::make_unique<TScoreDevelopment>(context.Model)),
      Scene_(std::make_unique<TDevelopmentScene>(
          Chart(), std::array<std::string, 2>{context.Model.MatchInfo.Team1.Name, context.Model.MatchInfo.Team2.Name})) {
  setObjectName(QStringLiteral("ScoreDevelopmentChartForm"));
  setWindowTitle(tr("Gráfico del desarrollo del marcador"));

  auto* group = new QGroupBox(tr("Seleccionar datos a mostrar"), this);
  group->setObjectName(QStringLiteral("OptionGroup"));
  auto* options = new QVBoxLayout(group);
  options->setSpacing(0);
  Options_ = new QButtonGroup(group);
  for (int n = 1; n <= kDevelopmentOptions; ++n) {
    auto* button = new QRadioButton(QString::fromStdString(DevelopmentOptionTitle(n)), group);
    button->setObjectName(QStringLiteral("Option") + QString::number(n));
    Options_->addButton(button, n);
    options->addWidget(button);
  }
  Options_->button(1)->setChecked(true);
  connect(Options_, &QButtonGroup::idClicked, this, [this](int option) {
    Development_->SetOption(option);
    Redraw();
  });

  ChartType_ = new QComboBox(this);
  ChartType_->setObjectName(QStringLiteral("ChartType"));
  ChartType_->addItems({tr("Tipo de gráfico: Barra"), tr("Tipo de gráfico: Línea")});
  ChartType_->setCurrentIndex(1);
  connect(ChartType_, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
  Accumulative_ = new QCheckBox(tr("Acumulativa"), this);
  Accumulative_->setObjectName(QStringLiteral("Accumulative"));
  Accumulative_->setChecked(true);
  connect(Accumulative_, &QCheckBox::clicked, this, [this](bool checked) {
    Development_->SetAccumulated(checked);
    Redraw();
  });
  View3D_ = new QCheckBox(tr("Vista de gráfico en 3D"), this);
  View3D_->setObjectName(QStringLiteral("view3D"));
  View3D_->setChecked(true);
  connect(View3D_, &QCheckBox::clicked, this, [this] { Redraw(); });

  MiddleLayout()->addWidget(group);
  MiddleLayout()->addWidget(ChartType_);
  MiddleLayout()->addWidget(Accumulative_);
  MiddleLayout()->addWidget(View3D_);
  MiddleLayout()->addStretch(1);
  FillLists();
}

TScoreDevelopmentChartForm::~TScoreDevelopmentChartForm() = default;

void TScoreDevelopmentChartForm::Draw() {
  Scene_->Show(Development_->Chart(), {ChartType_->currentIndex() == 0, View3D_->isChecked()});
}

}  // namespace velmora::gui
