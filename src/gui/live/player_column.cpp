#include "live/player_column.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>

#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

constexpr int kMargin = 5;

QString Name(const char* stem, int team, const char* rest = "") {
  return QString::fromLatin1(stem) + QString::number(team) + QString::fromLatin1(rest);
}

}  // namespace

TPlayerButton::TPlayerButton(QString caption, int tag, QWidget* parent) : QPushButton(caption, parent), Tag_(tag) {
  setCheckable(true);
  QFont small = font();
  small.setPixelSize(Scaled(11));
  setFont(small);
  setFixedHeight(Scaled(25));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TPlayerButton::SetFouls(int fouls, int limit) {
  Fouls_ = fouls;
  Limit_ = limit;
  update();
}

QSize TPlayerButton::sizeHint() const { return {Scaled(150), Scaled(25)}; }

void TPlayerButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  const double scale = ScreenScale();
  const bool down = isDown() || isChecked();
  const int shift = down ? 1 : 0;
  const int dotsWidth = Limit_ > 0 ? static_cast<int>((7 * Limit_ + 4) * scale) : 0;
  const QRect textArea = rect().adjusted(static_cast<int>(kMargin * scale) + shift, shift,
                                         -static_cast<int>(kMargin * scale) - dotsWidth, 0);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(caption, Qt::ElideRight, textArea.width()));
  if (Limit_ <= 0) return;

  // Dots of 6 x 6 (at 96 dpi) ending at the right margin; the fouls committed fill from the right.
  painter.setRenderHint(QPainter::Antialiasing);
  const double x0 = width() - 2 * kMargin * scale - 7 * Limit_ * scale + shift;
  const double yc = height() / 2 + shift;
  const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
  for (int i = 0; i < Limit_; ++i) {
    const QRectF dot(x0 + (7 * i + 3) * scale, yc - 3 * scale, 6 * scale, 6 * scale);
    if (isEnabled()) {
      painter.setPen(QPen(Qt::black, scale));
      painter.setBrush(i < Limit_ - Fouls_ ? QColor(Qt::white) : QColor(220, 30, 30));
    } else {
      painter.setPen(QPen(grey, scale));
      painter.setBrush(grey);
    }
    painter.drawEllipse(dot);
  }
}

TPlayerColumn::TPlayerColumn(int team, QWidget* parent)
    : QWidget(parent),
      PlayerArea_(new QWidget(this)),
      TeamPanel_(new QWidget(this)),
      TeamButton_(new TPlayerButton(tr("Acción de equipo"), -team, TeamPanel_)),
      SubstPanel_(new QWidget(this)),
      SubstOne_(new QPushButton(tr("Cambio individual"), SubstPanel_)),
      SubstAll_(new QPushButton(tr("Cambio múltiple"), SubstPanel_)) {
  setObjectName(team == 1 ? QStringLiteral("LeftPanel") : QStringLiteral("RightPanel"));
  TeamPanel_->setObjectName(Name("pnl_team", team, "Act"));
  TeamButton_->setObjectName(Name("TeamAct", team, "Button"));
  SubstPanel_->setObjectName(Name("pnl_team", team, "subst"));
  SubstOne_->setObjectName(Name("Team", team, "_SubstOne"));
  SubstAll_->setObjectName(Name("Team", team, "_SubstAll"));
  setMinimumWidth(Scaled(150));

  auto* players = new QVBoxLayout(PlayerArea_);
  players->setContentsMargins(Scaled(1), 0, Scaled(1), 0);
  players->setSpacing(0);
  players->addStretch();
  auto* teamPanel = new QVBoxLayout(TeamPanel_);
  teamPanel->setContentsMargins(Scaled(1), 0, Scaled(1), 0);
  teamPanel->addWidget(TeamButton_);
  TeamPanel_->hide();
  connect(TeamButton_, &QPushButton::clicked, this, [this] {
    if (OnClick_) OnClick_(TeamButton_);
  });
  auto* subst = new QVBoxLayout(SubstPanel_);
  subst->setContentsMargins(Scaled(1), 0, Scaled(1), 0);
  subst->setSpacing(Scaled(2));
  subst->addWidget(SubstOne_);
  subst->addWidget(SubstAll_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(Scaled(4));
  layout->addWidget(PlayerArea_, 1);
  layout->addWidget(TeamPanel_);
  layout->addWidget(SubstPanel_);
}

void TPlayerColumn::SetPlayers(const std::vector<TPlayerButtonFace>& players) {
  auto* layout = static_cast<QVBoxLayout*>(PlayerArea_->layout());
  for (TPlayerButton* old : Buttons_) {
    old->hide();
    old->setObjectName(QString());  // its name now belongs to its successor
    layout->removeWidget(old);
    old->deleteLater();
  }
  Buttons_.clear();
  for (const TPlayerButtonFace& face : players) {
    auto* button = new TPlayerButton(face.Caption, face.Tag, PlayerArea_);
    button->setObjectName(QStringLiteral("PlayerButton") + QString::number(face.Tag));
    button->SetFouls(face.Fouls, face.FoulLimit);
    button->setEnabled(face.Enabled);
    connect(button, &QPushButton::clicked, this, [this, button] {
      if (OnClick_) OnClick_(button);
    });
    layout->insertWidget(layout->count() - 1, button);
    button->show();  // a child made after its parent was shown stays hidden otherwise
    Buttons_.push_back(button);
  }
}

}  // namespace velmora::gui
