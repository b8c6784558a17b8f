// The start window on a real store: the grid, opening without a server, creating, deleting,
// importing, exporting and quitting.

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "game_builder.h"
#include "live/casting_form.h"
#include "live/open_game.h"
#include "server/internet_plugin_form.h"
#include "setup/edit_match_info_form.h"
#include "setup/games_select_form.h"
#include "setup/roster_grid.h"
#include "setup_fixture.h"
#include "stats/game_documents.h"
#include "store/game_transfer.h"

namespace velmora::testing {
namespace {

using gui::TGamesSelectForm;

using TTexts = std::vector<std::string>;

TTexts Column(const QTableWidget& grid, int column) {
  TTexts texts;
  for (int row = 0; row < grid.rowCount(); ++row) {
    texts.push_back(grid.item(row, column) ? grid.item(row, column)->text().toStdString() : std::string());
  }
  return texts;
}

TTexts Texts(const QStringList& list) {
  TTexts texts;
  for (const QString& text : list) texts.push_back(text.toStdString());
  return texts;
}

TMatchInfo GameAt(const std::string& number, TDateTime time) {
  TMatchInfo game = MakeMatchInfo(6, number);
  game.Time = time;
  return game;
}

class GamesSelectFormTest : public SetupWindowTest {
 protected:
  // The window opens games through this instead of the live window.
  std::unique_ptr<TGamesSelectForm> MakeForm() {
    auto form = std::make_unique<TGamesSelectForm>(*Context);
    form->SetGameOpener([this](const std::string& number, const std::function<bool()>& prepare) {
      Opened.push_back(number);
      Prepared.push_back(prepare());
      return Prepared.back() ? gui::TGameWindowOutcome::Closed : gui::TGameWindowOutcome::NotOpened;
    });
    form->show();
    return form;
  }
  std::vector<std::string> Opened;
  std::vector<bool> Prepared;
};

TEST_F(GamesSelectFormTest, GridListsTheStoreLatestFirstWithUndatedGamesOnTop) {
  StoreGame(GameAt("A-1", *EncodeDate(2024, 3, 1) + EncodeTime(18, 30, 0)));
  StoreGame(GameAt("A-2", *EncodeDate(2024, 5, 2)));
  StoreGame(GameAt("A-3", 0));
  auto form = MakeForm();
  SaveScreenshot(*form, "games_select_form");

  const QTableWidget& grid = *form->GamesGrid();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora - Seleccionar partido"));
  ASSERT_EQ(grid.columnCount(), 5);
  EXPECT_EQ(grid.horizontalHeaderItem(4)->text(), QStringLiteral("Estado"));
  EXPECT_EQ(Column(grid, 0), (TTexts{"A-3", "A-2", "A-1"}));
  EXPECT_EQ(Column(grid, 1), (TTexts{"", "2024.05.02", "2024.03.01 18:30:00"}));
  EXPECT_EQ(Column(grid, 2)[0], "Club Baloncesto Norte");
  EXPECT_EQ(Column(grid, 4), (TTexts{"Local only", "Local only", "Local only"}));
  EXPECT_EQ(grid.currentRow(), 0);
  EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("ConnectLabel"))->text(), QStringLiteral("NO conectado."));
  EXPECT_EQ(form->ConnectionTimer()->interval(), 30000);
  EXPECT_EQ(TGamesSelectForm::ServerHostText(QStringLiteral("http://liga.example:8080/pages/default.asp")),
            QStringLiteral("liga.example:8080"));
  EXPECT_EQ(TGamesSelectForm::ServerHostText(QStringLiteral("https://stats.liga.example/default.asp")),
            QStringLiteral("stats.liga.example"));
}

TEST_F(GamesSelectFormTest, WithoutGamesTheButtonsDoNothing) {
  auto form = MakeForm();
  EXPECT_EQ(form->GamesGrid()->rowCount(), 1) << "one empty row";
  for (const char* button : {"OpenGameButton", "EditGameButton", "DeleteGameButton", "ExportButton"}) {
    Click(*form, button);
  }
  EXPECT_TRUE(Ui.Questions.empty());
  EXPECT_TRUE(Ui.Messages.empty());
  EXPECT_TRUE(Opened.empty());
}

