#include "widgets/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QThread>

namespace velmora::gui {

namespace {
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The messages break their lines with "\r", "\n" or a pair of them; a box breaks on "\n" only.
QString BoxText(std::string_view text) {
  QString shown;
  const QString source = FromUtf8(text);
  for (qsizetype i = 0; i < source.size(); ++i) {
    const QChar c = source[i];
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
      shown += c;
      continue;
    }
    shown += QLatin1Char('\n');
    const QChar partner = c == QLatin1Char('\r') ? QLatin1Char('\n') : QLatin1Char('\r');
    if (i + 1 < source.size() && source[i + 1] == partner) ++i;
  }
  return shown;
}

QMessageBox::Icon IconOf(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Error: return QMessageBox::Critical;
    case TMessageIcon::Warning: return QMessageBox::Warning;
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// Runs the work on the thread of the application object and waits for it.
template <typename TWork>
void OnUiThread(TWork work) {
  if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
    work();
  } else {
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
  }
}

}  // namespace

void TMessageBoxes::ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) {
  OnUiThread([&] {
    QMessageBox box(IconOf(icon), FromUtf8(title), BoxText(text), QMessageBox::Ok, Parent_);
    box.exec();
  });
}

bool TMessageBoxes::AskYesNo(std::string_view title, std::string_view text, TMessageIcon icon) {
  return Ask(title, text, icon, QMessageBox::Yes);
}

bool TMessageBoxes::AskYesNoDefaultNo(std::string_view title, std::string_view text, TMessageIcon icon) {
  return Ask(title, text, icon, QMessageBox::No);
}

bool TMessageBoxes::Ask(std::string_view title, std::string_view text, TMessageIcon icon, int defaultButton) {
  bool yes = false;
  OnUiThread([&] {
    QMessageBox box(IconOf(icon), FromUtf8(title), BoxText(text), QMessageBox::Yes | QMessageBox::No, Parent_);
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
    box.setEscapeButton(QMessageBox::No);
    yes = box.exec() == QMessageBox::Yes;
  });
  return yes;
}

TAnswer TMessageBoxes::AskYesNoCancel(std::string_view title, std::string_view text, TMessageIcon icon,
                                      std::string_view yesCaption, std::string_view noCaption) {
  TAnswer answer = TAnswer::Cancel;
  OnUiThread([&] {
    QMessageBox box(IconOf(icon), FromUtf8(title), BoxText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Parent_);
    if (!yesCaption.empty()) box.button(QMessageBox::Yes)->setText(FromUtf8(yesCaption));
    if (!noCaption.empty()) box.button(QMessageBox::No)->setText(FromUtf8(noCaption));
    const int pressed = box.exec();
    answer = pressed == QMessageBox::Yes ? TAnswer::Yes : pressed == QMessageBox::No ? TAnswer::No : TAnswer::Cancel;
  });
  return answer;
}

}  // namespace velmora::gui
