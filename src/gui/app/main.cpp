// Start-up: fixed text formats, the log, the model, the application object, then the windows.
// "velmora --game GAME" opens a stored game straight into its live window; "velmora FILE" imports
// a transfer file and offers to open its game.

#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstring>
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
    "usage: velmora [--data-dir DIR] [--game GAME | FILE]\n"
    "  FILE            imports the game of a transfer file and offers to open it\n"
    "  --game GAME     opens the stored game GAME in the live window\n"
    "  --data-dir DIR  keeps the game store, the log and the settings in DIR\n"
    "  --version       prints the version\n"
    "  --help          prints this text\n";

struct TOptions {
  std::optional<std::string> Game;
  std::optional<QString> File;
  std::optional<std::filesystem::path> DataDir;
};

// Answered before Qt starts, so that they need no screen.
std::optional<int> AnswerHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("velmora %s\n", VELMORA_VERSION);
      return 0;
    }
  }
  return std::nullopt;
}

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
    } else if (!argument.startsWith(QLatin1Char('-')) && !options.File) {
      options.File = argument;
    } else {
      std::fputs(kUsage, stderr);
      return std::nullopt;
    }
  }
  if (options.Game && options.File) {
    std::fputs(kUsage, stderr);
    return std::nullopt;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = AnswerHelpOrVersion(argc, argv)) return *answered;
  velmora::gui::TVelmoraApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvex Velmora"));
  // The desktop ties the windows to the menu entry by its name and shows the entry's icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velmora.Velmora")));
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
  if (options->File) {
    QTimer::singleShot(0, &mainWindow, [&mainWindow, file = *options->File] { mainWindow.ImportAndOffer(file); });
  }
  return QApplication::exec();
}
