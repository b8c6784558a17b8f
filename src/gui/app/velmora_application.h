#pragma once
// The program's application object: every error that reaches the event loop is shown in a box
// with the program's title (and logged) instead of ending the program.

#include <QApplication>

namespace velmora {
class TUserInterface;
}

namespace velmora::gui {

class TVelmoraApplication final : public QApplication {
 public:
  TVelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
  // Where the errors are shown (a plain box until one is given); it outlives its use here.
  void SetUserInterface(TUserInterface* userInterface) { UserInterface_ = userInterface; }

 private:
  void ShowError(const std::string& text);
  TUserInterface* UserInterface_ = nullptr;
  bool ShowingError_ = false;
};

}  // namespace velmora::gui
