#include "setup/formula_help_form.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "records/file_io.h"

namespace velmora::gui {

std::filesystem::path FormulaHelpFile(const std::filesystem::path& programFolder) {
  return programFolder / "report" / "formula.html";
}

TFormulaHelpForm::TFormulaHelpForm(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setWindowTitle(tr("Ayuda del fórmula"));
  HelpText_ = new QTextBrowser(this);
  HelpText_->setObjectName(QStringLiteral("HelpText"));
  HelpText_->setReadOnly(true);
  QPalette tooltip = HelpText_->palette();
  tooltip.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
  tooltip.setColor(QPalette::Text, palette().color(QPalette::ToolTipText));
  HelpText_->setPalette(tooltip);
  setPalette(tooltip);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(HelpText_);
  resize(460, 420);
}

bool TFormulaHelpForm::FormCreate(const std::filesystem::path& helpFile) {
  const auto text = ReadWholeFile(helpFile);
  if (!text) return false;
  HelpText_->setHtml(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())));
  return true;
}

QString TFormulaHelpForm::Text() const { return HelpText_->toPlainText(); }

}  // namespace velmora::gui
