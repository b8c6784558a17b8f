#include "server/internet_plugin_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_layout.h"

namespace velmora::gui {

TInternetPluginForm::TInternetPluginForm(const TCredentials& stored, const TConfiguration& config,
                                         const TRegistry& registry, TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent), Config_(config), Registry_(registry), Ui_(userInterface) {
  setWindowTitle(tr("Connect to server"));
  auto* group = new QGroupBox(tr("Settings"), this);
  auto* fields = new QFormLayout(group);
  URLEdit_ = new QLineEdit(stored.Url.empty() ? QStringLiteral("http://") : QString::fromStdString(stored.Url), group);
  URLEdit_->setObjectName(QStringLiteral("URLEdit"));
  URLEdit_->setMinimumWidth(280);
  UserEdit_ = new QLineEdit(QString::fromStdString(stored.UserName), group);
  UserEdit_->setObjectName(QStringLiteral("UserEdit"));
  PasswordEdit_ = new QLineEdit(QString::fromStdString(stored.Password), group);
  PasswordEdit_->setObjectName(QStringLiteral("PasswordEdit"));
  PasswordEdit_->setEchoMode(QLineEdit::Password);
  PasswordEdit_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
  RememberCheckbox_ = new QCheckBox(tr("&Remember password"), group);
  RememberCheckbox_->setObjectName(QStringLiteral("RememberCheckbox"));
  RememberCheckbox_->setChecked(true);
  fields->addRow(tr("Server URL"), URLEdit_);
  fields->addRow(tr("Username"), UserEdit_);
  fields->addRow(tr("Password"), PasswordEdit_);
  fields->addRow(QString(), RememberCheckbox_);

  btnNext_ = NamedButton(tr("&OK"), QStringLiteral("btnNext"), this);
  btnNext_->setDefault(true);
  btnPrev_ = NamedButton(tr("&Cancel"), QStringLiteral("btnPrev"), this);
  connect(btnNext_, &QPushButton::clicked, this, &TInternetPluginForm::btnNextClick);
  connect(btnPrev_, &QPushButton::clicked, this, &TInternetPluginForm::btnPrevClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(ButtonRow({btnNext_, btnPrev_}));
}

TInternetPluginForm::~TInternetPluginForm() {
  if (Worker_.joinable()) {
    Cancel_ = true;
    Worker_.join();  // a cancelled login ends within 200 ms
  }
}

TCredentials TInternetPluginForm::Entered() const {
  TCredentials entered{URLEdit_->text().toStdString(), UserEdit_->text().toStdString(),
                       PasswordEdit_->text().toStdString()};
  if (Outcome_) entered.Url = Outcome_->ServerUrl;
  return entered;
}

bool TInternetPluginForm::Remember() const { return RememberCheckbox_->isChecked(); }

void TInternetPluginForm::btnNextClick() {
  if (Worker_.joinable()) return;
  QString url = URLEdit_->text();
  if (!url.endsWith(QLatin1Char('/')) && !url.endsWith(QLatin1Char('\\'))) URLEdit_->setText(url + QLatin1Char('/'));
  const TCredentials entered = Entered();
  Cancel_ = false;
  SetBusy(true);
  Worker_ = std::thread([this, entered] {
    auto outcome = RunLogin(entered, Config_, Registry_, Ui_, &Cancel_);
    QMetaObject::invokeMethod(
        this, [this, outcome = std::move(outcome)]() mutable { LoginFinished(std::move(outcome)); },
        Qt::QueuedConnection);
  });
}

void TInternetPluginForm::LoginFinished(TResult<TLoginOutcome> outcome) {
  Worker_.join();  // it has posted its last word
  SetBusy(false);
  if (CloseWhenDone_) {
    QDialog::reject();
    return;
  }
  if (!outcome) return;  // the login has said why; the operator may try again
  Outcome_ = std::move(outcome.Value());
  accept();
}

void TInternetPluginForm::btnPrevClick() { reject(); }

void TInternetPluginForm::reject() {
  if (!Worker_.joinable()) {
    QDialog::reject();
    return;
  }
  // The login in flight ends within moments and then closes the dialog.
  CloseWhenDone_ = true;
  Cancel_ = true;
  btnPrev_->setEnabled(false);
}

void TInternetPluginForm::SetBusy(bool busy) {
  for (QWidget* field :
       {static_cast<QWidget*>(URLEdit_), static_cast<QWidget*>(UserEdit_), static_cast<QWidget*>(PasswordEdit_),
        static_cast<QWidget*>(RememberCheckbox_), static_cast<QWidget*>(btnNext_)}) {
    field->setEnabled(!busy);
  }
  btnPrev_->setEnabled(!busy || !CloseWhenDone_);
  if (busy) {
    setCursor(Qt::WaitCursor);
    btnPrev_->setCursor(Qt::ArrowCursor);
  } else {
    unsetCursor();
  }
}

}  // namespace velmora::gui
