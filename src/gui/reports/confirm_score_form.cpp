#include "reports/confirm_score_form.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/user_interface.h"
#include "stats/model.h"
#include "widgets/dialog_layout.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

constexpr std::string_view kTitle = "Velmora";

QLineEdit* ScoreEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(3);
  edit->setFixedWidth(Scaled(48));
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

QLabel* TeamLabel(const char* name, const std::string& team, QWidget* parent) {
  auto* label = new QLabel(QString::fromStdString(team), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

}  // namespace

TConfirmScoreForm::TConfirmScoreForm(const TModel& model, TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent), Model_(model), Ui_(userInterface) {
  setObjectName(QStringLiteral("ConfirmScoreForm"));
  setWindowTitle(tr("Send statistics"));
  auto* layout = new QVBoxLayout(this);

  auto* scoreGroup = new QGroupBox(tr("Confirm final score"), this);
  auto* scoreLayout = new QVBoxLayout(scoreGroup);
  auto* question = new QLabel(tr("Please enter the final score of the game again to double-check the result:"), this);
  question->setWordWrap(true);
  QFont bold = question->font();
  bold.setBold(true);
  question->setFont(bold);
  scoreLayout->addWidget(question);
  auto* scores = new QFormLayout;
  Team1ScoreEdit_ = ScoreEdit("Team1ScoreEdit", this);
  Team2ScoreEdit_ = ScoreEdit("Team2ScoreEdit", this);
  scores->addRow(TeamLabel("Team1Label", model.MatchInfo.Team1.Name, this), Team1ScoreEdit_);
  scores->addRow(TeamLabel("Team2Label", model.MatchInfo.Team2.Name, this), Team2ScoreEdit_);
  scoreLayout->addLayout(scores);
  layout->addWidget(scoreGroup);

  auto* contactGroup = new QGroupBox(tr("Your name and contact details"), this);
  auto* contactLayout = new QVBoxLayout(contactGroup);
  contactLayout->addWidget(new QLabel(tr("Your name:"), this));
  NameEdit_ = new QLineEdit(this);
  NameEdit_->setObjectName(QStringLiteral("NameEdit"));
  NameEdit_->setMaxLength(200);
  contactLayout->addWidget(NameEdit_);
  contactLayout->addWidget(new QLabel(tr("Contact details: (e.g. email address, phone number etc.)"), this));
  ContactsEdit_ = new QPlainTextEdit(this);
  ContactsEdit_->setObjectName(QStringLiteral("ContactsEdit"));
  ContactsEdit_->setFixedHeight(Scaled(70));
  // A multi-line box has no length limit of its own.
  connect(ContactsEdit_, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = ContactsEdit_->toPlainText();
    if (text.size() <= kContactsLength) return;
    ContactsEdit_->setPlainText(text.left(kContactsLength));
    ContactsEdit_->moveCursor(QTextCursor::End);
  });
  contactLayout->addWidget(ContactsEdit_);
  layout->addWidget(contactGroup);

  QPushButton* send = NamedButton(tr("&Send"), QStringLiteral("SendButton"), this);
  send->setDefault(true);
  QPushButton* cancel = NamedButton(tr("&Cancel"), QStringLiteral("CancelButton"), this);
  connect(send, &QPushButton::clicked, this, &TConfirmScoreForm::SendButtonClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addLayout(ButtonRow({send, cancel}));
  setMinimumWidth(Scaled(380));
}

void TConfirmScoreForm::showEvent(QShowEvent* event) {
  Team1ScoreEdit_->clear();
  Team2ScoreEdit_->clear();
  QDialog::showEvent(event);
}

void TConfirmScoreForm::SendButtonClick() {
  auto confirmation =
      ReadScoreConfirmation(Team1ScoreEdit_->text().toStdString(), Team2ScoreEdit_->text().toStdString(),
                            NameEdit_->text().toStdString(), ContactsEdit_->toPlainText().toStdString());
  if (!confirmation) {
    Ui_.ShowMessage(kTitle, confirmation.Error(), TMessageIcon::Error);
    return;
  }
  if (!ScoresAsInStatistics(confirmation.Value(), Model_) &&
      !Ui_.AskYesNo(kTitle, kScoreDiffersQuestion, TMessageIcon::Question)) {
    return;
  }
  Result_ = std::move(confirmation.Value());
  accept();
}

}  // namespace velmora::gui
