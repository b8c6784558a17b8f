#include "live/sending_banner.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/logger.h"
#include "server/internet_plugin_form.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/sender.h"
#include "stats/model.h"
#include "widgets/dialog_layout.h"
#include "widgets/gui_context.h"
#include "widgets/scaling.h"

namespace velmora::gui {

TSendingBanner::TSendingBanner(TGuiContext& context, QWidget* parent) : QFrame(parent), Context_(context) {
  setObjectName(QStringLiteral("SendingBanner"));
  setStyleSheet(QStringLiteral("QFrame#SendingBanner { background: #8a3c00; border-radius: 3px; }"
                               "QFrame#SendingBanner QLabel { color: white; font-weight: bold; }"));
  Text_ = new QLabel(this);
  Text_->setObjectName(QStringLiteral("SendingBannerText"));
  Text_->setWordWrap(true);
  Text_->setTextFormat(Qt::PlainText);
  Connect_ = NamedButton(tr("Conectar"), QStringLiteral("SendingConnectButton"), this);
  Dismiss_ = NamedButton(tr("Entendido"), QStringLiteral("SendingDismissButton"), this);
  // A click must not take the keyboard from the entry.
  Connect_->setFocusPolicy(Qt::NoFocus);
  Dismiss_->setFocusPolicy(Qt::NoFocus);
  connect(Connect_, &QPushButton::clicked, this, &TSendingBanner::ConnectClick);
  connect(Dismiss_, &QPushButton::clicked, this, &TSendingBanner::DismissClick);

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(Scaled(2));
  buttons->addWidget(Connect_);
  buttons->addWidget(Dismiss_);
  buttons->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(Scaled(6), Scaled(4), Scaled(4), Scaled(4));
  layout->addWidget(Text_, 1);
  layout->addLayout(buttons);
  hide();
}

void TSendingBanner::Attach(TSender* sender) {
  if (Sender_) Sender_->SetStateListener(nullptr);
  Sender_ = sender;
  if (Sender_) Sender_->SetStateListener([this](const TSendingState& state) { ShowState(state); });
  ShowState(Sender_ ? Sender_->SendingState() : TSendingState{});
}

void TSendingBanner::ShowState(const TSendingState& state) {
  State_ = state;
  Acknowledged_ = std::min(Acknowledged_, State_.Refused.size());
  const std::string notice = SendingNotice(State_, Acknowledged_);
  Text_->setText(QString::fromStdString(notice));
  Connect_->setVisible(State_.Held.has_value());
  Dismiss_->setVisible(State_.Refused.size() > Acknowledged_);
  setVisible(!notice.empty());
}

void TSendingBanner::ConnectClick() {
  TInternetPlugin* client = ServerClientOf(Context_.Model);
  if (!client || !Sender_) return;
  TInternetPluginForm dialog(ReadCredentials(Context_.Registry), Context_.App.Config(), Context_.Registry, Context_.Ui,
                             window());
  if (dialog.exec() != QDialog::Accepted || !Sender_) return;
  // The session is what sending needs; credentials that could not be kept only cost a typing later.
  if (!client->TakeOverLogin(dialog.Outcome(), dialog.Entered(), dialog.Remember(), Context_.Registry)) {
    Log("The credentials of the new login could not be stored");
  }
  Sender_->Resume();
}

void TSendingBanner::DismissClick() {
  Acknowledged_ = State_.Refused.size();
  ShowState(State_);
}

}  // namespace velmora::gui
