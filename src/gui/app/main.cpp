#include <QApplication>

#include "setup/games_select_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvex Velmora"));
  velmora::gui::TGamesSelectForm mainWindow;
  mainWindow.show();
  return QApplication::exec();
}