TEST_F(GamesSelectFormTest, OpeningWhileNotConnectedAsksAndWorksOfflineOnNo) {
  TActionFactory make;
  TActionList actions;
  actions.push_back(make.Shot(30, 1, 4, "Made", 2));
  actions.push_back(make.Shot(45, 2, 5, "Made", 3));
  StoreGame(GameAt("L-1", 0), &actions);
  auto form = MakeForm();

  Ui.Answers = {TAnswer::Cancel, TAnswer::No};
  Click(*form, "OpenGameButton");
  EXPECT_TRUE(Opened.empty()) << "Cancel stops";
  QTest::keyClick(form->GamesGrid(), Qt::Key_Return);  // Enter opens, whatever has the focus
  ASSERT_EQ(Opened, std::vector<std::string>{"L-1"});
  EXPECT_EQ(Prepared, std::vector<bool>{true});
  EXPECT_EQ(Model.Score(), (std::pair<int, int>{2, 3})) << "the game came from the store";
  ASSERT_EQ(Ui.Questions.size(), 2u);
  EXPECT_EQ(Ui.Questions[0].second,
            "No está conectado a internet.\n\rTodos los partidos oficiales de la ZUL deben ser transmitidos Online.");
  EXPECT_EQ(Ui.Captions[0], (std::pair<std::string, std::string>{"Conectar ahora", "Trabajar Offline"}));
  EXPECT_TRUE(form->ConnectionTimer()->isActive()) << "the keep-alive runs again after the game";

  // "Conectar ahora" only connects; the operator cancels the connect dialog here.
  Ui.Answers = {TAnswer::Yes};
  WhenShown<gui::TInternetPluginForm>([](gui::TInternetPluginForm& dialog) { Click(dialog, "btnPrev"); });
  Click(*form, "OpenGameButton");
  EXPECT_EQ(Opened.size(), 1u);
  EXPECT_FALSE(form->Connected());
}

TEST_F(GamesSelectFormTest, ALocalGameOpensInTheLiveWindowAndQuittingThereEndsTheProgram) {
  TActionFactory make;
  TActionList actions;
  actions.push_back(make.Shot(30, 1, 4, "Made", 2));
  StoreGame(GameAt("L-2", 0), &actions);
  TGamesSelectForm form(*Context);
  form.SetGameOpener(gui::LiveWindowOpener(*Context, &form));
  form.show();

  Ui.Answers = {TAnswer::No};  // work offline
  WhenShown<gui::TCastingForm>([&](gui::TCastingForm& window) {
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.ConnectionTimer()->isActive());
    EXPECT_NE(App->Sender(), nullptr);
    App->Submit(make.Shot(60, 2, 5, "Made", 3));
    window.close();
  });
  Click(form, "OpenGameButton");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(App->Sender(), nullptr) << "the sender stops with the window";
  EXPECT_TRUE(form.ConnectionTimer()->isActive());
  TActionList stored;
  ASSERT_TRUE(Store->LoadActions("L-2", stored));
  EXPECT_EQ(stored.size(), 2u);

  Ui.Answers = {TAnswer::No};
  WhenShown<gui::TCastingForm>([](gui::TCastingForm& window) { window.QuitProgramClick(); });
  Click(form, "OpenGameButton");
  EXPECT_FALSE(form.isVisible());
  for (const std::string& question : Ui.QuestionTexts()) {
    EXPECT_NE(question, "Desea salir del programa Velmora?") << "asked once, in the live window";
  }
}

