#include "live/casting_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "charts/chart_windows.h"
#include "widgets/gui_context.h"
#include "live/action_bar.h"
#include "live/clock_timer.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/game_adapter.h"
#include "live/game_checks.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live/player_column.h"
#include "live/score_display.h"
#include "live/sending_banner.h"
#include "live/top_strip.h"
#include "platform/user_interface.h"
#include "reports/report_windows.h"
#include "serverlink/sender.h"
#include "stats/model.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// A group box with small buttons in its top right corner, the first one rightmost.
class TCornerGroupBox final : public QGroupBox {
 public:
  TCornerGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}
  void AddCornerWidget(QWidget* widget) { Corners_.push_back(widget); }
  void PlaceCorners() {
    int right = width() - Scaled(4);
    for (QWidget* corner : Corners_) {
      if (!corner->isVisibleTo(this)) continue;
      corner->move(right - corner->width(), 0);
      right -= corner->width() + Scaled(4);
    }
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QGroupBox::resizeEvent(event);
    PlaceCorners();
  }

 private:
  std::vector<QWidget*> Corners_;
};

namespace {

// The glyph of the corner button: a window being enlarged.
QIcon MaximizeGlyph() {
  const int size = Scaled(12);
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QPen(Qt::black, std::max(1, size / 10)));
  painter.drawRect(QRect(1, 1, size - 3, size - 3));
  painter.fillRect(QRect(1, 1, size - 3, std::max(2, size / 4)), Qt::black);
  return QIcon(pixmap);
}

}  // namespace

