#pragma once
// The small wait window shown while a long server job runs: a bold message, a running animation of
// papers going from one folder to another, and a progress bar that stays hidden. The operator
// cannot close it; whoever showed it hides it when the job is done.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace velmora::gui {

class TCopyAnimation;

class TProgressForm : public QDialog {
  Q_OBJECT

 public:
  explicit TProgressForm(QWidget* parent = nullptr);

  void SetMessage(const QString& text);
  QString Message() const;

  // Escape and the window's close button do nothing.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* MessageLabel_ = nullptr;
  TCopyAnimation* Animation_ = nullptr;
  QProgressBar* ProgressBar_ = nullptr;
};

}  // namespace velmora::gui
