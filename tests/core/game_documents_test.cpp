#include "stats/game_documents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <random>
#include <sstream>

#include "platform/configuration.h"
#include "platform/text_formats.h"
#include "game_builder.h"
#include "locale_guard.h"
#include "records/roster_rows.h"
#include "records/text_utils.h"
#include "stats/efficiency.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora {
namespace {

const std::string kHead = R"(<?xml version="1.0" encoding="windows-1252"?><DRAVON>)";
const std::string kTeams = "<TEAM1/><TEAM2/>";

std::vector<std::string> AttributeNames(const pugi::xml_node& node) {
  std::vector<std::string> names;
  for (const pugi::xml_attribute& attribute : node.attributes()) names.emplace_back(attribute.name());
  return names;
}

void ExpectCorrupt(const std::string& bytes, const std::string& what) {
  const auto read = ParseTransferText(bytes);
  ASSERT_FALSE(read.Ok()) << what;
  EXPECT_TRUE(read.Error().starts_with(kTransferCorruptError)) << what << ": " << read.Error();
}

class GameDocumentsTest : public ::testing::Test {
 protected:
  GameDocumentsTest() { Model.MatchInfo = testing::MakeMatchInfo(5); }

  void Play(TActionList actions) {
    Model.SetActions(std::move(actions));
    Model.Recompute();
  }
  void PlaySimulatedGame(int targetActions = 300) {
    Model.MatchInfo = testing::MakeMatchInfo(12, "2024-117");
    TActionList actions = testing::SimulateGame(Model.MatchInfo, targetActions, 5);
    actions.push_back(Factory.Make("comment", 2390, {{"Comment", "Łukasz: \"great\" <3 & 🏀 €"}}));
    Play(std::move(actions));
  }
  std::string MatchInfoXml() const {
    pugi::xml_document document;
    Model.MatchInfo.ToXml(document, PeriodSettingsOf(Config));
    std::ostringstream text;
    document.document_element().print(text, "", pugi::format_raw);
    return text.str();
  }