TCastingForm::TCastingForm(TGuiContext& context, QWidget* parent, std::unique_ptr<TClockTimer> timer)
    : TCustomForm(parent),
      Context_(context),
      Game_(context.Model, context.App, context.Ui),
      Timer_(timer ? std::move(timer) : std::make_unique<TSecondTimer>()),
      Adapter_(new TGameAdapter(this)),
      History_(new THistoryListModel(this)),
      UnstoredRetry_(new QTimer(this)),
      ChecksRefresh_(new QTimer(this)) {
  setObjectName(QStringLiteral("CastingForm"));
  setWindowTitle(tr("Talvex Velmora"));
  setMinimumSize(Scaled(577), Scaled(580));
  Timer_->SetHandler([this] { TimerTimer(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(4), Scaled(2), Scaled(4), Scaled(4));
  layout->setSpacing(Scaled(3));
  BuildMenu();
  layout->addWidget(BuildTopStrip());
  ActionBar_ = new TActionBar(this);
  layout->addWidget(ActionBar_);
  UnstoredLabel_ = new QLabel(this);
  UnstoredLabel_->setObjectName(QStringLiteral("UnstoredLabel"));
  UnstoredLabel_->setWordWrap(true);
  UnstoredLabel_->setStyleSheet(
      QStringLiteral("QLabel { background: #b00020; color: white; font-weight: bold; "
                     "padding: 4px; border-radius: 3px; }"));
  UnstoredLabel_->hide();
  layout->addWidget(UnstoredLabel_);
  SendingBanner_ = new TSendingBanner(context, this);
  layout->addWidget(SendingBanner_);
  layout->addWidget(BuildMiddle());
  // Height the court does not need goes to the history.
  layout->addWidget(BuildHistoryGroup(), 1);

  Dialogs_ = std::make_unique<TEntryDialogs>(context.App, this, Court_, CenterPanel_);
  Entry_ = std::make_unique<TEntryWorkflow>(context.Model, context.App, context.Ui, *Dialogs_,
                                            static_cast<TEntryView&>(*this));
  Court_->SetReleaseHandler([this](int x, int y, Qt::MouseButton button) { FieldImageMouseUp(x, y, button); });
  for (TPlayerColumn* column : {Left_, Right_}) {
    column->SetClickHandler([this](TPlayerButton* button) { PlayerClick(button); });
  }
  connect(Left_->SubstOneButton(), &QPushButton::clicked, this, [this] { SubstOneClick(1); });
  connect(Right_->SubstOneButton(), &QPushButton::clicked, this, [this] { SubstOneClick(2); });
  connect(Left_->SubstAllButton(), &QPushButton::clicked, this, &TCastingForm::SubstituteAllClick);
  connect(Right_->SubstAllButton(), &QPushButton::clicked, this, &TCastingForm::SubstituteAllClick);
  connect(Clock_->TimeoutButton(), &QPushButton::clicked, this, &TCastingForm::TimeoutButtonClick);
  connect(SendButton_, &QPushButton::clicked, this, &TCastingForm::SendButtonClick);
  connect(HistoryBox_, &THistoryListBox::EditRequested, this, &TCastingForm::HistoryBoxEdit);
  connect(HistoryBox_, &THistoryListBox::DeleteRequested, this, &TCastingForm::HistoryBoxDelete);
  connect(MaximizeButton_, &QToolButton::clicked, this, &TCastingForm::EditDataClick);

  UnstoredRetry_->setInterval(2000);
  connect(UnstoredRetry_, &QTimer::timeout, this, &TCastingForm::CheckUnstored);
  connect(History_, &THistoryListModel::ReloadRequested, this, &TCastingForm::ReloadView);
  connect(ChecksButton_, &QToolButton::clicked, this, &TCastingForm::ChecksButtonClick);
  // Every change of the history is a change of the game: the checks follow, once per burst.
  ChecksRefresh_->setSingleShot(true);
  ChecksRefresh_->setInterval(0);
  connect(ChecksRefresh_, &QTimer::timeout, this, &TCastingForm::RefreshChecks);
  const auto refresh = [this] { ChecksRefresh_->start(); };
  connect(History_, &QAbstractItemModel::rowsInserted, this, refresh);
  connect(History_, &QAbstractItemModel::rowsRemoved, this, refresh);
  connect(History_, &QAbstractItemModel::dataChanged, this, refresh);
  connect(History_, &QAbstractItemModel::modelReset, this, refresh);

  // The court at twice its own size decides the first size of the window.
  resize(std::max(Scaled(980), minimumWidth()), std::max(Scaled(900), minimumHeight()));
}

TCastingForm::~TCastingForm() {
  qApp->removeEventFilter(this);
  Context_.Model.SetUnstoredHandler(nullptr);
}

QWidget* TCastingForm::BuildTopStrip() {
  auto* strip = new QWidget(this);
  strip->setObjectName(QStringLiteral("pnl_Top"));
  strip->setMinimumHeight(Scaled(121));
  Team1_ = new TTeamPanel(1, strip);
  Team2_ = new TTeamPanel(2, strip);
  Clock_ = new TPeriodClockPanel(strip);
  TopLayout_ = new QHBoxLayout(strip);
  TopLayout_->setContentsMargins(0, 0, 0, 0);
  TopLayout_->setSpacing(Scaled(4));

  connect(Clock_->StartGameButton(), &QPushButton::clicked, this, &TCastingForm::StartGameButtonClick);
  connect(Clock_->NextPeriodButton(), &QPushButton::clicked, this, &TCastingForm::NextPeriodButtonClick);
  connect(Clock_->EndPeriodButton(), &QPushButton::clicked, this, &TCastingForm::EndPeriodButtonClick);
  connect(Clock_->StartClockButton(), &QPushButton::clicked, this, [this] { StartClock(); });
  connect(Clock_->StopClockButton(), &QPushButton::clicked, this, [this] { StopClock(); });
  Clock_->ClockUpDown()->SetStepHandler([this](int step, bool first) { ClockUpDownClick(step, first); });
  Clock_->ClockUpDown()->SetReleaseHandler([this] { ClockUpDownMouseUp(); });
  return strip;
}

QWidget* TCastingForm::BuildMiddle() {
  auto* middle = new QWidget(this);
  middle->setObjectName(QStringLiteral("pnl_Center"));
  Left_ = new TPlayerColumn(1, middle);
  Right_ = new TPlayerColumn(2, middle);

  CenterPanel_ = new QWidget(middle);
  CenterPanel_->setObjectName(QStringLiteral("CenterPanel"));
  MessageLabel_ = new QLabel(CenterPanel_);
  MessageLabel_->setObjectName(QStringLiteral("MessageLabel"));
  QFont bold = MessageLabel_->font();
  bold.setBold(true);
  MessageLabel_->setFont(bold);
  MessageLabel_->setStyleSheet(QStringLiteral("QLabel { color: maroon; }"));
  MessageLabel_->setMinimumHeight(MessageLabel_->fontMetrics().height() + Scaled(2));
  Court_ = new TCourtPanel(CenterPanel_);

  CommentGroup_ = new QGroupBox(tr("Comentario"), CenterPanel_);
  CommentGroup_->setObjectName(QStringLiteral("CommentGroup"));
  CommentText_ = new QLineEdit(CommentGroup_);
  CommentText_->setObjectName(QStringLiteral("CommentText"));
  SendButton_ = new QPushButton(tr("&Enviar"), CommentGroup_);
  SendButton_->setObjectName(QStringLiteral("SendButton"));
  SendButton_->setDefault(true);
  auto* comment = new QHBoxLayout(CommentGroup_);
  comment->setContentsMargins(Scaled(6), Scaled(2), Scaled(6), Scaled(4));
  comment->addWidget(CommentText_, 1);
  comment->addWidget(SendButton_);

  auto* center = new QVBoxLayout(CenterPanel_);
  center->setContentsMargins(0, 0, 0, 0);
  center->setSpacing(Scaled(2));
  center->addWidget(MessageLabel_);
  center->addWidget(Court_);
  center->addWidget(CommentGroup_);

  MiddleLayout_ = new QHBoxLayout(middle);
  MiddleLayout_->setContentsMargins(0, 0, 0, 0);
  MiddleLayout_->setSpacing(Scaled(4));
  ApplySides();
  return middle;
}

QWidget* TCastingForm::BuildHistoryGroup() {
  auto* group = new TCornerGroupBox(tr("Historial del juego"), this);
  group->setObjectName(QStringLiteral("HistoryGroup"));
  HistoryGroup_ = group;
  HistoryBox_ = new THistoryListBox(group);
  HistoryBox_->setModel(History_);
  MaximizeButton_ = new QToolButton(group);
  MaximizeButton_->setObjectName(QStringLiteral("ActionsMaximizeButton"));
  MaximizeButton_->setIcon(MaximizeGlyph());
  MaximizeButton_->setToolTip(tr("Editar acciones"));
  MaximizeButton_->setAutoRaise(true);
  MaximizeButton_->setFixedSize(Scaled(18), Scaled(16));
  group->AddCornerWidget(MaximizeButton_);
  ChecksButton_ = new QToolButton(group);
  ChecksButton_->setObjectName(QStringLiteral("ChecksButton"));
  ChecksButton_->setToolTip(tr("Comprobar partido"));
  ChecksButton_->setAutoRaise(true);
  ChecksButton_->setStyleSheet(QStringLiteral("QToolButton { color: #9a4a00; font-weight: bold; }"));
  ChecksButton_->setFixedHeight(Scaled(16));
  ChecksButton_->hide();
  group->AddCornerWidget(ChecksButton_);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(Scaled(4), Scaled(2), Scaled(4), Scaled(4));
  layout->addWidget(HistoryBox_);
  // At least five lines; the newest is on top.
  HistoryBox_->setMinimumHeight(5 * std::max(Scaled(13), HistoryBox_->fontMetrics().height()) +
                                2 * HistoryBox_->frameWidth());
  return group;
}

void TCastingForm::BuildMenu() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MainMenu"));
  layout()->setMenuBar(bar);
  const auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler, bool enabled = true) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    if constexpr (!std::is_same_v<decltype(handler), std::nullptr_t>)
      connect(action, &QAction::triggered, this, handler);
    return action;
  };

  QMenu* game = bar->addMenu(tr("&Partido"));
  item(game, "EditDataItem", tr("Editar &datos"), [this] { EditDataClick(); });
  item(game, "EditConfigItem", tr("Editar &configuración"), [this] { EditConfigClick(); });
  item(game, "SwitchSidesItem", tr("Ca&mbiar equipos"), [this] { SwitchSidesClick(); });
  item(game, "UploadResultsItem", tr("Subir tabla de resultados"), [this] { UploadResultsClick(); });
  game->addSeparator();
  item(game, "CloseWindowItem", tr("Cerrar &ventana"), [this] { close(); });
  item(game, "QuitProgramItem", tr("&Salir del programa"), [this] { QuitProgramClick(); });

  ActionMenu_ = bar->addMenu(tr("&Acción"));
  ActionSeparator_ = ActionMenu_->addSeparator();
  SubstituteAllItem_ = item(ActionMenu_, "SubstituteAll1", tr("Cambio &múltiple"), [this] { SubstituteAllClick(); });
  StartGameItem_ = item(ActionMenu_, "StartGameItem", tr("&Comienzo del partido "), [this] { StartGameButtonClick(); });
  EndGameItem_ = item(ActionMenu_, "EndGameItem", tr("&Final del partido"), [this] { EndGameClick(); });

  QMenu* reports = bar->addMenu(tr("&Informes"));
  item(reports, "OfficialBoxScoreItem", tr("Puntuación &oficial"), [this] {
    StopClock();
    ShowBoxScoreReport(Context_, this);
  });
  item(reports, "MediaBoxScoreItem", tr("&Media Boxscore"), [this] {
    StopClock();
    ShowMediaBoxScoreReport(Context_, this);
  });
  item(reports, "PlayByPlayItem", tr("&Jugada a jugada"), [this] {
    StopClock();
    ShowPlayByPlayReport(Context_, this);
  });
  item(reports, "ShotChartItem", tr("&Gráfico de tiro"), [this] { StopClock(); ShowChart(TChartKind::ShotChart, Context_, this); });
  item(reports, "HeatMapItem", tr("Gráfico de tiro (Mapa de &temperatura)"), [this] { StopClock(); ShowChart(TChartKind::HeatMap, Context_, this); });
  item(reports, "LineupEfficiencyItem", tr("&Eficiencia de los quintetos"), [this] {
    StopClock();
    ShowLineupEfficiencyReport(Context_, this);
  });
  item(reports, "TeamComparisonItem", tr("&Comparación de equipos"), [this] { StopClock(); ShowChart(TChartKind::TeamComparison, Context_, this); });
  item(reports, "TeamLeadersItem", tr("&Líderes del partido"), [this] {
    StopClock();
    ShowTeamLeadersReport(Context_, this);
  });
  item(reports, "ScoreDevelopmentItem", tr("&Desarrollo de la puntuación"), [this] { StopClock(); ShowChart(TChartKind::ScoreDevelopment, Context_, this); });
  item(reports, "RostersItem", tr("&Rosters"), [this] {
    StopClock();
    ShowRostersReport(Context_, this);
  });

  QMenu* help = bar->addMenu(tr("&Ayuda"));
  item(help, "AboutItem", tr("&Acerca de"), [this] { AboutClick(); });
  item(help, "WebItem", tr("Web de Velmora"), [this] { WebClick(); });
}

