// Start-up: fixed text formats, the log, the model, the application object, then the windows.

#include <QApplication>
#include <QMessageBox>

#include "app/app.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/logger.h"
#include "app/message_boxes.h"
#include "platform/registry.h"
#include "platform/text_formats.h"
#include "setup/games_select_form.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace {

void ShowStartupError(const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("Talvex Velmora"), text); }

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvex Velmora"));
  velmora::SetFixedTextFormats();

  std::filesystem::path dataFolder;
  try {
    dataFolder = velmora::UserDataFolder();
  } catch (const velmora::EUserDataFolderError& error) {
    ShowStartupError(QString::fromUtf8(error.what()));
    return 1;
  }
  if (const auto opened = velmora::Logger().Open(dataFolder); !opened) {
    ShowStartupError(QString::fromUtf8(opened.Error()));
    return 1;
  }

  velmora::TRegistry registry(velmora::DefaultRegistryFile());
  velmora::TConfiguration config(velmora::ProgramFolder());
  auto store = velmora::TDatabasePlugin::Open(dataFolder, velmora::ReadVersionValue(registry, "DBVersion"),
                                              velmora::ProgramFolder());
  if (!store) {
    ShowStartupError(QString::fromUtf8(store.Error()));
    return 1;
  }
  velmora::TModel model(config, std::move(store.Value()));
  velmora::gui::TMessageBoxes messageBoxes;
  velmora::TApp app(model, config, registry, velmora::ProgramFolder(), &messageBoxes);

  velmora::gui::TGamesSelectForm mainWindow;
  messageBoxes.SetParent(&mainWindow);
  mainWindow.show();
  return QApplication::exec();
}
