#pragma once
// "Send statistics": the operator types the final score again and says who sends the statistics,
// before they are transferred to the server.

#include <QDialog>

#include "reports/box_score_report.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velmora {
class TModel;
class TUserInterface;
}  // namespace velmora

namespace velmora::gui {

class TConfirmScoreForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kContactsLength = 255;

  // The model's team names are shown; its scores are what the typed ones are checked against.
  TConfirmScoreForm(const TModel& model, TUserInterface& userInterface, QWidget* parent = nullptr);

  // What was confirmed, after the dialog closed with "&Send".
  const TScoreConfirmation& Result() const { return Result_; }

  void SendButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const TModel& Model_;
  TUserInterface& Ui_;
  QLineEdit* Team1ScoreEdit_ = nullptr;
  QLineEdit* Team2ScoreEdit_ = nullptr;
  QLineEdit* NameEdit_ = nullptr;
  QPlainTextEdit* ContactsEdit_ = nullptr;
  TScoreConfirmation Result_;
};

}  // namespace velmora::gui