void TCastingForm::ApplySides() {
  // Team 1 sits left unless the operator switched sides; team 1 stays team 1 everywhere.
  while (TopLayout_->count() > 0) TopLayout_->takeAt(0);
  while (MiddleLayout_->count() > 0) MiddleLayout_->takeAt(0);
  TTeamPanel* topLeft = SidesSwapped_ ? Team2_ : Team1_;
  TTeamPanel* topRight = SidesSwapped_ ? Team1_ : Team2_;
  TopLayout_->addWidget(topLeft, 1);
  TopLayout_->addWidget(Clock_, 0);
  TopLayout_->addWidget(topRight, 1);
  TPlayerColumn* left = SidesSwapped_ ? Right_ : Left_;
  TPlayerColumn* right = SidesSwapped_ ? Left_ : Right_;
  MiddleLayout_->addWidget(left, 1);
  MiddleLayout_->addWidget(CenterPanel_, 3);
  MiddleLayout_->addWidget(right, 1);
}

void TCastingForm::BuildActionButtons() {
  Entry_->SetCurrentAction(nullptr);
  Entry_->ResetEntry();
  for (TDefinition& old : Definitions_) delete old.MenuItem;
  Definitions_.clear();
  ActionBar_->Clear();

  for (const TActionDefinition& definition : kActionDefinitions) {
    if (Definitions_.size() >= kMaxActionDefinitions) break;
    auto templateAction = Context_.App.NewAction(definition.Kind);
    if (!templateAction) continue;
    if (!definition.PresetType.empty()) templateAction->SetParam("Type", definition.PresetType);
    Definitions_.push_back({&definition, std::move(templateAction)});
  }
  BuildPlayerButtons();

  const TMatchInfo& matchInfo = Context_.Model.MatchInfo;
  const bool bothTracked = matchInfo.IsTracked(1) && matchInfo.IsTracked(2);
  QAction* above = ActionMenu_->actions().isEmpty() ? nullptr : ActionMenu_->actions().first();
  for (std::size_t k = 0; k < Definitions_.size(); ++k) {
    TDefinition& entry = Definitions_[k];
    const int number = static_cast<int>(k) + 1;
    const QString caption =
        QString::fromUtf8(entry.Definition->Caption.data(), static_cast<qsizetype>(entry.Definition->Caption.size()));
    // The menu lists the definitions in reverse order, each inserted on top.
    entry.MenuItem = new QAction(QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')), ActionMenu_);
    entry.MenuItem->setObjectName(QStringLiteral("ActionItem") + QString::number(number));
    connect(entry.MenuItem, &QAction::triggered, this, [this, number] { ActionClick(number, true); });
    ActionMenu_->insertAction(above, entry.MenuItem);
    above = entry.MenuItem;
    if (HiddenAsFollowUp(Context_.App, bothTracked, entry.Definition->Kind)) continue;
    const QString key =
        QString::fromLatin1(entry.Definition->KeyName.data(), static_cast<qsizetype>(entry.Definition->KeyName.size()));
    entry.Button = ActionBar_->AddButton(
        number, key.isEmpty() ? caption : caption + QStringLiteral(" (") + key + QStringLiteral(")"),
        entry.Definition->Group, [this](int clicked) { ActionClick(clicked, false); });
  }
  ActionBar_->LayoutActionButtons();

  History_->Assign(HistoryOfModel(Context_.Model, Context_.App));
  QCoreApplication::processEvents();
}

void TCastingForm::BuildPlayerButtons() {
  const TMatchInfo& matchInfo = Context_.Model.MatchInfo;
  Team1_->NameLabel()->setText(Text(matchInfo.Team1.Name));
  Team2_->NameLabel()->setText(Text(matchInfo.Team2.Name));
  const TAction* current = Entry_->CurrentAction();
  for (int team = 1; team <= 2; ++team) {
    // Free throws offered to one team are thrown by none of the other.
    const bool enabled =
        !(current && current->ShortName == "fthrow" && current->SuggestedTeam != 0 && current->SuggestedTeam != team);
    std::vector<TPlayerButtonFace> faces;
    for (const TPlayerView& view : Game_.PlayerButtons(team)) {
      faces.push_back({Text(view.Caption), view.Tag, view.Fouls, view.FoulLimit, enabled});
    }
    (team == 1 ? Left_ : Right_)->SetPlayers(faces);
  }
}

void TCastingForm::DrawScore() {
  Team1_->Score()->SetDigits(Text(Game_.ScoreDigits(1)));
  Team2_->Score()->SetDigits(Text(Game_.ScoreDigits(2)));
}

void TCastingForm::ShowTimeouts() {
  Team1_->Timeouts()->setText(Text(Game_.TimeoutsText(1)));
  Team2_->Timeouts()->setText(Text(Game_.TimeoutsText(2)));
}

void TCastingForm::RefreshState() {
  const TPeriodView view = Game_.PeriodView();
  StartGameItem_->setEnabled(view.StartGameItemEnabled);
  EndGameItem_->setEnabled(view.EndGameItemEnabled);
  Clock_->QuarterGroup()->setVisible(view.QuarterGroupVisible);
  Clock_->ClockGroup()->setVisible(view.QuarterGroupVisible);
  Clock_->ClockPanel()->setVisible(view.ClockPanelVisible);
  Clock_->StartGameGroup()->setVisible(view.StartGameGroupVisible);
  Clock_->QuarterLabel()->setText(Text(view.Numeral));
  Clock_->ClockEdit()->setText(Text(view.ClockText));
  Clock_->NextPeriodButton()->setEnabled(view.NextPeriodEnabled);
  Clock_->EndPeriodButton()->setEnabled(view.EndPeriodEnabled);
  Clock_->StartClockButton()->setEnabled(view.ClockButtonsEnabled);
  Clock_->StopClockButton()->setEnabled(view.ClockButtonsEnabled);
  Clock_->TimeoutButton()->setEnabled(view.ClockButtonsEnabled);
  FocusComment();
  Team1_->Fouls()->setText(Text(Game_.TeamFoulsText(1)));
  Team2_->Fouls()->setText(Text(Game_.TeamFoulsText(2)));
}

void TCastingForm::FocusComment() {
  if (isVisible() && Game_.Catalogue().Comment && CommentText_->isVisible()) CommentText_->setFocus();
}

void TCastingForm::RefreshChecks() {
  // One pass over the game, well under a millisecond for a whole game: no entry waits for it.
  const std::string text = FlagCountText(CheckGame(Context_.Model).size());
  ChecksButton_->setText(QString::fromStdString(text));
  ChecksButton_->setVisible(!text.empty());
  ChecksButton_->adjustSize();
  HistoryGroup_->PlaceCorners();
}

void TCastingForm::ReloadView() {
  DrawScore();
  RefreshState();
  BuildPlayerButtons();
  ShowTimeouts();
}

void TCastingForm::UpdateViewAfter(const TAction& action, const TAction* old) {
  const TRedraw redraw = RedrawAfter(action, old);
  if (redraw.Score) DrawScore();
  if (redraw.State) RefreshState();
  if (redraw.PlayerButtons) BuildPlayerButtons();
  if (redraw.Timeouts) ShowTimeouts();
}

void TCastingForm::showEvent(QShowEvent* event) {
  TCustomForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TCastingForm::FormShow() {
  MessageLabel_->clear();
  CommentText_->clear();
  ReloadView();
  Sender_ = Context_.App.Sender();
  if (Sender_) Sender_->AttachHistoryList(History_);
  SendingBanner_->Attach(Sender_);
  History_->SetShown(true);
  Game_.ReadCatalogue();
  CloseArmed_ = true;
  qApp->installEventFilter(this);
  // Every action the store refuses, whatever submitted it, is told and retried; the check runs
  // from the event loop, never inside the entry or the model.
  Context_.Model.SetUnstoredHandler([this] { QTimer::singleShot(0, this, &TCastingForm::CheckUnstored); });

  const TCatalogueFlags& has = Game_.Catalogue();
  SendButton_->setEnabled(has.Comment);
  CommentText_->setReadOnly(!has.Comment);
  CommentGroup_->setVisible(has.Comment);
  Clock_->QuarterButtons()->setVisible(has.Quarter);
  StartGameItem_->setVisible(has.Quarter);
  EndGameItem_->setVisible(has.Quarter);
  const bool started = Game_.Started();
  const bool finished = Game_.Finished();
  Clock_->QuarterGroup()->setVisible(started && !finished);
  Clock_->ClockGroup()->setVisible(started && !finished);
  Clock_->StartGameGroup()->setVisible(has.Quarter && !started);
  Clock_->ClockPanel()->setVisible(has.Clock && started && !finished);
  Clock_->TimeoutButton()->setVisible(has.Timeout);
  Team1_->FoulPanel()->setVisible(has.Foul && has.Quarter);
  Team2_->FoulPanel()->setVisible(has.Foul && has.Quarter);
  const TMatchInfo& matchInfo = Context_.Model.MatchInfo;
  Left_->SubstitutionPanel()->setVisible(has.Subst && matchInfo.Team1.Tracked);
  Right_->SubstitutionPanel()->setVisible(has.Subst && matchInfo.Team2.Tracked);
  if (has.Quarter || has.Clock) RefreshState();
  // Player buttons depend on whether the catalogue has substitutions.
  BuildPlayerButtons();
}

void TCastingForm::hideEvent(QHideEvent* event) {
  TCustomForm::hideEvent(event);
  Court_->HideMarkers();
  History_->SetShown(false);
  // The sender may outlive the window for a moment; it must not reach a list that is going.
  if (Sender_) Sender_->AttachHistoryList(nullptr);
  SendingBanner_->Attach(nullptr);
  Sender_ = nullptr;
  qApp->removeEventFilter(this);
  Context_.Model.SetUnstoredHandler(nullptr);
}

bool TCastingForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && (widget == this || isAncestorOf(widget)) && FormKeyDown(static_cast<QKeyEvent*>(event))) return true;
  }
  return TCustomForm::eventFilter(watched, event);
}

bool TCastingForm::FormKeyDown(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  for (std::size_t k = 0; k < Definitions_.size(); ++k) {
    const TDefinition& entry = Definitions_[k];
    if (entry.Button && key == Qt::Key_F1 + entry.Definition->KeyNumber - 1 && modifiers == Qt::NoModifier) {
      entry.Button->setChecked(true);
      ActionClick(static_cast<int>(k) + 1, false);
      return true;
    }
  }
  if (key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
    Entry_->Cancel();
    return true;
  }
  if (key == Qt::Key_F1 || (key == Qt::Key_Space && modifiers == Qt::ControlModifier)) {
    if (Clock_->ClockPanel()->isVisible()) ClockRunning() ? StopClock() : StartClock();
    return true;
  }
  if (key == Qt::Key_Z && modifiers == Qt::ControlModifier) {
    HistoryBox_->Undo();
    return true;
  }
  if ((key == Qt::Key_PageUp || key == Qt::Key_PageDown) && modifiers == Qt::NoModifier) {
    PressShirtNumber(key == Qt::Key_PageUp ? 1 : 2);
    return true;
  }
  return false;
}

}  // namespace velmora::gui