TEST_F(GamesSelectFormTest, NewGameIsStoredOnceAndDeletedOnYes) {
  auto form = MakeForm();
  const auto typeGame = [](gui::TEditMatchInfoForm& editor) {
    editor.findChild<QLineEdit*>(QStringLiteral("GameNumberEdit"))->setText(QStringLiteral("N-7"));
    editor.findChild<QLineEdit*>(QStringLiteral("Team1Edit"))->setText(QStringLiteral("Norte"));
    for (const char* grid : {"PlayerList1", "PlayerList2"}) {
      editor.findChild<gui::TRosterGrid*>(QString::fromLatin1(grid))->SetRows(RosterRowsOf(MakeMatchInfo(5).Team1));
    }
    Click(editor, "SaveButton");
  };
  WhenShown<gui::TEditMatchInfoForm>(typeGame);
  Click(*form, "NewGameButton");
  EXPECT_TRUE(Ui.Messages.empty()) << Ui.Texts().front();
  EXPECT_EQ(Column(*form->GamesGrid(), 0), TTexts{"N-7"});
  TMatchInfo stored;
  ASSERT_TRUE(Store->LoadMatchInfo("N-7", stored));
  EXPECT_EQ(stored.Team1.Name, "Norte");
  EXPECT_EQ(stored.Team2.PlayerCount, 5);

  WhenShown<gui::TEditMatchInfoForm>(typeGame);
  Click(*form, "NewGameButton");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{kGameExistsError});

  Ui.Answer = false;
  Click(*form, "DeleteGameButton");
  EXPECT_NE(Store->FindGameId("N-7"), 0);
  Ui.Answer = true;
  Click(*form, "DeleteGameButton");
  EXPECT_EQ(Store->FindGameId("N-7"), 0);
  EXPECT_EQ(Column(*form->GamesGrid(), 0), TTexts{""});
  EXPECT_EQ(Ui.QuestionTexts().back(), "Seguro que quiere eliminar este partido?");
}

TEST_F(GamesSelectFormTest, ImportRefusesCorruptAndDuplicateFilesAndMovesTheClock) {
  auto form = MakeForm();
  EXPECT_EQ(form->OpenDialog().Title(), QStringLiteral("Select Velmora file to import"));
  EXPECT_EQ(Texts(form->OpenDialog().Filters()),
            (TTexts{"Game Log files (*.log)", "XML Files (*.xml)", "All files (*.*)"}));
  EXPECT_EQ(form->OpenDialog().DefaultSuffix(), QStringLiteral("log"));

  // A game written by another installation, whose clock stands before its last action.
  TModel writer(Config);
  writer.MatchInfo = MakeMatchInfo(6, "I-1");
  writer.MatchInfo.CurrentGameTime = EncodeTime(0, 1, 0);
  TActionFactory make;
  writer.AddAction(make.Shot(30, 1, 4, "Made", 2));
  writer.AddAction(make.Shot(400, 2, 5, "Made", 3));
  const auto file = Temp / "I-1.log";
  ASSERT_TRUE(WriteTransferFile(writer, file));
  WriteFile(Temp / "three.xml", "<DRAVON><ACTIONS/><ACTIONS/><MATCHINFO GameNumber=\"X\"/></DRAVON>");

  const auto import = [&](const std::filesystem::path& path) {
    form->OpenDialog().AnswerNext(QString::fromStdString(path.string()));
    Click(*form, "ImportButton");
  };
  import(Temp / "missing.log");
  import(Temp / "three.xml");
  import(file);
  import(file);
  const TTexts errors = Ui.Texts();
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_TRUE(errors[0].starts_with("Failed to read game data from specified file.")) << errors[0];
  EXPECT_EQ(errors[1], "Error al interpretar el fichero - quizá los datos están corruptos.");
  EXPECT_EQ(errors[2], kGameExistsError);
  EXPECT_EQ(Column(*form->GamesGrid(), 0), TTexts{"I-1"});
  TMatchInfo stored;
  ASSERT_TRUE(Store->LoadMatchInfo("I-1", stored));
  EXPECT_EQ(FormatLongTime(stored.CurrentGameTime), "00:06:40") << "the clock moved to the last action";
}

