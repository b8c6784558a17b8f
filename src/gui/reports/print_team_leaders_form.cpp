#include "reports/print_team_leaders_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "reports/team_leaders_report.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TPrintTeamLeadersForm::TPrintTeamLeadersForm(TGuiContext& context, QWidget* parent)
    : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintTeamLeadersForm"));
  auto* panel = new QGroupBox(tr("Seleccionar opciones"), this);
  panel->setObjectName(QStringLiteral("OptionsPanel"));
  auto* layout = new QVBoxLayout(panel);
  for (const TLeaderCategory& category : LeaderCategories()) {
    auto* box = new QCheckBox(QString::fromUtf8(category.Caption.data(), static_cast<qsizetype>(category.Caption.size())),
                              panel);
    box->setObjectName(QString::fromLatin1(category.Name.data(), static_cast<qsizetype>(category.Name.size())));
    box->setChecked(category.Checked);
    layout->addWidget(box);
    Boxes_.push_back(box);
  }
  layout->addStretch(1);
  auto* generate = new QPushButton(tr("Generar informe"), panel);
  generate->setObjectName(QStringLiteral("GenerateButton"));
  connect(generate, &QPushButton::clicked, this, &TPrintTeamLeadersForm::GenerateClick);
  layout->addWidget(generate);
  AddSidePanel(panel);
  BuildReport();
}

void TPrintTeamLeadersForm::GenerateClick() {
  TLeaderSelection selection{};
  for (std::size_t i = 0; i < Boxes_.size(); ++i) selection[i] = Boxes_[i]->isChecked();
  Leaders_->Select(selection);
  FormShow();
}

void TPrintTeamLeadersForm::DefineReport(TReportData& data) { DefineTeamLeadersReport(data); }

void TPrintTeamLeadersForm::FillReport(TReportData& data) {
  FillTeamLeadersReport(data, Context().Model, Context().App);
  Leaders_ = dynamic_cast<TTeamLeadersConnection*>(data.Connection("TeamLeadersConnection"));
}

}  // namespace velmora::gui
