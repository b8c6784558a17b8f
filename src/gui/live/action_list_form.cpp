#include "live/action_list_form.h"

#include <QAbstractListModel>
#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "live/action_insertion.h"
#include "live/edit_action_form.h"
#include "live/insert_action_form.h"
#include "live/history_list_box.h"
#include "platform/configuration.h"
#include "stats/model.h"
#include "widgets/clock_picker.h"
#include "widgets/dialog_layout.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

void TickAll(QListWidget* list, bool ticked) {
  for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

std::vector<bool> Ticks(const QListWidget* list) {
  std::vector<bool> ticks;
  for (int i = 0; i < list->count(); ++i) ticks.push_back(list->item(i)->checkState() == Qt::Checked);
  return ticks;
}

// A ticked check list with "Select All" and "Select None" under it.
QGroupBox* CheckListGroup(const QString& title, const QString& label, QListWidget*& list, const char* name,
                          QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  list = new QListWidget(group);
  list->setObjectName(QString::fromLatin1(name));
  list->setMinimumHeight(8 * list->fontMetrics().height() + 2 * list->frameWidth());
  auto* all = NamedButton(QObject::tr("Select All"), QString::fromLatin1(name) + QStringLiteral("AllButton"), group);
  auto* none = NamedButton(QObject::tr("Select None"), QString::fromLatin1(name) + QStringLiteral("NoneButton"), group);
  QObject::connect(all, &QPushButton::clicked, list, [list] { TickAll(list, true); });
  QObject::connect(none, &QPushButton::clicked, list, [list] { TickAll(list, false); });
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(new QLabel(label, group));
  layout->addWidget(list);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(all);
  buttons->addWidget(none);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  return group;
}

}  // namespace

// The lines of the list: the text and a copy of the action as the window shows it.
class TActionLinesModel final : public QAbstractListModel {
 public:
  struct TLine {
    QString Text;
    std::unique_ptr<TAction> Action;
  };

  explicit TActionLinesModel(QObject* parent) : QAbstractListModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(Lines_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return Lines_[static_cast<std::size_t>(index.row())].Text;
  }

  const TAction& Action(int row) const { return *Lines_[static_cast<std::size_t>(row)].Action; }
  int RowOf(const std::string& id) const {
    for (std::size_t row = 0; row < Lines_.size(); ++row) {
      if (Lines_[row].Action->ID == id) return static_cast<int>(row);
    }
    return -1;
  }
  void Assign(std::vector<TLine> lines) {
    beginResetModel();
    Lines_ = std::move(lines);
    endResetModel();
  }
  void Remove(const std::set<std::string>& ids) {
    for (int row = rowCount() - 1; row >= 0; --row) {
      if (!ids.contains(Action(row).ID)) continue;
      beginRemoveRows({}, row, row);
      Lines_.erase(Lines_.begin() + row);
      endRemoveRows();
    }
  }

 private:
  std::vector<TLine> Lines_;
};

