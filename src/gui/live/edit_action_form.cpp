#include "live/edit_action_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "live/action_editing.h"
#include "live/court_map_picker.h"
#include "widgets/court_picture.h"
#include "platform/user_interface.h"
#include "records/match_info.h"
#include "records/message_source.h"
#include "records/text_utils.h"
#include "widgets/clock_picker.h"
#include "widgets/dialog_layout.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The glyph of the court-map button: a small court.
QIcon CourtGlyph() {
  QPixmap pixmap(Scaled(28), Scaled(20));
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintHalfCourt(painter, QRectF(pixmap.rect()));
  return QIcon(pixmap);
}

// The position of the stored value among the entries, or -1.
int PositionOf(const std::string& data, int count) {
  const auto position = ParseInt32(data);
  return position && *position >= 0 && *position < count ? *position : -1;
}

}  // namespace

TEditActionForm::TEditActionForm(const TAction& action, const TMatchInfo& matchInfo, const TMessageSource& messages,
                                 TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent),
      Action_(action),
      MatchInfo_(matchInfo),
      Messages_(messages),
      UserInterface_(userInterface),
      TimeGroup_(new QGroupBox(tr("Tiempo de la acción"), this)),
      ParamGroup_(new QGroupBox(tr("Editar acción"), this)),
      MapGroup_(new QGroupBox(tr("Mapa de la cancha"), this)),
      TimePicker_(NewClockPicker(QStringLiteral("TimePicker"), TimeGroup_)),
      CourtMap_(new TCourtMapPicker(MapGroup_)),
      OkButton_(NamedButton(tr("&Aceptar"), QStringLiteral("OkButton"), this)),
      CancelButton_(NamedButton(tr("&Cancelar"), QStringLiteral("CancelButton"), this)) {
  setObjectName(QStringLiteral("EditActionForm"));
  setWindowTitle(tr("Editar parámetros de la acción"));

  TimeGroup_->setObjectName(QStringLiteral("TimeGroup"));
  SetClock(*TimePicker_, action.GameTime);
  auto* time = new QHBoxLayout(TimeGroup_);
  time->addWidget(new QLabel(tr("Tiempo de la acción"), TimeGroup_));
  time->addWidget(TimePicker_);
  time->addStretch(1);

  ParamGroup_->setObjectName(QStringLiteral("ParamGroup"));
  auto* grid = new QGridLayout(ParamGroup_);
  grid->setColumnMinimumWidth(0, Scaled(115));
  for (const TParameter& parameter : action.Parameters) Editors_.push_back(TEditor{&parameter, nullptr, nullptr, {}});
  for (std::size_t i = 0; i < Editors_.size(); ++i) {
    const int row = static_cast<int>(i);
    auto* label = new QLabel(Text(EditorCaption(messages, Editors_[i].Parameter->Name)), ParamGroup_);
    label->setObjectName(QStringLiteral("ParamLabel") + QString::number(row + 1));
    grid->addWidget(label, row, 0);
    grid->addWidget(MakeEditor(Editors_[i], i, ParamGroup_), row, 1);
    grid->setRowMinimumHeight(row, Scaled(32));
  }
  FillPlayerLists();
  if (TeamEditor_) {
    connect(TeamEditor_, &QComboBox::currentIndexChanged, this, &TEditActionForm::FillPlayerLists);
  }

  MapGroup_->setObjectName(QStringLiteral("MapGroup"));
  auto* map = new QVBoxLayout(MapGroup_);
  map->addWidget(CourtMap_);
  MapGroup_->hide();
  CourtMap_->SetReleaseHandler([this](int x, int y) { CourtMapMouseUp(x, y); });

  OkButton_->setDefault(true);
  connect(OkButton_, &QPushButton::clicked, this, &TEditActionForm::OkButtonClick);
  connect(CancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(TimeGroup_);
  left->addWidget(ParamGroup_);
  left->addStretch(1);
  left->addLayout(ButtonRow({OkButton_, CancelButton_}));
  auto* layout = new QHBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(left);
  layout->addWidget(MapGroup_, 0, Qt::AlignTop);
  OkButton_->setFocus();
}

TEditActionForm::~TEditActionForm() = default;

QWidget* TEditActionForm::MakeEditor(TEditor& editor, std::size_t index, QWidget* parent) {
  const TParameter& parameter = *editor.Parameter;
  const QString name = QStringLiteral("ParamEdit") + QString::number(index + 1);
  const int width = Scaled(245);
  if (parameter.Type == "team" || parameter.Type == "player" || parameter.Type == "choice") {
    editor.Combo = new QComboBox(parent);
    editor.Combo->setObjectName(name);
    editor.Combo->setFixedWidth(width);
    if (parameter.Type == "team") {
      editor.Combo->addItems({Text(MatchInfo_.Team1.Name), Text(MatchInfo_.Team2.Name)});
      const int value = ParseInt32(parameter.Data).value_or(0);
      editor.Combo->setCurrentIndex(value == 1 || value == 2 ? value - 1 : -1);
      if (!TeamEditor_) TeamEditor_ = editor.Combo;
    } else if (parameter.Type == "choice") {
      for (const std::string& value : parameter.Values) editor.Combo->addItem(Text(Caption(Messages_, value)));
      int position = PositionOf(parameter.Data, static_cast<int>(parameter.Values.size()));
      if (parameter.Name == "CounterAttack" && parameter.Data.empty()) position = 1;
      editor.Combo->setCurrentIndex(position);
    }
    return editor.Combo;
  }
  editor.Edit = new QLineEdit(Text(parameter.Data), parent);
  editor.Edit->setObjectName(name);
  if (parameter.Type == "number") {
    editor.Edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*\\d{0,3}\\s*")), editor.Edit));
  }
  if (parameter.Type != "coordinates") {
    editor.Edit->setFixedWidth(width);
    return editor.Edit;
  }
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  editor.Edit->setFixedWidth(Scaled(220));
  auto* button = new QToolButton(row);
  button->setObjectName(QStringLiteral("CourtMapButton") + QString::number(index + 1));
  button->setIcon(CourtGlyph());
  button->setIconSize(QSize(Scaled(20), Scaled(14)));
  button->setToolTip(tr("Mapa de la cancha"));
  connect(button, &QToolButton::clicked, this, [this, index] { CourtMapButtonClick(index); });
  layout->addWidget(editor.Edit);
  layout->addWidget(button);
  layout->addStretch(1);
  return row;
}

int TEditActionForm::ChosenTeam() const {
  return TeamEditor_ && TeamEditor_->currentIndex() >= 0 ? TeamEditor_->currentIndex() + 1 : 0;
}

void TEditActionForm::FillPlayerLists() {
  for (TEditor& editor : Editors_) {
    if (editor.Parameter->Type != "player") continue;
    // The player chosen so far stays chosen when the other roster has his number too.
    const int current = editor.Combo->currentIndex();
    const int chosen = current >= 0 ? editor.Numbers[static_cast<std::size_t>(current)]
                                    : ParseInt32(editor.Parameter->Data).value_or(-1);
    editor.Combo->clear();
    editor.Numbers.clear();
    for (const TPlayerChoice& player :
         RosterChoices(MatchInfo_, PlayerParameterTeam(editor.Parameter->Name, ChosenTeam()))) {
      editor.Combo->addItem(Text(player.Caption));
      editor.Numbers.push_back(player.Number);
    }
    const auto at = std::find(editor.Numbers.begin(), editor.Numbers.end(), chosen);
    editor.Combo->setCurrentIndex(at == editor.Numbers.end() ? -1 : static_cast<int>(at - editor.Numbers.begin()));
  }
}

TEditActionForm::TEditor* TEditActionForm::EditorOf(const char* name) {
  for (TEditor& editor : Editors_) {
    if (editor.Parameter->Name == name) return &editor;
  }
  return nullptr;
}

void TEditActionForm::CourtMapButtonClick(std::size_t index) {
  MapTarget_ = Editors_[index].Edit;
  const std::vector<std::string> parts = SplitTrimmed(MapTarget_->text().toStdString(), '+');
  const auto x = parts.size() == 2 ? ParseInt32(parts[0]) : std::nullopt;
  const auto y = parts.size() == 2 ? ParseInt32(parts[1]) : std::nullopt;
  if (x && y) {
    const TCourtPoint point = ClampToCourt(*x, *y);
    CourtMap_->PlaceMarker(point.X, point.Y, PointsFromPosition(CoordinatesText(point)).value_or(2) == 3);
  }
  ShowCourtMap(true);
}

void TEditActionForm::CourtMapMouseUp(int x, int y) {
  if (!MapTarget_) return;
  const std::string coordinates = CoordinatesText(ClampToCourt(x, y));
  MapTarget_->setText(Text(coordinates));
  if (TEditor* points = EditorOf("Points"); points && points->Edit) {
    points->Edit->setText(QString::number(PointsFromPosition(coordinates).value_or(2)));
  }
  ShowCourtMap(false);
}

void TEditActionForm::ShowCourtMap(bool shown) {
  for (QWidget* control : std::initializer_list<QWidget*>{TimeGroup_, ParamGroup_, OkButton_, CancelButton_}) {
    control->setEnabled(!shown);
  }
  MapGroup_->setVisible(shown);
  if (!shown) {
    MapTarget_ = nullptr;
    OkButton_->setFocus();
  }
}

void TEditActionForm::reject() {
  // Esc on the court map leaves the map, not the dialog.
  if (MapGroup_->isVisible()) return ShowCourtMap(false);
  QDialog::reject();
}

void TEditActionForm::SetTimeRange(TDateTime earliest, TDateTime latest) {
  SetClockRange(*TimePicker_, earliest, latest);
}

void TEditActionForm::OkButtonClick() {
  auto edited = Action_.Clone();
  // An untouched picker keeps the time as it was, to the millisecond.
  if (WholeSeconds(ClockOf(*TimePicker_)) != WholeSeconds(Action_.GameTime)) edited->GameTime = ClockOf(*TimePicker_);
  for (std::size_t i = 0; i < Editors_.size(); ++i) {
    const TEditor& editor = Editors_[i];
    TParameter& parameter = edited->Parameters[i];
    const int chosen = editor.Combo ? editor.Combo->currentIndex() : -1;
    // An editor left without a choice leaves its parameter empty: it takes its default, or the
    // edit is refused.
    if (parameter.Type == "team") {
      parameter.Data = chosen >= 0 ? std::to_string(chosen + 1) : std::string();
    } else if (parameter.Type == "player") {
      parameter.Data = chosen >= 0 ? std::to_string(editor.Numbers[static_cast<std::size_t>(chosen)]) : std::string();
    } else if (parameter.Type == "choice") {
      parameter.Data = chosen >= 0 ? std::to_string(chosen) : std::string();
    } else if (parameter.Type == "number") {
      parameter.Data = editor.Edit->text().trimmed().toStdString();
    } else {
      parameter.Data = editor.Edit->text().toStdString();
    }
  }
  if (!edited->FillDefaults()) {
    UserInterface_.ShowMessage(kApplicationTitle, "Entrada invalidada. Por favor corríjalo e inténtelo de nuevo.",
                               TMessageIcon::Error);
    return;
  }
  Result_ = std::move(edited);
  accept();
}

}  // namespace velmora::gui
