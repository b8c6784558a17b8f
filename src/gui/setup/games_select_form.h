#pragma once
// The start window: lists the games, and leads to connecting, opening, editing, creating,
// deleting, importing and exporting them, and to the settings.

#include <QMainWindow>

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace velmora::gui {

class TGamesSelectForm : public QMainWindow {
 public:
  explicit TGamesSelectForm(QWidget* parent = nullptr);

  QTableWidget* GamesGrid() const { return GamesGrid_; }

 private:
  QWidget* BuildTopPanel();
  QWidget* BuildOnlineGroup();
  QWidget* BuildGamesGroup();
  QWidget* BuildBottomPanel();

  QLabel* ConnectImage_ = nullptr;
  QLabel* DisconnectImage_ = nullptr;
  QLabel* ConnectLabel_ = nullptr;
  QPushButton* ConfigButton_ = nullptr;
  QPushButton* QuitButton_ = nullptr;
  QPushButton* ConnectButton_ = nullptr;
  QTableWidget* GamesGrid_ = nullptr;
  QPushButton* OpenGameButton_ = nullptr;
  QPushButton* EditGameButton_ = nullptr;
  QPushButton* DeleteGameButton_ = nullptr;
  QPushButton* ExportButton_ = nullptr;
  QPushButton* ImportButton_ = nullptr;
  QPushButton* NewGameButton_ = nullptr;
  QTimer* ConnectionTimer_ = nullptr;
};

}  // namespace velmora::gui
