#include "app/velmora_application.h"

#include <QMessageBox>
#include <exception>

#include "platform/logger.h"
#include "platform/user_interface.h"

namespace velmora::gui {

bool TVelmoraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowError(error.what());
  } catch (...) {
    ShowError("Error desconocido");
  }
  return false;
}

void TVelmoraApplication::ShowError(const std::string& text) {
  Log("Error: " + text);
  // An error inside the box itself must not open another one.
  if (ShowingError_) return;
  ShowingError_ = true;
  if (UserInterface_) {
    UserInterface_->ShowMessage(kApplicationTitle, text, TMessageIcon::Error);
  } else {
    QMessageBox::critical(activeWindow(), QStringLiteral("Talvex Velmora"), QString::fromStdString(text));
  }
  ShowingError_ = false;
}

}  // namespace velmora::gui
