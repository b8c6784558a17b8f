#include "reports/print_dialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace velmora::gui {

bool TPrintDialogs::Print(QPrinter& printer, QWidget* parent) {
  if (NextPrint_) {
    const bool confirm = *NextPrint_;
    NextPrint_.reset();
    printer.setCopyCount(NextCopies_);
    return confirm;
  }
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void TPrintDialogs::Setup(QPrinter& printer, QWidget* parent) {
  ++SetupsShown_;
  if (SkipSetup_) {
    SkipSetup_ = false;
    return;
  }
  QPageSetupDialog dialog(&printer, parent);
  dialog.exec();
}

}  // namespace velmora::gui
