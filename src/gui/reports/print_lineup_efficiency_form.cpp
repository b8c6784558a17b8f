#include "reports/print_lineup_efficiency_form.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/app.h"
#include "platform/user_interface.h"
#include "reports/lineup_efficiency_report.h"
#include "stats/model.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

namespace {

// A group of radio buttons named after the group ("TeamSelection1" ...), the first chosen.
std::vector<QRadioButton*> RadioGroup(QGroupBox& group, const QStringList& captions) {
  auto* layout = new QVBoxLayout(&group);
  std::vector<QRadioButton*> buttons;
  for (const QString& caption : captions) {
    auto* button = new QRadioButton(caption, &group);
    button->setObjectName(group.objectName() + QString::number(buttons.size() + 1));
    layout->addWidget(button);
    buttons.push_back(button);
  }
  buttons.front()->setChecked(true);
  return buttons;
}

int Chosen(const std::vector<QRadioButton*>& buttons) {
  const auto chosen = std::find_if(buttons.begin(), buttons.end(), [](QRadioButton* b) { return b->isChecked(); });
  return static_cast<int>(chosen == buttons.end() ? 0 : chosen - buttons.begin());
}

}  // namespace

TPrintLineupEfficiencyForm::TPrintLineupEfficiencyForm(TGuiContext& context, QWidget* parent)
    : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintLineupEfficiencyForm"));
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("ChoicesPanel"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* teams = new QGroupBox(tr("Seleccionar equipo"), panel);
  teams->setObjectName(QStringLiteral("TeamSelection"));
  const TMatchInfo& match = context.Model.MatchInfo;
  Teams_ = RadioGroup(*teams, {QString::fromStdString(match.Team1.Name), QString::fromStdString(match.Team2.Name)});
  layout->addWidget(teams);

  auto* options = new QGroupBox(tr("Seleccionar opciones del informe"), panel);
  options->setObjectName(QStringLiteral("OptionSelection"));
  QStringList labels;
  for (std::string_view key : kLineupOptions) labels << QString::fromStdString(context.App.Message(key));
  Options_ = RadioGroup(*options, labels);
  layout->addWidget(options);

  layout->addStretch(1);
  auto* generate = new QPushButton(tr("Generar informe"), panel);
  generate->setObjectName(QStringLiteral("Generate"));
  connect(generate, &QPushButton::clicked, this, &TPrintLineupEfficiencyForm::GenerateClick);
  layout->addWidget(generate);
  AddSidePanel(panel);
  BuildReport();
}

void TPrintLineupEfficiencyForm::GenerateClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TStatus generated = GenerateLineupReport(*Report_, Chosen(Teams_) + 1, Chosen(Options_));
  QApplication::restoreOverrideCursor();
  if (!generated) {
    // The preview keeps the rows it shows.
    Context().Ui.ShowMessage(kApplicationTitle, generated.Error(), TMessageIcon::Error);
    return;
  }
  FormShow();
}

void TPrintLineupEfficiencyForm::DefineReport(TReportData& data) { DefineLineupEfficiencyReport(data); }

void TPrintLineupEfficiencyForm::FillReport(TReportData& data) {
  FillLineupEfficiencyReport(data, Context().Model, Context().App);
  Report_ = &data;
}

}  // namespace velmora::gui
