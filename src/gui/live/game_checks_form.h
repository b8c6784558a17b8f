#pragma once
// "Comprobar partido": the slips the game's checks find, one line each with the game clock, the
// period, the action's history text and what is wrong. A double click opens the action to put it
// right; the list follows the game.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "live/game_checks.h"

class QTableWidget;

namespace velmora {
class TMessageSource;
class TModel;
}  // namespace velmora

namespace velmora::gui {

class TGameChecksForm : public QDialog {
  Q_OBJECT

 public:
  // `open` shows the action with that ID for correcting; everything given outlives the dialog.
  TGameChecksForm(const TModel& model, const TMessageSource& messages,
                  std::function<void(const std::string& actionId)> open, QWidget* parent = nullptr);

  QTableWidget* Table() const { return Table_; }
  const std::vector<TCheckFlag>& Flags() const { return Flags_; }
  // The flags of the game as it stands now.
  void Fill();
  void TableDblClick(int row);

 private:
  const TModel& Model_;
  const TMessageSource& Messages_;
  std::function<void(const std::string&)> Open_;
  std::vector<TCheckFlag> Flags_;
  QTableWidget* Table_;
};

}  // namespace velmora::gui