  testing::TTempFolder Folder;
  TConfiguration Config{Folder.Path()};
  TModel Model{Config};
  testing::TActionFactory Factory;
};

TEST_F(GameDocumentsTest, BoxScoreHoldsEveryPlayerAndPeriod) {
  Model.MatchInfo.Team1.Player(1).Number = kShirtDoubleZero;
  Model.MatchInfo.Team2.Player(5).Number = kShirtZero;
  Model.MatchInfo.Spectators = 4321;
  Model.MatchInfo.TV = 1;
  TActionList actions;
  actions.push_back(Factory.Subst(0, 1, 0, 200));
  actions.push_back(Factory.Period(0, 1, "Start Game"));
  actions.push_back(Factory.Shot(30, 1, 200, "Made", 3));
  actions.push_back(Factory.Shot(45, 2, 210, "Made", 2));
  actions.push_back(Factory.Foul(50, 2, 210, 200));
  actions.push_back(Factory.Period(600, 1, "End"));
  actions.push_back(Factory.Period(600, 2, "Start"));
  actions.push_back(Factory.FreeThrow(700, 1, 200, true));
  Play(std::move(actions));

  pugi::xml_document document;
  const pugi::xml_node root = BoxScoreDocument(Model, document);
  EXPECT_STREQ(root.name(), "BOXSCORE");
  EXPECT_EQ(AttributeNames(root), (std::vector<std::string>{"Spectators", "TV"}));
  EXPECT_EQ(root.attribute("Spectators").as_int(), 4321);
  EXPECT_EQ(root.attribute("TV").as_int(), 1);
  std::vector<std::string> children;
  for (const pugi::xml_node& child : root.children()) children.emplace_back(child.name());
  EXPECT_EQ(children, (std::vector<std::string>{"TEAM", "TEAM", "QUARTERS"}));

  const std::vector<std::string> playerAttributes = {"ID",  "Number", "ST",    "TO",  "STA", "P1A", "PTS",     "P1M",
                                                     "MIN", "P2A",    "PLLSS", "P2M", "P3A", "BR",  "AS",      "BS",
                                                     "RD",  "RT",     "PF",    "RF",  "P3M", "IN",  "LAST_IN", "RO"};
  int team = 1;
  for (const pugi::xml_node& teamNode : root.children("TEAM")) {
    EXPECT_EQ(AttributeNames(teamNode), std::vector<std::string>{"ID"});
    EXPECT_EQ(teamNode.attribute("ID").value(), Model.MatchInfo.Team(team).ID);
    int slot = 0;
    for (const pugi::xml_node& player : teamNode.children("PLAYER")) {
      ++slot;
      EXPECT_EQ(AttributeNames(player), playerAttributes);
      EXPECT_EQ(player.attribute("ID").value(), Model.MatchInfo.Team(team).Player(slot).ID);
      for (std::size_t i = 2; i < playerAttributes.size(); ++i) {
        const std::string& key = playerAttributes[i];
        EXPECT_EQ(player.attribute(key.c_str()).as_int(), Model.Stats(TModel::PlayerSlot(team, slot)).Get(key)) << key;
      }
    }
    EXPECT_EQ(slot, 5);
    ++team;
  }
  const pugi::xml_node doubleZero = root.child("TEAM").first_child();
  EXPECT_STREQ(doubleZero.attribute("Number").value(), "200");
  EXPECT_EQ(doubleZero.attribute("PTS").as_int(), 4);
  EXPECT_EQ(doubleZero.attribute("RF").as_int(), 1);
  EXPECT_STREQ(root.last_child().previous_sibling().last_child().attribute("Number").value(), "210");

  std::vector<std::string> quarters;
  for (const pugi::xml_node& quarter : root.child("QUARTERS").children("QUARTER")) {
    EXPECT_EQ(AttributeNames(quarter), (std::vector<std::string>{"number", "scoreA", "scoreB"}));
    quarters.push_back(std::string(quarter.attribute("number").value()) + ":" + quarter.attribute("scoreA").value() +
                       "-" + quarter.attribute("scoreB").value());
  }
  EXPECT_EQ(quarters, (std::vector<std::string>{"1:3-2", "2:1-0"}));

  TActionList started;
  started.push_back(Factory.Period(0, 1, "Start Game"));
  Play(std::move(started));
  pugi::xml_document fresh;
  const pugi::xml_node onlyQuarter = BoxScoreDocument(Model, fresh).child("QUARTERS").first_child();
  EXPECT_EQ(AttributeNames(onlyQuarter).size(), 3u);
  EXPECT_EQ(std::string(onlyQuarter.attribute("number").value()) + onlyQuarter.attribute("scoreA").value() +
                onlyQuarter.attribute("scoreB").value(),
            "100");
  EXPECT_FALSE(onlyQuarter.next_sibling());
}

TEST_F(GameDocumentsTest, ReadingActionsReplacesThemInTheCurrentPeriodWithoutRecomputing) {
  PlaySimulatedGame();
  pugi::xml_document document;
  ActionsDocument(Model, document);
  TModel other(Config);
  other.MatchInfo = Model.MatchInfo;
  TActionList actions;
  actions.push_back(Factory.Period(0, 1, "Start Game"));
  actions.push_back(Factory.Period(1200, 3, "Start"));
  actions.push_back(Factory.Simple("steal", 1210, 1, 4));
  other.SetActions(std::move(actions));
  other.Recompute();

  ReadActionsDocument(other, document.document_element());
  ASSERT_EQ(other.Actions().size(), Model.Actions().size());
  for (std::size_t i = 0; i < Model.Actions().size(); ++i) {
    EXPECT_EQ(other.Actions()[i]->ID, Model.Actions()[i]->ID);
    EXPECT_EQ(other.Actions()[i]->Period, 3);
  }
  EXPECT_EQ(other.Stats(TModel::TotalsSlot(1)).Get("ST"), 1);  // the old figures stand
  ReadActionsDocument(other, pugi::xml_document().append_child("ACTIONS"));
  EXPECT_TRUE(other.Actions().empty());
}

TEST_F(GameDocumentsTest, TransferFileIsExactlyTheFourPiecesInWindows1252) {
  const auto file = Folder / "game.xml";
  Play({});
  ASSERT_TRUE(WriteTransferFile(Model, file).Ok());
  EXPECT_TRUE(testing::ReadFile(file).starts_with(kHead + "<ACTIONS/><MATCHINFO ")) << testing::ReadFile(file);

  Model.MatchInfo.Team2.Coach = "Łukasz Nowak";
  TActionList actions;
  actions.push_back(Factory.Make("comment", 61, {{"Comment", "Müller 🏀 €"}}));
  Play(std::move(actions));
  testing::WriteFile(file, std::string(100000, 'x'));  // a longer old file is replaced entirely
  ASSERT_TRUE(WriteTransferFile(Model, file).Ok());
  const std::string bytes = testing::ReadFile(file);
  EXPECT_EQ(bytes, TransferFileText(Model));
  EXPECT_TRUE(bytes.starts_with(kHead + "<ACTIONS><ACTION ")) << bytes;
  EXPECT_NE(bytes.find("</ACTIONS><MATCHINFO "), std::string::npos);
  EXPECT_TRUE(bytes.ends_with("</MATCHINFO></DRAVON>"));
  EXPECT_EQ(bytes.find('\n'), std::string::npos);
  EXPECT_EQ(bytes.find('\xC3'), std::string::npos);  // no UTF-8
  EXPECT_NE(bytes.find("M\xFCller &#127936; \x80"), std::string::npos);
  EXPECT_NE(bytes.find("Coach=\"&#321;ukasz Nowak\""), std::string::npos);

  EXPECT_FALSE(WriteTransferFile(Model, Folder / "no" / "game.xml").Ok());
  EXPECT_FALSE(WriteTransferFile(Model, Folder.Path()).Ok());

  // Without match information the file holds the actions alone, which is no game.
  Model.MatchInfo.Reset();
  const std::string actionsOnly = TransferFileText(Model);
  EXPECT_EQ(actionsOnly.find("MATCHINFO"), std::string::npos);
  EXPECT_TRUE(actionsOnly.ends_with("</ACTIONS></DRAVON>"));
  ExpectCorrupt(actionsOnly, "no match information");
}

TEST_F(GameDocumentsTest, RoundTripKeepsEveryWrittenField) {
  PlaySimulatedGame();
  TMatchInfo& info = Model.MatchInfo;
  info.Time = *EncodeDate(2024, 3, 9) + EncodeTime(19, 30, 15);
  info.CurrentGameTime = EncodeTime(0, 41, 7);
  info.Referee2 = "Ołeksandr";
  info.Referee3 = "R3";
  info.Referee4 = "R4";
  info.Commissioner = "Zoë & \"Co\" <x>";
  info.TV = 3;
  info.Team1.Logo = "logo.png";
  info.Team1.Player(3).Disabled = true;
  info.Team2.Player(2).Name = "Łukasz";
  info.Team2.Player(4).Number = kShirtDoubleZero;
  Model.Recompute();
  ASSERT_TRUE(WriteTransferFile(Model, Folder / "game.xml").Ok());
  auto read = ReadTransferFile(Folder / "game.xml");
  ASSERT_TRUE(read.Ok()) << read.Error();

  const TMatchInfo& back = read.Value().MatchInfo;
  EXPECT_EQ(FormatDateTime(back.Time), "2024.03.09 19:30:15");
  EXPECT_EQ(FormatLongTime(back.CurrentGameTime), "00:41:07");
  for (const auto field :
       {&TMatchInfo::GameNumber, &TMatchInfo::Place, &TMatchInfo::Field, &TMatchInfo::Referee1, &TMatchInfo::Referee2,
        &TMatchInfo::Referee3, &TMatchInfo::Referee4, &TMatchInfo::Commissioner, &TMatchInfo::Competition}) {
    EXPECT_EQ(back.*field, info.*field);
  }
  EXPECT_EQ(std::tie(back.Spectators, back.TV), std::tie(info.Spectators, info.TV));
  for (int team = 1; team <= 2; ++team) {
    const TTeam& a = info.Team(team);
    const TTeam& b = back.Team(team);
    EXPECT_EQ(std::tie(b.Name, b.Shortname, b.ID, b.Logo), std::tie(a.Name, a.Shortname, a.ID, a.Logo));
    EXPECT_EQ(Trimmed(b.Coach), a.Coach);
    ASSERT_EQ(b.PlayerCount, a.PlayerCount);
    for (int slot = 1; slot <= a.PlayerCount; ++slot) {
      const TPlayer& p = a.Player(slot);
      const TPlayer& q = b.Player(slot);
      EXPECT_EQ(std::tie(q.ID, q.Number, q.Name, q.Surname, q.Active, q.Disabled),
                std::tie(p.ID, p.Number, p.Name, p.Surname, p.Active, p.Disabled));
    }
  }

  const TActionList& actions = read.Value().Actions.value();
  ASSERT_EQ(actions.size(), Model.Actions().size());
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const TAction& a = *Model.Actions()[i];
    const TAction& b = *actions[i];
    EXPECT_EQ(std::tie(b.ID, b.FollowUpID, b.ShortName, b.Name, b.Shortcut, b.Complete),
              std::tie(a.ID, a.FollowUpID, a.ShortName, a.Name, a.Shortcut, a.Complete));
    EXPECT_EQ(FormatLongTime(b.GameTime), FormatLongTime(a.GameTime));
    ASSERT_EQ(b.Parameters.size(), a.Parameters.size());
    for (std::size_t k = 0; k < a.Parameters.size(); ++k) {
      const TParameter& p = a.Parameters[k];
      const TParameter& q = b.Parameters[k];
      EXPECT_EQ(std::tie(q.Name, q.Type, q.Data, q.Values), std::tie(p.Name, p.Type, p.Data, p.Values));
    }
  }
  EXPECT_EQ(actions.back()->GetParam("Comment"), "Łukasz: \"great\" <3 & 🏀 €");

