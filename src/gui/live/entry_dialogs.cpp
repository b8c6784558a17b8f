#include "live/entry_dialogs.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "live/player_column.h"
#include "records/message_source.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

// The button the arrow keys lead to from `at` in a grid of `columns` columns; `at` unchanged for
// any other key, and none (-1) when it is not an arrow key.
int ArrowTarget(int at, int count, int columns, int key) {
  int to = 0;
  switch (key) {
    case Qt::Key_Left: to = at - 1; break;
    case Qt::Key_Right: to = at + 1; break;
    case Qt::Key_Up: to = at - columns; break;
    case Qt::Key_Down: to = at + columns; break;
    default: return -1;
  }
  return count > 0 ? std::clamp(to, 0, count - 1) : -1;
}

}  // namespace

QRect OnScreen(const QRect& wanted, const QWidget* near) {
  const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
  if (!screen) return wanted;
  const QRect available = screen->availableGeometry();
  QRect placed = wanted;
  placed.setWidth(std::min(wanted.width(), available.width()));
  placed.setHeight(std::min(wanted.height(), available.height()));
  placed.moveLeft(std::clamp(wanted.left(), available.left(), available.right() - placed.width() + 1));
  placed.moveTop(std::clamp(wanted.top(), available.top(), available.bottom() - placed.height() + 1));
  return placed;
}

TChoiceForm::TChoiceForm(const QStringList& captions, const QString& title, const QRect& area, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("ChoiceForm"));
  setFont(Bold(font()));
  const int width = area.width() + 2;
  const int rowHeight = Scaled(captions.size() > 2 ? 45 : 75);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(0);
  int height = 2;
  if (!title.isEmpty()) {
    auto* caption = new QLabel(title, this);
    caption->setObjectName(QStringLiteral("ChoiceTitle"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setFixedHeight(Scaled(25));
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Highlight);
    caption->setForegroundRole(QPalette::HighlightedText);
    layout->addWidget(caption);
    height += Scaled(25);
  }
  auto* grid = new QGridLayout;
  grid->setSpacing(0);
  for (qsizetype i = 0; i < captions.size(); ++i) {
    auto* button = new QPushButton(captions[i], this);
    button->setObjectName(QStringLiteral("Choice") + QString::number(i + 1));
    button->setFixedHeight(rowHeight);
    button->setAutoDefault(false);
    const int chosen = static_cast<int>(i) + 1;
    connect(button, &QPushButton::clicked, this, [this, chosen] {
      Chosen_ = chosen;
      accept();
    });
    grid->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
    Buttons_.push_back(button);
  }
  layout->addLayout(grid);
  height += static_cast<int>((captions.size() + 1) / 2) * rowHeight;
  setGeometry(OnScreen(QRect(area.topLeft() + QPoint(Scaled(5), Scaled(3)), QSize(width, height)), parent));
  if (!Buttons_.empty()) Buttons_.front()->setFocus();
}

void TChoiceForm::keyPressEvent(QKeyEvent* event) {
  const int count = static_cast<int>(Buttons_.size());
  if (event->key() == Qt::Key_Escape) {
    reject();
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (Cursor_ < count) Buttons_[static_cast<std::size_t>(Cursor_)]->click();
  } else if (const int to = ArrowTarget(Cursor_, count, 2, event->key()); to >= 0) {
    Cursor_ = to;
    Buttons_[static_cast<std::size_t>(to)]->setFocus();
  } else {
    QDialog::keyPressEvent(event);
  }
}

TPlayerForm::TPlayerForm(const QString& caption, const std::vector<TPlayerView>& players, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("PlayerForm"));
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(3), 1, Scaled(4), Scaled(4));
  layout->setSpacing(0);
  for (const TPlayerView& player : players) {
    auto* button = new TPlayerButton(QString::fromStdString(player.Caption), player.Tag, this);
    button->setObjectName(QStringLiteral("PlayerChoice") + QString::number(player.Tag % 1000));
    button->setCheckable(false);
    button->setAutoDefault(false);
    button->SetFouls(player.Fouls, player.FoulLimit);
    const int shirt = player.Tag % 1000;
    connect(button, &QPushButton::clicked, this, [this, shirt] {
      Chosen_ = shirt;
      accept();
    });
    layout->addWidget(button);
    Buttons_.push_back(button);
  }
  auto* close = new QPushButton(tr("Cerrar"), this);
  close->setObjectName(QStringLiteral("CloseButton"));
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addSpacing(Scaled(6));
  layout->addWidget(close);
  const QSize size(Scaled(240),
                   static_cast<int>(players.size()) * Scaled(25) + close->sizeHint().height() + Scaled(25));
  const QWidget* over = parent ? parent->window() : nullptr;
  const QPoint centre = over ? over->geometry().center() : QPoint(size.width() / 2, size.height() / 2);
  setGeometry(OnScreen(QRect(centre - QPoint(size.width() / 2, size.height() / 2), size), parent));
  close->setFocus();
}

