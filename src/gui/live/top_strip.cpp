#include "live/top_strip.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "live/score_display.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QString Name(const char* stem, int team, const char* rest = "") {
  return QString::fromLatin1(stem) + QString::number(team) + QString::fromLatin1(rest);
}

QFont Courier(int pixels) {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(Scaled(pixels));
  return font;
}

// The start and stop glyphs of the clock buttons.
QIcon ClockGlyph(bool start) {
  const int size = Scaled(16);
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  if (start) {
    painter.setBrush(QColor(20, 140, 40));
    painter.drawPolygon(QPolygonF() << QPointF(size * 0.22, size * 0.12) << QPointF(size * 0.86, size * 0.5)
                                    << QPointF(size * 0.22, size * 0.88));
  } else {
    painter.setBrush(QColor(190, 30, 30));
    painter.drawRoundedRect(QRectF(size * 0.2, size * 0.2, size * 0.6, size * 0.6), size * 0.06, size * 0.06);
  }
  return QIcon(pixmap);
}

}  // namespace

TTeamPanel::TTeamPanel(int team, QWidget* parent)
    : QWidget(parent),
      Name_(new QLabel(this)),
      Score_(new TScoreDisplay(this)),
      FoulPanel_(new QWidget(this)),
      Fouls_(new QLabel(FoulPanel_)),
      Timeouts_(new QLabel(FoulPanel_)) {
  Name_->setObjectName(Name("Team", team, "Label"));
  Score_->setObjectName(Name("imgScore", team));
  FoulPanel_->setObjectName(Name("Team", team, "FoulPanel"));
  Fouls_->setObjectName(Name("Team", team, "Fouls"));
  // The second team's caption has always been spelt with a capital O.
  Timeouts_->setObjectName(team == 1 ? QStringLiteral("Team1Timeouts") : QStringLiteral("Team2TimeOuts"));

  QFont bold = Name_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  Name_->setFont(bold);
  Name_->setAlignment(Qt::AlignCenter);
  Fouls_->setAlignment(Qt::AlignCenter);
  Timeouts_->setAlignment(Qt::AlignCenter);

  auto* fouls = new QVBoxLayout(FoulPanel_);
  fouls->setContentsMargins(0, 0, 0, 0);
  fouls->setSpacing(0);
  fouls->addWidget(Fouls_);
  fouls->addWidget(Timeouts_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(4), Scaled(4), Scaled(4), Scaled(4));
  layout->setSpacing(Scaled(3));
  layout->addWidget(Name_);
  layout->addWidget(Score_, 0, Qt::AlignHCenter);
  layout->addWidget(FoulPanel_);
  layout->addStretch();
}