  // Loaded into a model, the game has the same statistics.
  TModel loaded(Config);
  LoadTransferGame(loaded, std::move(read.Value()));
  EXPECT_EQ(loaded.PeriodScores(), Model.PeriodScores());
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    for (const std::string_view key : kStatKeys) {
      EXPECT_EQ(loaded.Stats(slot).Get(key), Model.Stats(slot).Get(key)) << slot << " " << key;
    }
  }
}

// The operator's desktop may write decimal commas; what the program writes and reads may not.
TEST_F(GameDocumentsTest, UnderADecimalCommaLocaleFiguresAndFilesKeepTheirPoint) {
  PlaySimulatedGame();
  const TIntegerHash& totals = Model.Stats(TModel::TotalsSlot(1));
  const double efficiency = Efficiency(totals, "RT*1,5+AS");
  ASSERT_TRUE(WriteTransferFile(Model, Folder / "before.xml").Ok());

  testing::TLocaleGuard german(testing::kDecimalCommaLocale);
  ASSERT_TRUE(german.Active()) << testing::kDecimalCommaLocaleMissing;
  SetFixedTextFormats();  // as the program does once the windowing library has taken the locale
  Model.MatchInfo.Team1.Player(1).Height = 1.98;
  EXPECT_EQ(RosterRowOf(Model.MatchInfo.Team1.Player(1)).Height, "1.98");
  EXPECT_EQ(ParseDecimal("2,05"), std::nullopt);
  EXPECT_DOUBLE_EQ(Efficiency(totals, "RT*1,5+AS"), efficiency);
  EXPECT_DOUBLE_EQ(Efficiency(totals, "RT*1,5+AS"), totals.Get("RT") * 1.5 + totals.Get("AS"));

  ASSERT_TRUE(WriteTransferFile(Model, Folder / "after.xml").Ok());
  EXPECT_EQ(testing::ReadFile(Folder / "after.xml"), testing::ReadFile(Folder / "before.xml"));
  auto read = ReadTransferFile(Folder / "after.xml");
  ASSERT_TRUE(read.Ok()) << read.Error();
  TModel loaded(Config);
  LoadTransferGame(loaded, std::move(read.Value()));
  EXPECT_EQ(loaded.PeriodScores(), Model.PeriodScores());
  EXPECT_EQ(loaded.MatchInfo.CurrentGameTime, Model.MatchInfo.CurrentGameTime);
}

