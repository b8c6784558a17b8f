#pragma once
// "Insertar acción": which kind of action the scorer forgot, and whether it belongs to the play of
// the action it is put beside. Its parameters are filled next, in the edit dialog.

#include <QDialog>
#include <string>
#include <vector>

#include "records/action.h"

class QCheckBox;
class QListWidget;

namespace velmora::gui {

class TInsertActionForm : public QDialog {
  Q_OBJECT

 public:
  // `kinds` are catalogue entries; `play` names the play the action may join ("" for none).
  TInsertActionForm(const std::vector<const TAction*>& kinds, const QString& play, QWidget* parent = nullptr);

  // The chosen kind's short name; empty when none is chosen.
  std::string Kind() const;
  bool JoinsPlay() const;

 private:
  std::vector<std::string> Kinds_;
  QListWidget* KindList_;
  QCheckBox* JoinPlay_;
};

}  // namespace velmora::gui