TActionListForm::TActionListForm(TGuiContext& context, QWidget* parent)
    : TCustomForm(parent), Context_(context), Lines_(new TActionLinesModel(this)) {
  setObjectName(QStringLiteral("ActionListForm"));
  setWindowTitle(tr("Talvex Velmora - Editar acciones"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

  auto* top = new QWidget(this);
  top->setObjectName(QStringLiteral("TopPanel"));
  auto* close = NamedButton(tr("&Cerrar"), QStringLiteral("CloseButton"), top);
  auto* archive = NamedButton(tr("&Archivar"), QStringLiteral("ArchiveButton"), top);
  auto* reload = NamedButton(tr("&Regrabar"), QStringLiteral("ReloadButton"), top);
  close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  archive->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  reload->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(archive, &QPushButton::clicked, this, &TActionListForm::ArchiveClick);
  connect(reload, &QPushButton::clicked, this, &TActionListForm::ReloadClick);
  auto* buttons = new QHBoxLayout(top);
  buttons->setContentsMargins(0, 0, 0, 0);
  for (QPushButton* button : {close, archive, reload}) buttons->addWidget(button);
  buttons->addStretch(1);

  auto* actions = new QGroupBox(tr("Actions"), this);
  actions->setObjectName(QStringLiteral("ActionsGroup"));
  List_ = new THistoryListBox(actions);
  List_->setObjectName(QStringLiteral("ActionListBox"));
  List_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  List_->setModel(Lines_);
  List_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* editItem = new QAction(tr("&Editar"), List_);
  editItem->setObjectName(QStringLiteral("EditItem"));
  auto* deleteItem = new QAction(tr("E&liminar"), List_);
  deleteItem->setObjectName(QStringLiteral("DeleteItem"));
  auto* insertBeforeItem = new QAction(tr("Insertar acción antes..."), List_);
  insertBeforeItem->setObjectName(QStringLiteral("InsertBeforeItem"));
  auto* insertAfterItem = new QAction(tr("Insertar acción después..."), List_);
  insertAfterItem->setObjectName(QStringLiteral("InsertAfterItem"));
  List_->addActions({editItem, deleteItem, insertBeforeItem, insertAfterItem});
  connect(insertBeforeItem, &QAction::triggered, this, [this] {
    if (List_->currentIndex().isValid()) InsertLine(List_->currentIndex().row(), true);
  });
  connect(insertAfterItem, &QAction::triggered, this, [this] {
    if (List_->currentIndex().isValid()) InsertLine(List_->currentIndex().row(), false);
  });
  connect(editItem, &QAction::triggered, this, [this] {
    if (List_->currentIndex().isValid()) EditLine(List_->currentIndex().row());
  });
  connect(deleteItem, &QAction::triggered, this, &TActionListForm::DeleteSelected);
  connect(List_, &THistoryListBox::EditRequested, this, &TActionListForm::EditLine);
  // "Elminar" deletes its own line; "E&liminar" the selection.
  connect(List_, &THistoryListBox::DeleteRequested, this, [this](int row) {
    List_->selectionModel()->setCurrentIndex(Lines_->index(row), QItemSelectionModel::ClearAndSelect);
    DeleteSelected();
  });
  auto* list = new QVBoxLayout(actions);
  list->addWidget(List_);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter"));
  splitter->addWidget(BuildFilters());
  splitter->addWidget(actions);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({Scaled(300), Scaled(480)});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(top);
  layout->addWidget(splitter, 1);

  resize(Scaled(795), Scaled(600));
  if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  Fill();
}

TActionListForm::~TActionListForm() = default;

QWidget* TActionListForm::BuildFilters() {
  auto* filters = new QGroupBox(tr("Filterer"), this);
  filters->setObjectName(QStringLiteral("FilterGroup"));
  auto* inner = new QWidget;
  auto* column = new QVBoxLayout(inner);
  column->setContentsMargins(0, 0, 0, 0);

  column->addWidget(CheckListGroup(tr("1. Filtrar por tipo de acción"), tr("Mostrar solo acciones de ese tipo:"),
                                   KindsList_, "KindsList", inner));

  auto* teams = new QGroupBox(tr("2. Filtrar por equipo"), inner);
  auto* teamColumn = new QVBoxLayout(teams);
  TeamChoice_ = new QButtonGroup(this);
  const std::pair<const char*, QString> radios[] = {
      {"BothTeamsRadio", tr("Mostrar datos de ambos equipos")},
      {"HomeTeamRadio", tr("Mostrar sólo datos del equipo local")},
      {"VisitorsTeamRadio", tr("Mostrar sólo datos del equipo visitante")}};
  for (int id = 0; id < 3; ++id) {
    auto* radio = new QRadioButton(radios[id].second, teams);
    radio->setObjectName(QString::fromLatin1(radios[id].first));
    TeamChoice_->addButton(radio, id);
    teamColumn->addWidget(radio);
  }
  connect(TeamChoice_, &QButtonGroup::idClicked, this, &TActionListForm::TeamChoiceClick);
  column->addWidget(teams);

  column->addWidget(CheckListGroup(tr("3. Filtrar por jugador"), tr("Mostrar sólo datos de ese jugador:"),
                                   PlayersList_, "PlayersList", inner));

  auto* time = new QGroupBox(tr("4. Filtrar por tiempo"), inner);
  auto* timeGrid = new QGridLayout(time);
  FromTime_ = NewClockPicker(QStringLiteral("FromTimePicker"), time);
  ToTime_ = NewClockPicker(QStringLiteral("ToTimePicker"), time);
  auto* between = new QHBoxLayout;
  between->addWidget(FromTime_);
  between->addWidget(new QLabel(tr("  y"), time));
  between->addWidget(ToTime_);
  between->addStretch(1);
  timeGrid->addWidget(new QLabel(tr("Mostrar sólo acciones ocurridas entre"), time), 0, 0, 1, 6);
  timeGrid->addLayout(between, 1, 0, 1, 6);
  const std::pair<const char*, QString> periods[] = {
      {"C1", tr("Quarter 1")},       {"C2", tr("Quarter 2")},        {"C3", tr("Quarter 3")},
      {"C4", tr("Quarter 4")},       {"PR1", tr("First Overtime")}, {"PR2", tr("Second Overtime")}};
  for (int k = 1; k <= 6; ++k) {
    auto* button = NamedButton(QString::fromLatin1(periods[k - 1].first),
                               QStringLiteral("PeriodButton") + QString::number(k), time);
    button->setToolTip(periods[k - 1].second);
    button->setMinimumWidth(0);
    connect(button, &QPushButton::clicked, this, [this, k] { PeriodButtonClick(k); });
    timeGrid->addWidget(button, 2, k - 1);
  }
  column->addWidget(time);

  auto* apply = NamedButton(tr("A&plicar filtro"), QStringLiteral("ApplyFilterButton"), inner);
  connect(apply, &QPushButton::clicked, this, &TActionListForm::ApplyFilterClick);
  column->addWidget(apply);
  column->addStretch(1);

  // A small screen scrolls the filters rather than squeezing the lists.
  auto* scroll = new QScrollArea(filters);
  scroll->setWidget(inner);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* layout = new QVBoxLayout(filters);
  layout->setContentsMargins(Scaled(2), Scaled(2), Scaled(2), Scaled(2));
  layout->addWidget(scroll);
  return filters;
}

void TActionListForm::Fill() {
  Kinds_ = KindEntries(Context_.App.Catalogue());
  KindsList_->clear();
  for (const TKindEntry& kind : Kinds_) KindsList_->addItem(Text(kind.Caption));
  TickAll(KindsList_, true);
  TeamChoice_->button(0)->setChecked(true);
  FillPlayers();
  const TTimeSpan span = InitialSpan(Context_.Model.Actions());
  SetClock(*FromTime_, span.From);
  SetClock(*ToTime_, span.To);
  Filtered_ = false;
  ShowLines();
}

void TActionListForm::FillPlayers() {
  Players_ = PlayerEntries(Context_.Model.MatchInfo, static_cast<TTeamChoice>(TeamChoice_->checkedId()));
  PlayersList_->clear();
  for (const TPlayerChoice& player : Players_) PlayersList_->addItem(Text(player.Caption));
  TickAll(PlayersList_, true);
}

void TActionListForm::TeamChoiceClick() { FillPlayers(); }

void TActionListForm::PeriodButtonClick(int k) {
  const TTimeSpan span = PeriodButtonSpan(PeriodSettingsOf(Context_.App.Config()), k);
  SetClock(*FromTime_, span.From);
  SetClock(*ToTime_, span.To);
}

void TActionListForm::ApplyFilterClick() {
  Filtered_ = true;
  ShowLines();
}

TActionFilter TActionListForm::CurrentFilter() const {
  TActionFilter filter;
  filter.Kinds = Kinds_;
  filter.KindTicked = Ticks(KindsList_);
  filter.Teams = static_cast<TTeamChoice>(TeamChoice_->checkedId());
  filter.Players = Players_;
  filter.PlayerTicked = Ticks(PlayersList_);
  filter.Span = {ClockOf(*FromTime_), ClockOf(*ToTime_)};
  return filter;
}

TActionList TActionListForm::ShownActions() const {
  TActionList shown;
  for (const auto& action : Context_.Model.Actions()) {
    if (Pending_.Deleted(action->ID)) continue;
    const TAction* edit = Pending_.EditOf(action->ID);
    auto copy = edit ? edit->Clone() : action->Clone();
    // An edited line keeps showing the kind it is, with the new values.
    copy->ShortName = action->ShortName;
    copy->Name = action->Name;
    shown.push_back(std::move(copy));
  }
  return shown;
}

void TActionListForm::ShowLines() {
  const std::string current =
      List_->currentIndex().isValid() ? Lines_->Action(List_->currentIndex().row()).ID : std::string();
  const TActionFilter filter = CurrentFilter();
  TActionList shown = ShownActions();
  std::vector<TActionLinesModel::TLine> lines;
  for (auto action = shown.rbegin(); action != shown.rend(); ++action) {
    if (Filtered_ && !filter.Passes(**action)) continue;
    const QString text = Text((*action)->Describe(Context_.Model.MatchInfo, Context_.App));
    lines.push_back({text, std::move(*action)});
  }
  Lines_->Assign(std::move(lines));
  if (const int row = Lines_->RowOf(current); row >= 0) List_->setCurrentIndex(Lines_->index(row));
}

void TActionListForm::EditLine(int row) {
  if (row < 0 || row >= Lines_->rowCount()) return;
  const auto action = Lines_->Action(row).Clone();
  TEditActionForm form(*action, Context_.Model.MatchInfo, Context_.App, Context_.Ui, this);
  form.adjustSize();
  form.move(geometry().center() - form.rect().center());
  if (form.exec() != QDialog::Accepted) return;
  auto edit = form.Result();
  edit->ShortName = "edit";
  Pending_.SetEdit(std::move(edit));
  ShowLines();
}

void TActionListForm::InsertLine(int row, bool before) {
  if (row < 0 || row >= Lines_->rowCount()) return;
  TModel& model = Context_.Model;
  const int index = model.IndexOf(Lines_->Action(row).ID);
  if (index < 0) return;
  const TAction& neighbour = *model.Actions()[static_cast<std::size_t>(index)];
  const std::string root = neighbour.ChainRoot();
  QString play;
  if (const int rootIndex = model.IndexOf(root); rootIndex >= 0) {
    TAction shown(*model.Actions()[static_cast<std::size_t>(rootIndex)]);
    play = Text(shown.Describe(model.MatchInfo, Context_.App));
  }
  TInsertActionForm chooser(InsertableKinds(Context_.App.Catalogue()), play, this);
  if (chooser.exec() != QDialog::Accepted || chooser.Kind().empty()) return;
  const TInsertionPlace place =
      InsertionPlace(model.Actions(), static_cast<std::size_t>(index), before, model.MatchInfo.CurrentGameTime);
  auto fresh = Context_.App.NewAction(chooser.Kind());
  if (!fresh) return;
  fresh->GameTime = place.GameTime;
  fresh->Period = place.Period;
  TEditActionForm form(*fresh, model.MatchInfo, Context_.App, Context_.Ui, this);
  form.SetTimeRange(place.Earliest, place.Latest);
  form.adjustSize();
  form.move(geometry().center() - form.rect().center());
  if (form.exec() != QDialog::Accepted) return;
  auto inserted = form.Result();
  PrepareInsertion(*inserted, place, chooser.JoinsPlay() ? root : std::string(), Now());
  // Submitted at once, like an entry: stored, shown in the live window's history and sent.
  Context_.App.Submit(std::move(inserted));
  ShowLines();
}

void TActionListForm::DeleteSelected() {
  std::set<std::string> selected;
  for (const QModelIndex& line : List_->selectionModel()->selectedIndexes()) {
    selected.insert(Lines_->Action(line.row()).ID);
  }
  if (selected.empty()) return;
  const TActionList shown = ShownActions();
  std::vector<const TAction*> actions;
  for (const auto& action : shown) actions.push_back(action.get());
  const TDeleteSelection removal = ExpandDeleteSelection(actions, selected);
  // The operator sees what goes before being asked.
  for (const std::string& id : removal.IDs) {
    if (const int row = Lines_->RowOf(id); row >= 0) {
      List_->selectionModel()->select(Lines_->index(row), QItemSelectionModel::Select);
    }
  }
  if (!removal.Question.empty() &&
      !Context_.Ui.AskYesNo(kApplicationTitle, removal.Question, TMessageIcon::Information)) {
    return;
  }
  std::set<std::string> removed;
  for (const std::string& id : removal.IDs) {
    if (!Pending_.AddDelete(Context_.App, id)) break;
    removed.insert(id);
  }
  Lines_->Remove(removed);
}

TAnswer TActionListForm::AskSave() {
  return Context_.Ui.AskYesNoCancel(kApplicationTitle, Pending_.SaveQuestion(), TMessageIcon::Question);
}

void TActionListForm::ArchiveClick() {
  if (Pending_.Empty() || AskSave() != TAnswer::Yes) return;
  Pending_.Submit(Context_.App);
  ShowLines();
}

void TActionListForm::ReloadClick() {
  if (!Pending_.Empty()) {
    if (!Context_.Ui.AskYesNo(kApplicationTitle, "Desea rechazar los cambios?")) return;
    Pending_.Clear();
  }
  Fill();
}

void TActionListForm::closeEvent(QCloseEvent* event) {
  if (!Pending_.Empty()) {
    const TAnswer answer = AskSave();
    if (answer == TAnswer::Cancel) {
      event->ignore();
      return;
    }
    if (answer == TAnswer::Yes) {
      Pending_.Submit(Context_.App);
    } else {
      Pending_.Clear();
    }
  }
  Closing_ = true;
  TCustomForm::closeEvent(event);
  Closing_ = false;
}

void TActionListForm::reject() {
  // Esc closes through the close question.
  if (Closing_) {
    TCustomForm::reject();
  } else {
    close();
  }
}

}  // namespace velmora::gui
