#include "setup_fixture.h"

#include <cstdlib>

#include <QPushButton>

#include "platform/folders.h"

namespace velmora::testing {

void SaveScreenshot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("VELMORA_SCREENSHOT_DIR")) {
    widget.grab().save(QString::fromUtf8(folder) + QStringLiteral("/") + QString::fromUtf8(name) +
                       QStringLiteral(".png"));
  }
}

void Click(QWidget& window, const char* buttonName) {
  auto* button = window.findChild<QPushButton*>(QString::fromLatin1(buttonName));
  ASSERT_NE(button, nullptr) << buttonName;
  button->click();
}

SetupWindowTest::SetupWindowTest() : Config(ProgramFolder()), Model(Config) {
  auto store = TDatabasePlugin::OpenFile(Temp / "dravon.db", ProgramFolder() / "dravon.db");
  if (!store) throw std::runtime_error(store.Error());
  Store = store.Value().get();
  Model.SetStore(std::move(store.Value()));
  App = std::make_unique<TApp>(Model, Config, Registry, ProgramFolder(), &Ui);
  Context = std::make_unique<gui::TGuiContext>(gui::TGuiContext{Model, *App, Registry, Ui, Temp.Path()});
}

SetupWindowTest::~SetupWindowTest() = default;

void SetupWindowTest::StoreGame(const TMatchInfo& matchInfo, const TActionList* actions) {
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo));
  if (actions) {
    TDateTime clock = matchInfo.CurrentGameTime;
    ASSERT_TRUE(Store->SaveActionList(matchInfo.GameNumber, *actions, false, clock));
  }
}

}  // namespace velmora::testing
