#include "setup/edit_player_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/user_interface.h"
#include "records/game_time.h"
#include "records/text_utils.h"
#include "widgets/dialog_layout.h"

namespace velmora::gui {

namespace {

const QString kDateFormat = QStringLiteral("yyyy.MM.dd");

const char* const kPositionNames[] = {"",
                                      "Center",
                                      "Forward",
                                      "Guard",
                                      "Forward/Center",
                                      "Guard/Forward",
                                      "Power forward",
                                      "Point guard",
                                      "Small forward",
                                      "Shooting guard"};

}  // namespace

TPlayerDetailsForm::TPlayerDetailsForm(TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent), Ui_(userInterface) {
  setWindowTitle(tr("Player details"));
  ShirtNumberEdit_ = new QLineEdit(this);
  ShirtNumberEdit_->setObjectName(QStringLiteral("ShirtNumberEdit"));
  HeightEdit_ = new QLineEdit(this);
  HeightEdit_->setObjectName(QStringLiteral("HeightEdit"));
  PositionEdit_ = new QComboBox(this);
  PositionEdit_->setObjectName(QStringLiteral("PositionEdit"));
  for (const char* name : kPositionNames) PositionEdit_->addItem(tr(name));
  DobCheck_ = new QCheckBox(this);
  DobCheck_->setObjectName(QStringLiteral("DobCheck"));
  DobEdit_ = new QDateEdit(QDate::currentDate(), this);
  DobEdit_->setObjectName(QStringLiteral("DobEdit"));
  DobEdit_->setDisplayFormat(kDateFormat);
  DobEdit_->setCalendarPopup(true);
  DobEdit_->setEnabled(false);
  connect(DobCheck_, &QCheckBox::toggled, DobEdit_, &QDateEdit::setEnabled);
  ClubEdit_ = new QLineEdit(this);
  ClubEdit_->setObjectName(QStringLiteral("ClubEdit"));
  OKButton_ = NamedButton(tr("&OK"), QStringLiteral("OKButton"), this);
  OKButton_->setDefault(true);
  CancelButton_ = NamedButton(tr("&Cancel"), QStringLiteral("CancelButton"), this);
  connect(OKButton_, &QPushButton::clicked, this, &TPlayerDetailsForm::OKButtonClick);
  connect(CancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TPlayerDetailsForm::BuildLayout(const std::vector<std::pair<QString, QWidget*>>& nameRows) {
  auto* group = new QGroupBox(tr("Player details"), this);
  auto* fields = new QFormLayout(group);
  for (const auto& [label, field] : nameRows) fields->addRow(label, field);
  fields->addRow(tr("Shirt number"), ShirtNumberEdit_);
  auto* height = new QHBoxLayout;
  height->addWidget(HeightEdit_);
  height->addWidget(new QLabel(tr("e.g. 1.89"), group));
  fields->addRow(tr("Height"), height);
  fields->addRow(tr("Position"), PositionEdit_);
  auto* birth = new QHBoxLayout;
  birth->addWidget(DobCheck_);
  birth->addWidget(DobEdit_, 1);
  fields->addRow(tr("Date of birth"), birth);
  fields->addRow(tr("Current club"), ClubEdit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(ButtonRow({OKButton_, CancelButton_}));
}

void TPlayerDetailsForm::SetDateOfBirth(double birthDate) {
  DobCheck_->setChecked(birthDate > 0);
  if (birthDate > 0) DobEdit_->setDate(QDate::fromString(QString::fromStdString(FormatDate(birthDate)), kDateFormat));
}

void TPlayerDetailsForm::FillDetails(const TRosterRow& row) {
  ShirtNumberEdit_->setText(QString::fromStdString(std::string(Trimmed(row.Number))));
  HeightEdit_->setText(QString::fromStdString(row.Height));
  PositionEdit_->setCurrentIndex(PositionIndex(row.Position) - 1);
  const QDate born = QDate::fromString(QString::fromStdString(row.Born), kDateFormat);
  DobCheck_->setChecked(!row.Born.empty());
  if (born.isValid()) DobEdit_->setDate(born);
  ClubEdit_->setText(QString::fromStdString(row.Club));
}

void TPlayerDetailsForm::WriteDetails(TRosterRow& row) const {
  row.Number = ShirtNumberEdit_->text().toStdString();
  row.Height = HeightText(HeightEdit_->text().toStdString());
  const int position = std::max(0, PositionEdit_->currentIndex());
  row.Position = std::string(kPositionCodes[position]);
  if (DobCheck_->isChecked()) row.Born = DobEdit_->date().toString(kDateFormat).toStdString();
  row.Club = ClubEdit_->text().toStdString();
}

void TPlayerDetailsForm::ShowError(const QString& text) {
  Ui_.ShowMessage("Velmora", text.toStdString(), TMessageIcon::Error);
}

bool TPlayerDetailsForm::DetailsValid() {
  const std::string height = HeightEdit_->text().toStdString();
  if (!Trimmed(height).empty() && !ParseDecimal(Trimmed(height))) {
    ShowError(tr("Invalid height"));
    return false;
  }
  if (!ParseInt32(Trimmed(ShirtNumberEdit_->text().toStdString()))) {
    ShowError(tr("Invalid shirt number"));
    return false;
  }
  return true;
}

TEditPlayerForm::TEditPlayerForm(TUserInterface& userInterface, QWidget* parent)
    : TPlayerDetailsForm(userInterface, parent) {
  FirstNameEdit_ = new QLineEdit(this);
  FirstNameEdit_->setObjectName(QStringLiteral("FirstNameEdit"));
  LastNameEdit_ = new QLineEdit(this);
  LastNameEdit_->setObjectName(QStringLiteral("LastNameEdit"));
  BuildLayout({{tr("First name"), FirstNameEdit_}, {tr("Last name"), LastNameEdit_}});
}

void TEditPlayerForm::Fill(const TRosterRow& row) {
  FirstNameEdit_->setText(QString::fromStdString(row.Name));
  LastNameEdit_->setText(QString::fromStdString(row.Surname));
  FillDetails(row);
}

void TEditPlayerForm::WriteInto(TRosterRow& row) const {
  row.Name = FirstNameEdit_->text().toStdString();
  row.Surname = LastNameEdit_->text().toStdString();
  WriteDetails(row);
}

void TEditPlayerForm::OKButtonClick() {
  if (FirstNameEdit_->text().trimmed().isEmpty()) {
    ShowError(tr("First name cannot be empty"));
    return;
  }
  if (LastNameEdit_->text().trimmed().isEmpty()) {
    ShowError(tr("Last name cannot be empty"));
    return;
  }
  if (DetailsValid()) accept();
}

TEditPlayerForm2::TEditPlayerForm2(const TTeam& initialRoster, TUserInterface& userInterface, QWidget* parent)
    : TPlayerDetailsForm(userInterface, parent), InitialRoster_(initialRoster) {
  PlayerEdit_ = new QComboBox(this);
  PlayerEdit_->setObjectName(QStringLiteral("PlayerEdit"));
  PlayerEdit_->setMinimumWidth(220);
  connect(PlayerEdit_, &QComboBox::currentIndexChanged, this, &TEditPlayerForm2::PlayerEditChange);
  BuildLayout({{tr("Player"), PlayerEdit_}});
}

void TEditPlayerForm2::OfferForAdd(const std::vector<std::string>& usedIds) {
  // Nothing is chosen until the operator chooses.
  const QSignalBlocker quiet(PlayerEdit_);
  PlayerEdit_->clear();
  for (int slot = 1; slot <= InitialRoster_.PlayerCount; ++slot) {
    const TPlayer& player = InitialRoster_.Player(slot);
    if (std::find(usedIds.begin(), usedIds.end(), player.ID) != usedIds.end()) continue;
    PlayerEdit_->addItem(QString::fromStdString(player.Name + " " + player.Surname), QString::fromStdString(player.ID));
  }
  PlayerEdit_->setCurrentIndex(-1);
}

void TEditPlayerForm2::OfferForEdit(const TRosterRow& row) {
  OfferForAdd({});
  {
    const QSignalBlocker quiet(PlayerEdit_);
    PlayerEdit_->setCurrentIndex(PlayerEdit_->findData(QString::fromStdString(std::string(Trimmed(row.Id)))));
  }
  PlayerEdit_->setEnabled(false);
  FillDetails(row);
}

const TPlayer* TEditPlayerForm2::ChosenPlayer() const {
  if (PlayerEdit_->currentIndex() < 0) return nullptr;
  return InitialRoster_.FindPlayerById(PlayerEdit_->currentData().toString().toStdString());
}

void TEditPlayerForm2::PlayerEditChange() {
  const TPlayer* player = ChosenPlayer();
  if (!player) return;
  ShirtNumberEdit_->setText(QString::fromStdString(ShirtText(player->Number)));
  HeightEdit_->setText(player->Height > 0 ? QString::fromStdString(RosterRowOf(*player).Height) : QString());
  PositionEdit_->setCurrentIndex(PositionIndex(player->Position) - 1);
  SetDateOfBirth(player->Birth_date);
  ClubEdit_->setText(QString::fromStdString(player->Club));
}

void TEditPlayerForm2::WriteInto(TRosterRow& row) const {
  if (const TPlayer* player = ChosenPlayer()) {
    row.Id = player->ID;
    row.Name = player->Name;
    row.Surname = player->Surname;
  }
  WriteDetails(row);
}

void TEditPlayerForm2::OKButtonClick() {
  if (!ChosenPlayer()) {
    ShowError(tr("Select player first"));
    return;
  }
  if (DetailsValid()) accept();
}

}  // namespace velmora::gui
