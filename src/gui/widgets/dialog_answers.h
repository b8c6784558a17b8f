#pragma once
// The file and colour dialogs of the windows. Each asks the operator, unless a test has set its
// next answer beforehand.

#include <optional>

#include <QColor>
#include <QString>

class QWidget;

namespace velmora::gui {

class TFileDialog {
 public:
  enum class TMode { Open, Save };

  // `filter` in the "Name|patterns|Name|patterns" form, patterns separated by ";".
  TFileDialog(TMode mode, QString title, const QString& filter, QString defaultSuffix = {});

  // The chosen file's full path; none when the operator cancels.
  std::optional<QString> Execute(QWidget* parent, const QString& fileName = {});

  void AnswerNext(const QString& path) { Next_ = path; }
  void CancelNext() { Next_ = QString(); }

  const QString& Title() const { return Title_; }
  // The filter as the dialog shows it.
  const QStringList& Filters() const { return Filters_; }
  const QString& DefaultSuffix() const { return DefaultSuffix_; }
  // The file name offered by the last Execute.
  const QString& OfferedName() const { return OfferedName_; }

 private:
  TMode Mode_;
  QString Title_;
  QStringList Filters_;
  QString DefaultSuffix_;
  QString OfferedName_;
  std::optional<QString> Next_;  // an empty path cancels
};

class TColorDialog {
 public:
  // The chosen colour; none when the operator cancels.
  std::optional<QColor> Execute(QWidget* parent, const QColor& initial);

  void AnswerNext(const QColor& color) { Next_ = color; }
  void CancelNext() { Next_ = QColor(); }

 private:
  std::optional<QColor> Next_;  // an invalid colour cancels
};

}  // namespace velmora::gui
