#pragma once
// The start window: lists the local games and, while connected, the server's, and leads to
// connecting, opening, editing, creating, deleting, importing and exporting games, and to the
// settings. Closing it ends the program.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>

#include "platform/user_interface.h"
#include "records/hash_table.h"
#include "records/match_info.h"
#include "records/result.h"
#include "setup/game_opener.h"
#include "widgets/dialog_answers.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace velmora {
class TInternetPlugin;
class TDatabasePlugin;
class TKeepAlive;
}  // namespace velmora

namespace velmora::gui {

struct TGuiContext;
class TProgressForm;
class TUiThreadDoor;

class TGamesSelectForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TGamesSelectForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TGamesSelectForm() override;

  // The program gives the live window's opener (LiveWindowOpener); tests give their own.
  void SetGameOpener(TGameOpener opener) { GameOpener_ = std::move(opener); }

  void FormCreate();
  void FormShow();
  // True when the key was taken.
  bool FormKeyDown(QKeyEvent* event);
  bool FormCloseQuery();
  void GamesGridDblClick() { OpenGameButtonClick(); }
  void OpenGameButtonClick();
  void EditGameButtonClick();
  void DeleteGameButtonClick();
  void ExportButtonClick();
  void ImportButtonClick();
  // Imports a transfer file as the import button does and, once it is stored, offers to open its
  // game: "velmora FILE", which the desktop runs for a file the operator opens.
  void ImportAndOffer(const QString& file);
  void NewGameButtonClick();
  void ConfigButtonClick();
  void QuitButtonClick();
  void ConnectButtonClick();
  void ConnectionTimerTimer();

  // Reloads the games from the store and, with `connect`, logs in through the connect dialog; the
  // model's server client is then the new one (or none). False when the store could not be read or
  // the login did not succeed.
  bool ReloadGames(bool connect);
  void RefreshGamesGrid();
  // The same, with the game of that number selected (the first row when it is not listed).
  void RefreshGamesGrid(const std::string& selected);
  // Makes the local and the server copy of the game agree; true when it may be opened.
  bool PrepareGame(const std::string& gameNumber);
  // The host of the URL: without its scheme ("http://", "https://") and from the first "/" on.
  static QString ServerHostText(const QString& url);

  bool Connected() const;
  const TKeepAlive& KeepAlive() const { return *KeepAlive_; }
  const TObjectHash<TMatchInfo>& Games() const { return Games_; }
  QTableWidget* GamesGrid() const { return GamesGrid_; }
  TFileDialog& OpenDialog() { return OpenDialog_; }
  TFileDialog& SaveDialog() { return SaveDialog_; }
  QTimer* ConnectionTimer() const { return ConnectionTimer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildTopPanel();
  QWidget* BuildOnlineGroup();
  QWidget* BuildGamesGroup();
  QWidget* BuildBottomPanel();

  // Stores the game of the transfer file and selects it; its number, or none after saying why not.
  std::optional<std::string> Import(const QString& file);
  // The game number of the current row; empty when there is none.
  std::string SelectedGame() const;
  TMatchInfo* Entry(const std::string& gameNumber) const;
  void ShowConnected(bool connected);
  void Disconnect();
  void KeepAliveFailed(TInternetPlugin* client);
  // Lets the operator edit the model's match information; true when it was saved.
  bool EditMatchInfo();
  // The server's current match information of the game into the model.
  TStatus FetchMatchInfo(const std::string& gameNumber);
  // Job 2: the model's match information and the server's actions into the store.
  TStatus BringIntoStore(const std::string& gameNumber);
  // Runs server work behind the progress window.
  void RunServerWork(const std::function<void()>& work);
  void Say(const QString& text, TMessageIcon icon);

  TGuiContext& Context_;
  TDatabasePlugin& Store_;
  TObjectHash<TMatchInfo> Games_;
  TGameOpener GameOpener_;
  TFileDialog OpenDialog_;
  TFileDialog SaveDialog_;
  TUiThreadDoor* Door_ = nullptr;
  std::unique_ptr<TKeepAlive> KeepAlive_;
  int Busy_ = 0;  // handlers at work with the server client: a failed keep-alive waits
  bool Shown_ = false;
  bool QuitAsked_ = false;  // the operator chose to end the program from the live window

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
