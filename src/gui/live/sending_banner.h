#pragma once
// The live window's notice about sending: a server that refuses the game's batches for good (the
// session ended, the game is gone), with "Conectar" to log in again so that sending goes on, and
// the actions the server refused, which stay in the local game only. Hidden while there is
// nothing to say.

#include <cstddef>

#include <QFrame>

#include "serverlink/sending_state.h"

class QLabel;
class QPushButton;

namespace velmora {
class TSender;
}

namespace velmora::gui {

struct TGuiContext;

class TSendingBanner final : public QFrame {
  Q_OBJECT

 public:
  TSendingBanner(TGuiContext& context, QWidget* parent);

  // The sender whose state it shows; none before the sender goes (the window's hiding).
  void Attach(TSender* sender);

  // The connect dialog with the stored credentials; after a login the sender goes on.
  void ConnectClick();
  // The refused actions told so far are not told again.
  void DismissClick();

 private:
  void ShowState(const TSendingState& state);

  TGuiContext& Context_;
  TSender* Sender_ = nullptr;
  QLabel* Text_ = nullptr;
  QPushButton* Connect_ = nullptr;
  QPushButton* Dismiss_ = nullptr;
  TSendingState State_;
  std::size_t Acknowledged_ = 0;
};

}  // namespace velmora::gui