void TPlayerForm::keyPressEvent(QKeyEvent* event) {
  const int count = static_cast<int>(Buttons_.size());
  if (event->key() == Qt::Key_Escape) {
    reject();
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter takes the player the arrows went to; without them it closes the list, as "Cerrar".
    if (Cursor_ >= 0 && Cursor_ < count) {
      Buttons_[static_cast<std::size_t>(Cursor_)]->click();
    } else {
      reject();
    }
  } else if (const int to =
                 ArrowTarget(Cursor_ < 0 ? (event->key() == Qt::Key_Down ? -1 : 1) : Cursor_, count, 1, event->key());
             to >= 0) {
    Cursor_ = to;
    Buttons_[static_cast<std::size_t>(to)]->setFocus();
  } else {
    QDialog::keyPressEvent(event);
  }
}

TNumberEntryForm::TNumberEntryForm(std::function<std::vector<int>(const std::string&)> matches, const QRect& area,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), Matches_(std::move(matches)), Edit_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("NumberEntryForm"));
  auto* label = new QLabel(tr("Introducir dorsales de los jugadores:"), this);
  label->setFont(Bold(label->font()));
  QFont big = Edit_->font();
  big.setPixelSize(Scaled(19));
  Edit_->setFont(big);
  Edit_->setObjectName(QStringLiteral("NumberEdit"));
  Edit_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(6), Scaled(4), Scaled(6), Scaled(6));
  layout->addWidget(label);
  layout->addWidget(Edit_);
  adjustSize();
  setGeometry(
      OnScreen(QRect(area.topLeft() + QPoint(Scaled(3), Scaled(3)), QSize(area.width() + 6, height())), parent));
  Edit_->setFocus();
}

bool TNumberEntryForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Edit_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
    reject();
    return true;
  }
  const QString typed = key->text();
  if (typed.isEmpty() || !typed.at(0).isPrint()) return QDialog::eventFilter(watched, event);
  const std::string candidate = (Edit_->text() + typed).toStdString();
  const std::vector<int> found = Matches_(candidate);
  if (found.size() == 1) {
    Chosen_ = found.front();
    accept();
  } else if (found.size() > 1) {
    Edit_->setText(QString::fromStdString(candidate));
  }
  return true;  // a character no player matches is dropped
}

bool TEntryDialogs::Scripted(std::string& answer) {
  if (Script.empty()) return false;
  answer = Script.front();
  Script.pop_front();
  return true;
}

std::string TEntryDialogs::AskChoice(const TParameter& parameter, const std::string& title) {
  Asked.push_back(title.empty() ? parameter.Name : title);
  std::string answer;
  if (Scripted(answer)) return answer;
  QStringList captions;
  for (const std::string& value : parameter.Values) captions << QString::fromStdString(Caption(Messages_, value));
  const QRect court(Court_->mapToGlobal(QPoint(0, 0)), Court_->size());
  TChoiceForm form(captions, QString::fromStdString(title), court, Window_);
  form.exec();
  return form.Chosen() > 0 ? std::to_string(form.Chosen()) : std::string();
}

int TEntryDialogs::AskPlayer(int team, TPlayerPurpose purpose, const std::vector<TPlayerView>& players) {
  if (team <= 0) return 0;
  const QString caption =
      purpose == TPlayerPurpose::Fouled ? QStringLiteral("Falta cometida sobre") : QStringLiteral("Jugador que entra");
  Asked.push_back(caption.toStdString());
  std::string answer;
  if (Scripted(answer)) return std::atoi(answer.c_str());
  TPlayerForm form(caption, players, Window_);
  form.exec();
  return form.Chosen();
}

int TEntryDialogs::AskShirtNumber(std::function<std::vector<int>(const std::string&)> matches) {
  Asked.push_back("Introducir dorsales de los jugadores:");
  std::string answer;
  if (Scripted(answer)) return std::atoi(answer.c_str());
  const QRect middle(Middle_->mapToGlobal(QPoint(0, 0)), Middle_->size());
  TNumberEntryForm form(std::move(matches), QRect(middle.topLeft(), QSize(Court_->width(), middle.height())), Window_);
  form.exec();
  return form.Chosen();
}

}  // namespace velmora::gui
