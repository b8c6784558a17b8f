#include "setup/edit_match_info_form.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/user_interface.h"
#include "records/text_utils.h"
#include "setup/edit_player_form.h"
#include "setup/roster_grid.h"
#include "widgets/color_button.h"
#include "widgets/dialog_layout.h"

namespace velmora::gui {

namespace {

std::string ToStd(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QString Numbered(const char* name, int team) { return QString::fromLatin1(name).arg(team); }

}  // namespace

TEditMatchInfoForm::TEditMatchInfoForm(const TMatchInfo& matchInfo, std::optional<TMatchInfo> initial,
                                       const TRosterLimits& limits, TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent), Result_(matchInfo), Initial_(std::move(initial)), Limits_(limits), Ui_(userInterface) {
  setWindowTitle(tr("Velmora - Edit match info & rosters"));
  MainPanel_ = new QTabWidget(this);
  MainPanel_->setObjectName(QStringLiteral("MainPanel"));
  MainPanel_->addTab(BuildMatchInfoPage(), tr("Match info"));
  MainPanel_->addTab(BuildPlayersPage(1), tr("First team"));
  MainPanel_->addTab(BuildPlayersPage(2), tr("Second team"));

  SaveButton_ = NamedButton(tr("&Save && Close"), QStringLiteral("SaveButton"), this);
  SaveButton_->setDefault(true);
  CancelButton_ = NamedButton(tr("&Cancel"), QStringLiteral("CancelButton"), this);
  connect(SaveButton_, &QPushButton::clicked, this, &TEditMatchInfoForm::SaveButtonClick);
  connect(CancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MainPanel_);
  layout->addLayout(ButtonRow({SaveButton_, CancelButton_}));
  resize(820, 480);
  Fill();
}

QWidget* TEditMatchInfoForm::BuildMatchInfoPage() {
  MatchInfoTab_ = new QWidget(this);
  MatchInfoTab_->setObjectName(QStringLiteral("MatchInfoTab"));
  auto* fields = new QFormLayout;
  GameNumberEdit_ = NamedEdit("GameNumberEdit", MatchInfoTab_);
  DateTimeEdit_ = NamedEdit("DateTimeEdit", MatchInfoTab_);
  PlaceEdit_ = NamedEdit("PlaceEdit", MatchInfoTab_);
  FieldEdit_ = NamedEdit("FieldEdit", MatchInfoTab_);
  fields->addRow(tr("Game Number"), GameNumberEdit_);
  fields->addRow(tr("Date and Time"), DateTimeEdit_);
  fields->addRow(tr("Place"), PlaceEdit_);
  fields->addRow(tr("Field"), FieldEdit_);
  for (int referee = 0; referee < 4; ++referee) {
    RefereeEdits_[referee] = new QLineEdit(MatchInfoTab_);
    RefereeEdits_[referee]->setObjectName(Numbered("Referee%1Edit", referee + 1));
    fields->addRow(tr("Referee %1").arg(referee + 1), RefereeEdits_[referee]);
  }
  CommissionerEdit_ = NamedEdit("CommissionerEdit", MatchInfoTab_);
  CompetitionEdit_ = NamedEdit("CompetitionEdit", MatchInfoTab_);
  SpectatorsEdit_ = NamedEdit("SpectatorsEdit", MatchInfoTab_);
  TVBox_ = new QComboBox(MatchInfoTab_);
  TVBox_->setObjectName(QStringLiteral("TVBox"));
  TVBox_->addItems({tr("None"), tr("Live / complete"), tr("Live / partial game"), tr("Delayed / complete"),
                    tr("Delayed / partial game")});
  fields->addRow(tr("Commissioner"), CommissionerEdit_);
  fields->addRow(tr("Competition"), CompetitionEdit_);
  fields->addRow(tr("Spectators"), SpectatorsEdit_);
  fields->addRow(tr("TV Details"), TVBox_);

  auto* teams = new QVBoxLayout;
  teams->addWidget(BuildTeamGroup(1));
  teams->addWidget(BuildTeamGroup(2));
  teams->addStretch(1);
  auto* layout = new QHBoxLayout(MatchInfoTab_);
  layout->addLayout(fields, 1);
  layout->addLayout(teams, 1);
  return MatchInfoTab_;
}

QWidget* TEditMatchInfoForm::BuildTeamGroup(int team) {
  TTeamControls& controls = Team(team);
  auto* group = new QGroupBox(team == 1 ? tr("Team 1 (Hosts)") : tr("Team 2 (Visitors)"), MatchInfoTab_);
  auto* fields = new QFormLayout(group);
  controls.Name = new QLineEdit(group);
  controls.Name->setObjectName(Numbered("Team%1Edit", team));
  controls.Coach = new QLineEdit(group);
  controls.Coach->setObjectName(Numbered("Coach%1Edit", team));
  controls.Short = new QLineEdit(group);
  controls.Short->setObjectName(Numbered("Short%1Edit", team));
  controls.Color = new TColorButton(tr("Color"), group);
  controls.Color->setObjectName(Numbered("Color%1Button", team));
  controls.Color->setToolTip(tr("Click to change color"));
  controls.Color->setAutoDefault(false);
  fields->addRow(tr("Team name"), controls.Name);
  fields->addRow(tr("Coach"), controls.Coach);
  fields->addRow(tr("Short name"), controls.Short);
  fields->addRow(QString(), controls.Color);

  controls.ColorMenu = new QMenu(this);
  QAction* change = controls.ColorMenu->addAction(tr("&Change"));
  change->setObjectName(Numbered("Change%1", team));
  QAction* reset = controls.ColorMenu->addAction(tr("&Reset"));
  reset->setObjectName(Numbered("Reset%1", team));
  if (team == 1) {
    connect(controls.Color, &QPushButton::clicked, this, &TEditMatchInfoForm::Color1ButtonClick);
    connect(change, &QAction::triggered, this, &TEditMatchInfoForm::Change1Click);
    connect(reset, &QAction::triggered, this, &TEditMatchInfoForm::Reset1Click);
    connect(controls.Name, &QLineEdit::textChanged, this, [this] { UpdatePageCaption(1); });
  } else {
    connect(controls.Color, &QPushButton::clicked, this, &TEditMatchInfoForm::Color2ButtonClick);
    connect(change, &QAction::triggered, this, &TEditMatchInfoForm::Change2Click);
    connect(reset, &QAction::triggered, this, &TEditMatchInfoForm::Reset2Click);
    connect(controls.Name, &QLineEdit::textChanged, this, [this] { UpdatePageCaption(2); });
  }
  return group;
}

QWidget* TEditMatchInfoForm::BuildPlayersPage(int team) {
  TTeamControls& controls = Team(team);
  controls.Page = new QWidget(this);
  controls.Page->setObjectName(Numbered("Players%1Tab", team));
  auto* group = new QGroupBox(tr("Players"), controls.Page);
  controls.Players = new TRosterGrid(group);
  controls.Players->setObjectName(Numbered("PlayerList%1", team));
  auto* add = NamedButton(tr("&Add player"), Numbered("AddPlayer%1Button", team), group);
  auto* edit = NamedButton(tr("&Edit player"), Numbered("EditPlayer%1Button", team), group);
  auto* remove = NamedButton(tr("&Delete player"), Numbered("DeletePlayer%1Button", team), group);
  if (team == 1) {
    connect(add, &QPushButton::clicked, this, &TEditMatchInfoForm::AddPlayer1ButtonClick);
    connect(edit, &QPushButton::clicked, this, &TEditMatchInfoForm::EditPlayer1ButtonClick);
    connect(remove, &QPushButton::clicked, this, &TEditMatchInfoForm::DeletePlayer1ButtonClick);
    connect(controls.Players, &QTableWidget::cellDoubleClicked, this, &TEditMatchInfoForm::EditPlayer1ButtonClick);
  } else {
    connect(add, &QPushButton::clicked, this, &TEditMatchInfoForm::AddPlayer2ButtonClick);
    connect(edit, &QPushButton::clicked, this, &TEditMatchInfoForm::EditPlayer2ButtonClick);
    connect(remove, &QPushButton::clicked, this, &TEditMatchInfoForm::DeletePlayer2ButtonClick);
    connect(controls.Players, &QTableWidget::cellDoubleClicked, this, &TEditMatchInfoForm::EditPlayer2ButtonClick);
  }
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(edit);
  buttons->addWidget(remove);
  buttons->addStretch(1);
  auto* inner = new QHBoxLayout(group);
  inner->addWidget(controls.Players, 1);
  inner->addLayout(buttons);
  auto* layout = new QVBoxLayout(controls.Page);
  layout->addWidget(group);
  return controls.Page;
}

void TEditMatchInfoForm::Fill() {
  const TMatchInfo& info = Result_;
  GameNumberEdit_->setText(QString::fromStdString(info.GameNumber));
  GameNumberEdit_->setReadOnly(!Trimmed(info.GameNumber).empty());
  // A new game is usually typed in just before it starts.
  const bool newGame = Trimmed(info.GameNumber).empty();
  DateTimeEdit_->setText(QString::fromStdString(FormatDateTime(info.Time == 0 || newGame ? Now() : info.Time)));
  PlaceEdit_->setText(QString::fromStdString(info.Place));
  FieldEdit_->setText(QString::fromStdString(info.Field));
  const std::string* referees[] = {&info.Referee1, &info.Referee2, &info.Referee3, &info.Referee4};
  for (int referee = 0; referee < 4; ++referee)
    RefereeEdits_[referee]->setText(QString::fromStdString(*referees[referee]));
  CommissionerEdit_->setText(QString::fromStdString(info.Commissioner));
  CompetitionEdit_->setText(QString::fromStdString(info.Competition));
  SpectatorsEdit_->setText(info.Spectators == 0 ? QString() : QString::number(info.Spectators));
  TVBox_->setCurrentIndex(info.TV >= 0 && info.TV < TVBox_->count() ? info.TV : 0);
  for (const int team : {1, 2}) {
    TTeamControls& controls = Team(team);
    const TTeam& source = info.Team(team);
    controls.Name->setText(QString::fromStdString(source.Name));
    controls.Coach->setText(QString::fromStdString(source.Coach));
    controls.Short->setText(QString::fromStdString(source.Shortname));
    SetTeamColor(team, source.Color);
    controls.Players->SetNamesEditable(!ServerGame());
    controls.Players->SetRows(RosterRowsOf(source));
    UpdatePageCaption(team);
  }
}

void TEditMatchInfoForm::UpdatePageCaption(int team) {
  const QString name = Team(team).Name->text();
  const QString fallback = team == 1 ? tr("First team") : tr("Second team");
  MainPanel_->setTabText(team, name.isEmpty() ? fallback : name);
}

void TEditMatchInfoForm::ShowColorMenu(int team) {
  TColorButton* button = Team(team).Color;
  Team(team).ColorMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void TEditMatchInfoForm::ChangeColor(int team) {
  if (const auto chosen = ColorDialog_.Execute(this, ColorFromValue(Team(team).ColorValue))) {
    SetTeamColor(team, ValueOfColor(*chosen));
  }
}

void TEditMatchInfoForm::SetTeamColor(int team, std::int32_t value) {
  TTeamControls& controls = Team(team);
  controls.ColorValue = value < 0 ? -1 : value;
  const QColor color = ColorFromValue(controls.ColorValue);
  controls.Color->SetBackColor(color);
  controls.Color->SetHoverColor(color.isValid() ? color.lighter(115) : QColor());
  // The caption stays readable on any team colour.
  const double luminance = 0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue();
  controls.Color->SetTextColor(color.isValid() ? QColor(luminance < 150 ? Qt::white : Qt::black) : QColor());
}

void TEditMatchInfoForm::AddPlayer(int team) {
  TRosterGrid& grid = *Team(team).Players;
  TRosterRow values;
  if (ServerGame()) {
    TEditPlayerForm2 dialog(Initial_->Team(team), Ui_, this);
    dialog.OfferForAdd(grid.Ids());
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.WriteInto(values);
  } else {
    TEditPlayerForm dialog(Ui_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.WriteInto(values);
  }
  const int row = grid.RowForAdd();
  grid.SetRow(row, values);
  grid.setCurrentCell(row, TRosterGrid::kNumber);
}

void TEditMatchInfoForm::EditPlayer(int team) {
  TRosterGrid& grid = *Team(team).Players;
  const int row = grid.currentRow();
  if (row < 0) return;
  TRosterRow values = grid.Row(row);
  if (ServerGame()) {
    TEditPlayerForm2 dialog(Initial_->Team(team), Ui_, this);
    dialog.OfferForEdit(values);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.WriteInto(values);
  } else {
    TEditPlayerForm dialog(Ui_, this);
    dialog.Fill(values);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.WriteInto(values);
  }
  grid.SetRow(row, values);
}

void TEditMatchInfoForm::DeletePlayer(int team) {
  TRosterGrid& grid = *Team(team).Players;
  const int row = grid.currentRow();
  if (row < 0) return;
  if (Ui_.AskYesNo("Velmora", tr("Really delete this player?").toStdString(), TMessageIcon::Question)) {
    grid.DeleteRow(row);
  }
}

void TEditMatchInfoForm::ShowError(const QString& text) {
  Ui_.ShowMessage("Velmora", text.toStdString(), TMessageIcon::Error);
}

bool TEditMatchInfoForm::RosterValid(int team) {
  const std::vector<std::string> errors = RosterErrors(Team(team).Players->Rows(), Limits_);
  for (const std::string& error : errors) ShowError(QString::fromStdString(error));
  if (!errors.empty()) MainPanel_->setCurrentWidget(Team(team).Page);
  return errors.empty();
}

void TEditMatchInfoForm::SaveButtonClick() {
  if (GameNumberEdit_->text().trimmed().isEmpty()) {
    ShowError(tr("Game number must be specified."));
    MainPanel_->setCurrentWidget(MatchInfoTab_);
    return;
  }
  if (!RosterValid(1) || !RosterValid(2)) return;
  const auto time = ParseDateTime(Trimmed(ToStd(DateTimeEdit_)));
  if (!time) {
    ShowError(tr("'%1' is not a valid date and time").arg(DateTimeEdit_->text()));
    MainPanel_->setCurrentWidget(MatchInfoTab_);
    return;
  }

  TMatchInfo& info = Result_;
  info.Field = ToStd(FieldEdit_);
  info.Place = ToStd(PlaceEdit_);
  info.GameNumber = ToStd(GameNumberEdit_);
  info.Time = *time;
  info.Referee1 = ToStd(RefereeEdits_[0]);
  info.Referee2 = ToStd(RefereeEdits_[1]);
  info.Referee3 = ToStd(RefereeEdits_[2]);
  info.Referee4 = ToStd(RefereeEdits_[3]);
  info.Commissioner = ToStd(CommissionerEdit_);
  info.Competition = ToStd(CompetitionEdit_);
  info.Spectators = ParseInt32(Trimmed(ToStd(SpectatorsEdit_))).value_or(0);
  info.TV = TVBox_->currentIndex();
  for (const int team : {1, 2}) {
    TTeamControls& controls = Team(team);
    TTeam& target = info.Team(team);
    target.Coach = ToStd(controls.Coach);
    target.Name = ToStd(controls.Name);
    target.Shortname = ToStd(controls.Short);
    target.Color = controls.ColorValue;
    WriteRoster(controls.Players->Rows(), target);
  }
  info.SortRosters();
  accept();
}

}  // namespace velmora::gui
