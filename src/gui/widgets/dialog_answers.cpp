#include "widgets/dialog_answers.h"

#include <QColorDialog>
#include <QFileDialog>

namespace velmora::gui {

namespace {

// "Game Log files|*.log|All files|*.*" -> "Game Log files (*.log)", "All files (*.*)".
QStringList QtFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
  }
  return filters;
}

}  // namespace

TFileDialog::TFileDialog(TMode mode, QString title, const QString& filter, QString defaultSuffix)
    : Mode_(mode), Title_(std::move(title)), Filters_(QtFilters(filter)), DefaultSuffix_(std::move(defaultSuffix)) {}

std::optional<QString> TFileDialog::Execute(QWidget* parent, const QString& fileName) {
  OfferedName_ = fileName;
  if (Next_) {
    const QString answer = *Next_;
    Next_.reset();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
  QFileDialog dialog(parent, Title_);
  dialog.setAcceptMode(Mode_ == TMode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(Mode_ == TMode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilters(Filters_);
  dialog.setDefaultSuffix(DefaultSuffix_);
  if (!fileName.isEmpty()) dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::optional<QColor> TColorDialog::Execute(QWidget* parent, const QColor& initial) {
  if (Next_) {
    const QColor answer = *Next_;
    Next_.reset();
    if (!answer.isValid()) return std::nullopt;
    return answer;
  }
  const QColor chosen = QColorDialog::getColor(initial.isValid() ? initial : QColor(Qt::white), parent);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

}  // namespace velmora::gui