TEST_F(GameDocumentsTest, UsableDocumentsHaveOneOrTwoChildrenEndingWithAGame) {
  const std::string info = MatchInfoXml();
  const auto only = ParseTransferText(kHead + info + "</DRAVON>");
  ASSERT_TRUE(only.Ok()) << only.Error();
  EXPECT_EQ(only.Value().MatchInfo.GameNumber, "G-1");
  EXPECT_FALSE(only.Value().Actions.has_value());
  const auto both =
      ParseTransferText("<?xml version=\"1.0\"?>\r\n<DRAVON>\r\n <ACTIONS/>\r\n " + info + "\r\n</DRAVON>");
  ASSERT_TRUE(both.Ok()) << both.Error();  // blank text between elements is no child
  EXPECT_TRUE(both.Value().Actions->empty());
  // A game number and two teams are enough; the rest takes its fallback, huge numbers included.
  const std::string huge = "99999999999999999999999";
  const auto bare =
      ParseTransferText(kHead + "<ACTIONS><ACTION ID=\"" + huge + "\" GameTime=\"99999:99:99\" Complete=\"" + huge +
                        "\"/></ACTIONS><MATCHINFO GameNumber=\"" + huge + "\" Spectators=\"" + huge +
                        "\" Time=\"99999.99.99\"><TEAM1><PLAYER1 Number=\"" + huge +
                        "\" Active=\"True\" Disabled=\"False\"/></TEAM1><TEAM2/></MATCHINFO></DRAVON>");
  ASSERT_TRUE(bare.Ok()) << bare.Error();
  EXPECT_EQ(bare.Value().MatchInfo.Spectators, 0);
  EXPECT_EQ(bare.Value().MatchInfo.Team1.Player(1).Number, 0);
  EXPECT_EQ(bare.Value().Actions->size(), 1u);

  ExpectCorrupt("", "empty");
  ExpectCorrupt(kHead + "</DRAVON>", "no children");
  ExpectCorrupt(kHead + "<ACTIONS/><ACTIONS/>" + info + "</DRAVON>", "three children");
  ExpectCorrupt(kHead + "just text</DRAVON>", "text only");
  ExpectCorrupt(kHead + info + "text last</DRAVON>", "text last");
  ExpectCorrupt(kHead + "<ACTIONS/><![CDATA[x]]></DRAVON>", "character data last");
  ExpectCorrupt(info, "match information as the root");
  ExpectCorrupt(kHead + info + "</DRAVON><DRAVON/>", "two roots");
  ExpectCorrupt(kHead + info + "</dravon>", "wrong closing tag");
  ExpectCorrupt(kHead + "<MATCHINFO GameNumber=\"G\"/></DRAVON>", "no teams");
  ExpectCorrupt(kHead + "<MATCHINFO GameNumber=\"G\"><TEAM1/></MATCHINFO></DRAVON>", "one team");
  ExpectCorrupt(kHead + "<MATCHINFO>" + kTeams + "</MATCHINFO></DRAVON>", "no game number");
  ExpectCorrupt(kHead + "<MATCHINFO GameNumber=\"\">" + kTeams + "</MATCHINFO></DRAVON>", "empty game number");

  // Cuts of a good file, and random bytes with and without a good start.
  Play(testing::SimulateGame(Model.MatchInfo, 40, 3));
  const std::string good = TransferFileText(Model);
  for (std::size_t length = 0; length < good.size(); length += length < 128 || length > good.size() - 64 ? 1 : 97) {
    ExpectCorrupt(good.substr(0, length), "cut at " + std::to_string(length));
  }
  std::mt19937 random(17);
  for (int i = 0; i < 200; ++i) {
    std::string garbage(random() % 400, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    ExpectCorrupt(garbage, "garbage");
    ExpectCorrupt(kHead + garbage, "garbage after the head");
  }
}

TEST_F(GameDocumentsTest, EncodingFollowsTheDeclaration) {
  const std::string body =
      "<DRAVON><MATCHINFO GameNumber=\"7\" Place=\"Málaga\"><TEAM1 Name=\"Łódź\"/><TEAM2/>"
      "</MATCHINFO></DRAVON>";
  const std::string bom = "\xEF\xBB\xBF";
  for (const std::string& text : {bom + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body,
                                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body, bom + body}) {
    const auto read = ParseTransferText(text);
    ASSERT_TRUE(read.Ok()) << text;
    EXPECT_EQ(read.Value().MatchInfo.Place + read.Value().MatchInfo.Team1.Name, "MálagaŁódź");
  }
  // Windows-1252 bytes, declared so or mislabelled as UTF-8.
  for (const std::string& declaration :
       {kHead.substr(0, kHead.find("<DRAVON>")), std::string("<?xml encoding=\"UTF-8\"?>")}) {
    const auto read = ParseTransferText(declaration + "<DRAVON><MATCHINFO GameNumber=\"7\" Place=\"M\xE1laga \x80\">" +
                                        kTeams + "</MATCHINFO></DRAVON>");
    ASSERT_TRUE(read.Ok()) << declaration;
    EXPECT_EQ(read.Value().MatchInfo.Place, "Málaga €");
  }
}

TEST_F(GameDocumentsTest, RostersMustFitTheStatisticsLayout) {
  Model.MatchInfo = testing::MakeMatchInfo(TModel::kMaxStatPlayers);
  ASSERT_TRUE(ParseTransferText(TransferFileText(Model)).Ok());
  Model.MatchInfo.Team2.PlayerCount = 30;
  Model.MatchInfo.Team2.Player(30) = Model.MatchInfo.Team2.Player(29);
  Model.MatchInfo.Team2.Player(30).Number = 99;
  const auto tooMany = ParseTransferText(TransferFileText(Model));
  ASSERT_FALSE(tooMany.Ok());
  EXPECT_TRUE(tooMany.Error().starts_with(kTransferCorruptError)) << tooMany.Error();
  EXPECT_NE(tooMany.Error().find("\"Müller Basket Süd\" tiene 30"), std::string::npos) << tooMany.Error();

  std::string players;  // more than any team can hold
  for (int i = 1; i <= 31; ++i) {
    players += "<P ID=\"" + std::to_string(i) + "\" Number=\"" + std::to_string(i) + "\" Active=\"1\" Disabled=\"0\"/>";
  }
  ExpectCorrupt(kHead + "<MATCHINFO GameNumber=\"7\"><TEAM1>" + players + "</TEAM1><TEAM2/></MATCHINFO></DRAVON>",
                "31 players");
}

TEST_F(GameDocumentsTest, FilesThatCannotBeReadGiveTheReadError) {
  std::filesystem::create_symlink(Folder / "nowhere", Folder / "dangling.xml");
  const auto locked = Folder / "locked.xml";
  ASSERT_TRUE(WriteTransferFile(Model, locked).Ok());
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  std::vector<std::filesystem::path> unreadable = {Folder / "missing.xml", Folder.Path(), Folder / "dangling.xml",
                                                   "/proc/self/mem"};
  if (::geteuid() != 0) unreadable.push_back(locked);  // root reads it all the same
  for (const auto& file : unreadable) {
    const auto read = ReadTransferFile(file);
    ASSERT_FALSE(read.Ok()) << file;
    EXPECT_TRUE(read.Error().starts_with(kTransferReadError)) << read.Error();
    EXPECT_NE(read.Error().find(file.string()), std::string::npos) << read.Error();
  }
  testing::WriteFile(Folder / "empty.xml", "");
  const auto empty = ReadTransferFile(Folder / "empty.xml");
  ASSERT_FALSE(empty.Ok());
  EXPECT_EQ(empty.Error(), kTransferCorruptError);  // read, but no game
}

TEST_F(GameDocumentsTest, OnlyRegularFilesOfAGameFilesSizeAreRead) {
  const auto fifo = Folder / "game.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto huge = Folder / "huge.xml";
  testing::WriteFile(huge, "");
  std::filesystem::resize_file(huge, kMaxTransferFileBytes + 1);  // sparse: costs no disk
  const std::pair<std::filesystem::path, const char*> refused[] = {
      {"/dev/zero", "is not a regular file"}, {fifo, "is not a regular file"}, {huge, "is larger than 64 MB"}};
  for (const auto& [file, reason] : refused) {
    // A pipe without a writer must not hold the reading up.
    auto reading = std::async(std::launch::async, [file = file] { return ReadTransferFile(file); });
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(10)), std::future_status::ready) << file;
    const auto read = reading.get();
    ASSERT_FALSE(read.Ok()) << file;
    EXPECT_EQ(read.Error(), std::string(kTransferReadError) + " \"" + file.string() + "\" " + reason + ".");
  }
  std::filesystem::resize_file(huge, 0);
  testing::WriteFile(huge, TransferFileText(Model));
  EXPECT_TRUE(ReadTransferFile(huge).Ok());
}