TClockUpDown::TClockUpDown(QWidget* parent)
    : QWidget(parent), Up_(new QToolButton(this)), Down_(new QToolButton(this)), Repeat_(new QTimer(this)) {
  setObjectName(QStringLiteral("ClockUpDown"));
  Up_->setArrowType(Qt::UpArrow);
  Down_->setArrowType(Qt::DownArrow);
  Up_->setToolTip(tr("Más tiempo por jugar"));
  Down_->setToolTip(tr("Menos tiempo por jugar"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* button : {Up_, Down_}) {
    button->setFixedSize(Scaled(22), Scaled(17));
    layout->addWidget(button);
  }
  // Held down, the arrow repeats: a pause, ten steps a second, and after two seconds fifty, so a
  // minute is crossed quickly.
  connect(Repeat_, &QTimer::timeout, this, [this] {
    ++Repeats_;
    Repeat_->setInterval(Repeats_ < 20 ? 100 : 20);
    if (OnStep_) OnStep_(Step_, false);
  });
  connect(Up_, &QToolButton::pressed, this, [this] { Press(-1); });
  connect(Down_, &QToolButton::pressed, this, [this] { Press(+1); });
  connect(Up_, &QToolButton::released, this, &TClockUpDown::Release);
  connect(Down_, &QToolButton::released, this, &TClockUpDown::Release);
}

void TClockUpDown::Press(int step) {
  Step_ = step;
  Repeats_ = 0;
  if (OnStep_) OnStep_(step, true);
  Repeat_->start(400);
}

void TClockUpDown::Release() {
  Repeat_->stop();
  Step_ = 0;
  if (OnRelease_) OnRelease_();
}

TPeriodClockPanel::TPeriodClockPanel(QWidget* parent)
    : QWidget(parent),
      StartGameGroup_(new QGroupBox(tr("Cuarto"), this)),
      StartGame_(new QPushButton(tr("Comienzo del partido"), StartGameGroup_)),
      QuarterGroup_(new QGroupBox(tr("Cuarto"), this)),
      Quarter_(new QLabel(QuarterGroup_)),
      QuarterButtons_(new QWidget(QuarterGroup_)),
      NextPeriod_(new QPushButton(tr("Próximo\ncuarto"), QuarterButtons_)),
      EndPeriod_(new QPushButton(tr("Terminar\n el cuarto"), QuarterButtons_)),
      Timeout_(new QPushButton(tr("Tiempo\nmuerto"), QuarterGroup_)),
      ClockGroup_(new QGroupBox(tr("Reloj de partido"), this)),
      ClockEdit_(new QLineEdit(QStringLiteral("00:00"), ClockGroup_)),
      ClockPanel_(new QWidget(ClockGroup_)),
      UpDown_(new TClockUpDown(ClockPanel_)),
      StartClock_(new QPushButton(ClockPanel_)),
      StopClock_(new QPushButton(ClockPanel_)) {
  setObjectName(QStringLiteral("pnl_topCenter"));
  setFixedWidth(Scaled(327));
  StartGameGroup_->setObjectName(QStringLiteral("StartGameGroupBox"));
  StartGame_->setObjectName(QStringLiteral("StartGameButton"));
  QuarterGroup_->setObjectName(QStringLiteral("QuarterGroupBox"));
  Quarter_->setObjectName(QStringLiteral("QuarterLabel"));
  QuarterButtons_->setObjectName(QStringLiteral("quarterPanel"));
  NextPeriod_->setObjectName(QStringLiteral("btn_nextQuart"));
  EndPeriod_->setObjectName(QStringLiteral("btn_endQuart"));
  Timeout_->setObjectName(QStringLiteral("btn_Timeout"));
  ClockGroup_->setObjectName(QStringLiteral("ClockGroupBox"));
  ClockEdit_->setObjectName(QStringLiteral("ClockEdit"));
  ClockPanel_->setObjectName(QStringLiteral("ClockPanel"));
  StartClock_->setObjectName(QStringLiteral("StartClockButton"));
  StopClock_->setObjectName(QStringLiteral("StopClockButton"));

  StartGame_->setMinimumHeight(Scaled(34));
  auto* startGame = new QVBoxLayout(StartGameGroup_);
  startGame->addWidget(StartGame_);

  Quarter_->setFont(Courier(27));
  Quarter_->setAlignment(Qt::AlignCenter);
  Quarter_->setMinimumWidth(Scaled(70));
  auto* quarterButtons = new QHBoxLayout(QuarterButtons_);
  quarterButtons->setContentsMargins(0, 0, 0, 0);
  quarterButtons->addWidget(NextPeriod_);
  quarterButtons->addWidget(EndPeriod_);
  auto* quarter = new QHBoxLayout(QuarterGroup_);
  quarter->setContentsMargins(Scaled(6), Scaled(2), Scaled(6), Scaled(4));
  quarter->addWidget(Quarter_);
  quarter->addWidget(QuarterButtons_, 1);
  quarter->addWidget(Timeout_);

  ClockEdit_->setReadOnly(true);
  ClockEdit_->setFont(Courier(37));
  ClockEdit_->setAlignment(Qt::AlignCenter);
  ClockEdit_->setMaxLength(5);
  ClockEdit_->setFocusPolicy(Qt::NoFocus);
  ClockEdit_->setFixedWidth(ClockEdit_->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + Scaled(16));
  StartClock_->setIcon(ClockGlyph(true));
  StopClock_->setIcon(ClockGlyph(false));
  StartClock_->setToolTip(tr("Poner en marcha el reloj (F1)"));
  StopClock_->setToolTip(tr("Parar el reloj (F1)"));
  auto* clockButtons = new QButtonGroup(this);
  for (QPushButton* button : {StartClock_, StopClock_}) {
    button->setCheckable(true);
    button->setFixedSize(Scaled(40), Scaled(34));
    button->setIconSize(QSize(Scaled(18), Scaled(18)));
    clockButtons->addButton(button);
  }
  clockButtons->setExclusive(true);
  StopClock_->setChecked(true);
  auto* clockPanel = new QHBoxLayout(ClockPanel_);
  clockPanel->setContentsMargins(0, 0, 0, 0);
  clockPanel->addWidget(UpDown_);
  clockPanel->addWidget(StartClock_);
  clockPanel->addWidget(StopClock_);
  auto* clock = new QHBoxLayout(ClockGroup_);
  clock->setContentsMargins(Scaled(6), Scaled(2), Scaled(6), Scaled(4));
  clock->addWidget(ClockEdit_);
  clock->addStretch();
  clock->addWidget(ClockPanel_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, Scaled(2), 0, Scaled(2));
  layout->setSpacing(Scaled(2));
  layout->addWidget(StartGameGroup_);
  layout->addWidget(QuarterGroup_);
  layout->addWidget(ClockGroup_);
  layout->addStretch();
}

}  // namespace velmora::gui
