#pragma once
// A team's column of the live window ("LeftPanel" / "RightPanel"): one button per shown player
// with his fouls as dots, and at the bottom the team button and the substitution buttons.

#include <QPushButton>
#include <QString>
#include <functional>
#include <vector>

namespace velmora::gui {

// A player's push button; it also draws the player's fouls as a row of dots at its right.
class TPlayerButton : public QPushButton {
  Q_OBJECT

 public:
  TPlayerButton(QString caption, int tag, QWidget* parent = nullptr);

  // Team number x 1000 + stored shirt number; -1 and -2 for the team buttons.
  int Tag() const { return Tag_; }
  // `limit` dots, the last `fouls` of them red; none when limit is 0.
  void SetFouls(int fouls, int limit);
  int Fouls() const { return Fouls_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int Tag_;
  int Fouls_ = 0;
  int Limit_ = 0;
};

// What the column shows of one player.
struct TPlayerButtonFace {
  QString Caption;
  int Tag = 0;
  int Fouls = 0;
  int FoulLimit = 0;  // 0: no dots
  bool Enabled = true;
};

class TPlayerColumn : public QWidget {
  Q_OBJECT

 public:
  TPlayerColumn(int team, QWidget* parent = nullptr);

  void SetClickHandler(std::function<void(TPlayerButton*)> handler) { OnClick_ = std::move(handler); }
  // Replaces the player buttons. The old ones are deleted later, since one of them may be the
  // button whose click is being handled.
  void SetPlayers(const std::vector<TPlayerButtonFace>& players);
  const std::vector<TPlayerButton*>& Buttons() const { return Buttons_; }
  TPlayerButton* TeamButton() const { return TeamButton_; }
  QWidget* TeamButtonPanel() const { return TeamPanel_; }
  QWidget* SubstitutionPanel() const { return SubstPanel_; }
  QPushButton* SubstOneButton() const { return SubstOne_; }
  QPushButton* SubstAllButton() const { return SubstAll_; }

 private:
  QWidget* PlayerArea_;
  std::vector<TPlayerButton*> Buttons_;
  QWidget* TeamPanel_;
  TPlayerButton* TeamButton_;
  QWidget* SubstPanel_;
  QPushButton* SubstOne_;
  QPushButton* SubstAll_;
  std::function<void(TPlayerButton*)> OnClick_;
};

}  // namespace velmora::gui
