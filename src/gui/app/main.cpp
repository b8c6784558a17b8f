// Start-up: fixed text formats, the log, the model, the application object, then the windows.
// "velmora --game GAME" opens a stored game straight into its live window.

#include <QMessageBox>
#include <cstdio>
#include <optional>
#include <string>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "widgets/message_boxes.h"
#include "app/velmora_application.h"
#include "live/open_game.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/languages.h"
#include "platform/logger.h"
#include "platform/registry.h"
#include "platform/text_formats.h"
#include "setup/games_select_form.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace {

constexpr const char* kUsage =
    "usage: velmora [--data-dir DIR] [--game GAME]\n"
    "  --game GAME     opens the stored game GAME in the live window\n"
    "  --data-dir DIR  keeps the game store, the log and the settings in DIR\n";

struct TOptions {
  std::optional<std::string> Game;
  std::optional<std::filesystem::path> DataDir;
};

void ShowStartupError(const QString& text) {
  std::fprintf(stderr, "velmora: %s\n", text.toUtf8().constData());
  // Without a screen nobody could close the box.
  if (QGuiApplication::platformName() != QStringLiteral("offscreen")) {
    QMessageBox::critical(nullptr, QStringLiteral("Talvex Velmora"), text);
  }
}

// The options, or none (after the usage on standard error) when they cannot be read.
std::optional<TOptions> ReadOptions(const QStringList& arguments) {
  TOptions options;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == QStringLiteral("--game") && hasValue) {
      options.Game = arguments[++i].toStdString();
    } else if (argument == QStringLiteral("--data-dir") && hasValue) {
      options.DataDir = std::filesystem::path(arguments[++i].toStdString());
    } else {
      std::fputs(kUsage, stderr);
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  velmora::gui::TVelmoraApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvex Velmora"));
  velmora::SetFixedTextFormats();
  const auto options = ReadOptions(QApplication::arguments());
  if (!options) return 2;

  std::filesystem::path dataFolder;
  try {
    dataFolder = options->DataDir ? velmora::EnsureDataFolder(*options->DataDir) : velmora::UserDataFolder();
  } catch (const velmora::EUserDataFolderError& error) {
    ShowStartupError(QString::fromUtf8(error.what()));
    return 1;
  }
  if (const auto opened = velmora::Logger().Open(dataFolder); !opened) {
    ShowStartupError(QString::fromUtf8(opened.Error()));
    return 1;
  }

  velmora::TRegistry registry(options->DataDir ? velmora::RegistryFileIn(dataFolder) : velmora::DefaultRegistryFile());
  velmora::SeedLanguages(registry);
  velmora::TConfiguration config(velmora::ProgramFolder());
  auto store = velmora::TDatabasePlugin::Open(dataFolder, velmora::ReadVersionValue(registry, "DBVersion"),
                                              velmora::ProgramFolder());
  if (!store) {
    ShowStartupError(QString::fromUtf8(store.Error()));
    return 1;
  }
  velmora::TDatabasePlugin& database = *store.Value();
  velmora::TModel model(config, std::move(store.Value()));
  velmora::gui::TMessageBoxes messageBoxes;
  application.SetUserInterface(&messageBoxes);
  velmora::TApp app(model, config, registry, velmora::ProgramFolder(), &messageBoxes);
  velmora::gui::TGuiContext context{model, app, registry, messageBoxes, dataFolder};

  if (options->Game) {
    if (database.FindGameId(*options->Game) == 0) {
      ShowStartupError(QStringLiteral("No existe el partido \"%1\" en %2.")
                           .arg(QString::fromStdString(*options->Game), QString::fromStdString(dataFolder.string())));
      return 1;
    }
    velmora::gui::OpenGameWindow(context, *options->Game);
    return 0;
  }

  velmora::gui::TGamesSelectForm mainWindow(context);
  mainWindow.SetGameOpener(velmora::gui::LiveWindowOpener(context, &mainWindow));
  messageBoxes.SetParent(&mainWindow);
  mainWindow.show();
  return QApplication::exec();
}
