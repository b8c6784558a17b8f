#include "live/subst_form.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "live/substitutions.h"
#include "records/team.h"
#include "stats/model.h"
#include "widgets/scaling.h"

namespace velmora::gui {

// One list of a team, knowing its partner (court and bench of the same team) and its capacity.
class TLineupList final : public QListWidget {
 public:
  TLineupList(int capacity, QWidget* parent) : QListWidget(parent), Capacity_(capacity) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
  }
  void SetPartner(TLineupList* partner) { Partner_ = partner; }
  TLineupList* Partner() const { return Partner_; }
  int Capacity() const { return Capacity_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { Accept(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { Accept(event); }
  void dropEvent(QDropEvent* event) override {
    if (event->source() != Partner_) return event->ignore();
    TSubstForm::MoveSelected(Partner_);
    event->setDropAction(Qt::IgnoreAction);  // the move is done; the source keeps nothing to remove
    event->accept();
  }

 private:
  void Accept(QDropEvent* event) {
    if (event->source() == Partner_) {
      event->setDropAction(Qt::MoveAction);
      event->accept();
    } else {
      event->ignore();
    }
  }

  int Capacity_;
  TLineupList* Partner_ = nullptr;
};

TSubstForm::TSubstForm(const TModel& model, const TApp& app, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SubstForm"));
  setWindowTitle(tr("Talvex Velmora - Sustituciones"));
  auto* layout = new QVBoxLayout(this);
  auto* teams = new QHBoxLayout;
  for (int team = 1; team <= 2; ++team) {
    QGroupBox* group = BuildTeam(model, app, team);
    // A team whose statistics are not kept has no lineup to change.
    group->setVisible(model.MatchInfo.IsTracked(team));
    teams->addWidget(group);
  }
  layout->addLayout(teams);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(tr("&Aceptar"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(tr("&Cancelar"), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* TSubstForm::BuildTeam(const TModel& model, const TApp& app, int team) {
  const TTeam& roster = model.MatchInfo.Team(team);
  auto* group = new QGroupBox(QString::fromStdString(roster.Name), this);
  group->setObjectName(QStringLiteral("Team") + QString::number(team) + QStringLiteral("Group"));
  auto* court = new TLineupList(kCourtCapacity, group);
  auto* bench = new TLineupList(kBenchCapacity, group);
  court->setObjectName(QStringLiteral("Court") + QString::number(team) + QStringLiteral("Box"));
  bench->setObjectName(QStringLiteral("Bench") + QString::number(team) + QStringLiteral("Box"));
  court->SetPartner(bench);
  bench->SetPartner(court);
  Court_[static_cast<std::size_t>(team - 1)] = court;
  Bench_[static_cast<std::size_t>(team - 1)] = bench;

  const TLineupLists lists = LineupListsOf(model, app, team);
  const auto fill = [&](QListWidget* list, const std::vector<int>& rosterSlots) {
    for (const int slot : rosterSlots) {
      const TPlayer& player = roster.Player(slot);
      auto* item = new QListWidgetItem(
          QString::fromStdString(ShirtText(player.Number) + ". " + player.Name + " " + player.Surname), list);
      item->setData(Qt::UserRole, slot);
    }
  };
  fill(court, lists.Court);
  fill(bench, lists.Bench);

  auto* add = new QToolButton(group);
  add->setObjectName(QStringLiteral("Add") + QString::number(team) + QStringLiteral("Button"));
  add->setArrowType(Qt::LeftArrow);
  add->setToolTip(tr("A la pista"));
  auto* remove = new QToolButton(group);
  remove->setObjectName(QStringLiteral("Remove") + QString::number(team) + QStringLiteral("Button"));
  remove->setArrowType(Qt::RightArrow);
  remove->setToolTip(tr("Al banquillo"));
  connect(add, &QToolButton::clicked, this, [bench] { MoveSelected(bench); });
  connect(remove, &QToolButton::clicked, this, [court] { MoveSelected(court); });

  court->setMinimumSize(Scaled(190), Scaled(110));
  bench->setMinimumSize(Scaled(190), Scaled(220));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(tr("Jugadores en la pista"), group), 0, 0);
  grid->addWidget(court, 1, 0, Qt::AlignTop);
  auto* arrows = new QVBoxLayout;
  arrows->addStretch();
  arrows->addWidget(add);
  arrows->addWidget(remove);
  arrows->addStretch();
  grid->addLayout(arrows, 1, 1);
  grid->addWidget(new QLabel(tr("Jugadores en el banquillo"), group), 0, 2);
  grid->addWidget(bench, 1, 2);
  return group;
}

void TSubstForm::MoveSelected(TLineupList* from) {
  TLineupList* to = from->Partner();
  for (;;) {
    QListWidgetItem* selected = nullptr;
    for (int row = 0; row < from->count() && !selected; ++row) {
      if (from->item(row)->isSelected()) selected = from->item(row);
    }
    if (!selected || to->count() >= to->Capacity()) return;
    QListWidgetItem* moved = from->takeItem(from->row(selected));
    moved->setSelected(false);
    to->addItem(moved);
  }
}

QListWidget* TSubstForm::Court(int team) const { return Court_[static_cast<std::size_t>(team - 1)]; }

QListWidget* TSubstForm::Bench(int team) const { return Bench_[static_cast<std::size_t>(team - 1)]; }

std::vector<int> TSubstForm::CourtList(int team) const {
  std::vector<int> rosterSlots;
  const QListWidget* list = Court(team);
  for (int row = 0; row < list->count(); ++row) rosterSlots.push_back(list->item(row)->data(Qt::UserRole).toInt());
  return rosterSlots;
}

std::vector<int> TSubstForm::BenchList(int team) const {
  std::vector<int> rosterSlots;
  const QListWidget* list = Bench(team);
  for (int row = 0; row < list->count(); ++row) rosterSlots.push_back(list->item(row)->data(Qt::UserRole).toInt());
  return rosterSlots;
}

}  // namespace velmora::gui