TEST_F(GameDocumentsTest, OnlyActionElementsBecomeActions) {
  testing::TActionFactory make;
  TActionList actions;
  actions.push_back(make.Shot(10, 1, 4, "Made", 2));
  actions.push_back(make.Shot(20, 2, 5, "Missed", 3));
  Model.SetActions(std::move(actions));
  std::string text = TransferFileText(Model);
  const std::size_t second = text.find("<ACTION ", text.find("<ACTION ") + 1);
  text.insert(second, "<COMMENT ShortName=\"shot\"/><ACTIONX/>");
  const auto read = ParseTransferText(text);
  ASSERT_TRUE(read.Ok()) << read.Error();
  ASSERT_EQ(read.Value().Actions->size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ((*read.Value().Actions)[i]->ID, Model.Actions()[i]->ID);
}

TEST_F(GameDocumentsTest, PeriodNumbersBeyondAGameAreRefused) {
  testing::TActionFactory make;
  TActionList actions;
  actions.push_back(make.Period(0, 20, "Start"));
  Model.SetActions(std::move(actions));
  ASSERT_TRUE(ParseTransferText(TransferFileText(Model)).Ok());
  TActionList absurd;
  absurd.push_back(make.Period(0, 2147483647, "Start"));
  Model.SetActions(std::move(absurd));
  const auto read = ParseTransferText(TransferFileText(Model));
  ASSERT_FALSE(read.Ok());
  EXPECT_TRUE(read.Error().starts_with(kTransferCorruptError)) << read.Error();
  EXPECT_NE(read.Error().find("\"2147483647\""), std::string::npos) << read.Error();
}

}  // namespace
}  // namespace velmora
