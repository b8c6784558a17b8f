#pragma once
// The substitution dialog ("Talvex Velmora - Sustituciones"): for each tracked team the players
// on court (five at most) and on the bench, moved between the two with the arrow buttons or by
// dragging. The starting lineups are put on court with it before the game.

#include <QDialog>
#include <array>
#include <vector>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace velmora {
class TApp;
class TModel;
}  // namespace velmora

namespace velmora::gui {

class TLineupList;

class TSubstForm : public QDialog {
  Q_OBJECT

 public:
  TSubstForm(const TModel& model, const TApp& app, QWidget* parent = nullptr);

  // Roster slots in list order.
  std::vector<int> CourtList(int team) const;
  std::vector<int> BenchList(int team) const;
  QListWidget* Court(int team) const;
  QListWidget* Bench(int team) const;

  // Moves the selected entries of `from` to its partner while the partner has room.
  static void MoveSelected(TLineupList* from);

 private:
  QGroupBox* BuildTeam(const TModel& model, const TApp& app, int team);

  std::array<TLineupList*, 2> Court_{};
  std::array<TLineupList*, 2> Bench_{};
};

}  // namespace velmora::gui
