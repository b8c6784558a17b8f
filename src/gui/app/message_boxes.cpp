#include "app/message_boxes.h"

#include <QMessageBox>
#include <QString>

namespace velmora::gui {

namespace {
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::Icon IconOf(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Error: return QMessageBox::Critical;
    case TMessageIcon::Warning: return QMessageBox::Warning;
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void TMessageBoxes::ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) {
  QMessageBox box(IconOf(icon), FromUtf8(title), FromUtf8(text), QMessageBox::Ok, Parent_);
  box.exec();
}

}  // namespace velmora::gui