TEST_F(GamesSelectFormTest, AFileGivenToTheProgramIsImportedAndOfferedForOpening) {
  StoreGame(GameAt("A-1", *EncodeDate(2024, 3, 1)));
  TModel writer(Config);
  writer.MatchInfo = MakeMatchInfo(6, "F-1");
  TActionFactory make;
  writer.AddAction(make.Shot(30, 1, 4, "Made", 2));
  // Known by its content: the name says nothing.
  const auto file = Temp / "partido.txt";
  ASSERT_TRUE(WriteTransferFile(writer, file));
  auto form = MakeForm();
  Ui.Answers = {TAnswer::Yes, TAnswer::No};  // open it; then work offline
  form->ImportAndOffer(QString::fromStdString(file.string()));
  ASSERT_GE(Ui.QuestionTexts().size(), 1u);
  EXPECT_EQ(Ui.QuestionTexts()[0], "Se ha importado el partido \"F-1\". ¿Desea abrirlo ahora?");
  EXPECT_EQ(Opened, std::vector<std::string>{"F-1"});
  EXPECT_NE(Store->FindGameId("F-1"), 0);

  // Declined, the game stays stored and selected; a second import of it is refused unasked.
  Ui.Answers = {TAnswer::No};
  writer.MatchInfo.GameNumber = "F-2";
  ASSERT_TRUE(WriteTransferFile(writer, Temp / "F-2.log"));
  form->ImportAndOffer(QString::fromStdString((Temp / "F-2.log").string()));
  EXPECT_EQ(Opened.size(), 1u);
  const QTableWidget& grid = *form->GamesGrid();
  EXPECT_EQ(grid.item(grid.currentRow(), 0)->text(), QStringLiteral("F-2"));
  const std::size_t asked = Ui.QuestionTexts().size();
  form->ImportAndOffer(QString::fromStdString((Temp / "F-2.log").string()));
  form->ImportAndOffer(QString::fromStdString((Temp / "missing.log").string()));
  EXPECT_EQ(Ui.QuestionTexts().size(), asked);
  ASSERT_EQ(Ui.Texts().size(), 2u);
  EXPECT_EQ(Ui.Texts()[0], kGameExistsError);
  EXPECT_TRUE(Ui.Texts()[1].starts_with("Failed to read game data from specified file.")) << Ui.Texts()[1];
}

TEST_F(GamesSelectFormTest, ExportWritesTheStoredGameWhereTheOperatorSays) {
  TActionFactory make;
  TActionList actions;
  actions.push_back(make.Shot(30, 1, 4, "Made", 2));
  StoreGame(GameAt("E-1", 0), &actions);
  auto form = MakeForm();
  EXPECT_EQ(form->SaveDialog().Title(), QStringLiteral("Select output file"));

  const QString target = QString::fromStdString((Temp / "out.log").string());
  form->SaveDialog().AnswerNext(target);
  Click(*form, "ExportButton");
  EXPECT_EQ(form->SaveDialog().OfferedName(), QStringLiteral("E-1"));
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Text, "información del partido guardada en el fichero \"" + target.toStdString() + "\"");
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Information);
  const auto read = ReadTransferFile(Temp / "out.log");
  ASSERT_TRUE(read);
  EXPECT_EQ(read.Value().Actions->size(), 1u);

  form->SaveDialog().AnswerNext(QString::fromStdString((Temp / "no-such-folder" / "out.log").string()));
  Click(*form, "ExportButton");
  EXPECT_EQ(Ui.Texts().back(), "Error al abrir el fichero para escritura.");
  form->SaveDialog().CancelNext();
  Click(*form, "ExportButton");
  EXPECT_EQ(Ui.Messages.size(), 2u) << "a cancelled dialog exports nothing";
}

TEST_F(GamesSelectFormTest, QuittingAsksFirst) {
  auto form = MakeForm();
  Ui.Answer = false;
  Click(*form, "QuitButton");
  EXPECT_TRUE(form->isVisible());
  Ui.Answer = true;
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Ui.QuestionTexts(),
            (std::vector<std::string>{"Desea salir del programa Velmora?", "Desea salir del programa Velmora?"}));
}

}  // namespace
}  // namespace velmora::testing
