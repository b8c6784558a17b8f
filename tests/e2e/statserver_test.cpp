// The requests of the program's client, exactly as it makes them, against the running server;
// sessions and ownership; the administration web service.

#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "records/date_time.h"
#include "protocol/soap.h"
#include "server_fixture.h"
#include "serverlink/auth_service.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store/sqlite.h"

namespace velmora::testing {
namespace {

using statserver::TServerStore;

class ProtocolTest : public StatServerTest {
 protected:
  TMatchInfo MatchInfoFromServer(const std::string& gameNumber, int initial) {
    const THttpReply reply =
        GetWithSession("do=get_match_info&game_number=" + gameNumber + "&get_initial=" + std::to_string(initial));
    EXPECT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
    pugi::xml_document document;
    const pugi::xml_node root = ParseReply(reply, document);
    EXPECT_STREQ(root.name(), "MATCHINFO") << reply.Body;
    TMatchInfo matchInfo;
    matchInfo.ReadXml(root);
    EXPECT_FALSE(matchInfo.Empty) << reply.Body;
    return matchInfo;
  }

  std::set<std::string> ActiveGames(const std::string& session) {
    const THttpReply reply = Get("do=get_active_games&SESSIONID=" + session);
    EXPECT_TRUE(reply.Ok()) << reply.Status;
    pugi::xml_document document;
    const pugi::xml_node root = ParseReply(reply, document);
    EXPECT_STREQ(root.name(), "GAMES") << reply.Body;
    std::set<std::string> games;
    for (const pugi::xml_node& game : root.children()) games.insert(game.attribute("GameNumber").value());
    return games;
  }

  TActionFactory Make;
};

TEST_F(ProtocolTest, PingAnswersPongExactlyWithOrWithoutVersionAndNeedsNoSession) {
  for (const char* query : {"do=ping", "do=ping&version=0", "do=ping&version=17"}) {
    const THttpReply reply = Get(query);
    EXPECT_EQ(reply.Status, 200) << query;
    EXPECT_EQ(reply.Body, "pong") << query;
  }
}

TEST_F(ProtocolTest, ActiveGamesAreTheSessionUsersGamesOnly) {
  TMatchInfo second = MakeMatchInfo(5, "G-2");
  second.Time = *EncodeDate(2024, 4, 1) + EncodeTime(20, 0, 0);
  Publish(second, "alice");

  EXPECT_EQ(ActiveGames(Session), (std::set<std::string>{"G-1", "G-2"}));
  EXPECT_EQ(ActiveGames(Login("bob", kBobPassword)), (std::set<std::string>{"B-1"}));

  // The attributes the connect dialog reads.
  pugi::xml_document document;
  const pugi::xml_node game = ParseReply(Get("do=get_active_games&SESSIONID=" + Session), document)
                                  .find_child_by_attribute("GameNumber", "G-2");
  EXPECT_STREQ(game.attribute("Team1_Name").value(), "Club Baloncesto Norte");
  EXPECT_STREQ(game.attribute("Team2_Name").value(), "Müller Basket Süd");
  EXPECT_STREQ(game.attribute("Team1_ID").value(), "101");
  EXPECT_STREQ(game.attribute("Team2_ID").value(), "102");
  EXPECT_EQ(ParseDateTime(game.attribute("Time").value()), second.Time);
}

TEST_F(ProtocolTest, MatchInfoIsAsPublishedInitiallyAndCurrentAfterUpdatesAndClockActions) {
  TMatchInfo changed = MatchInfoFromServer("G-1", 1);
  changed.Referee2 = "Luis Gómez";
  changed.Spectators = 4321;
  ASSERT_TRUE(UpdateMatchInfo(MatchInfoText(changed)).Ok());
  TActionList clock;
  clock.push_back(Make.Make("clock", 5 * 60 + 13, {}));
  ASSERT_TRUE(SendActions(clock).Ok());

  const TMatchInfo initial = MatchInfoFromServer("G-1", 1);
  EXPECT_EQ(initial.Referee2, "");
  EXPECT_EQ(initial.Spectators, 1234);
  EXPECT_EQ(FormatLongTime(initial.CurrentGameTime), "00:00:00");
  EXPECT_EQ(initial.Team1.PlayerCount, 12);

  const TMatchInfo current = MatchInfoFromServer("G-1", 0);
  EXPECT_EQ(current.Referee2, "Luis Gómez");
  EXPECT_EQ(current.Spectators, 4321);
  EXPECT_EQ(FormatLongTime(current.CurrentGameTime), "00:05:13");
  EXPECT_EQ(current.Team2.Player(12).Surname, "Müller");
}

TEST_F(ProtocolTest, LineBreaksInTheMatchInfoComeBackAsLineBreaks) {
  TMatchInfo changed = MatchInfoFromServer("G-1", 1);
  changed.Referee1 = "Ana Pérez\r\nsustituida";
  changed.Place = "Valencia\nPista 2";
  // As the program writes it, and as a writer that leaves line breaks literal in the text does;
  // the client carries each break as "%0A"/"%0D", which the form encoding escapes once more.
  std::string literal = MatchInfoText(changed);
  for (const auto& [reference, character] : {std::pair{"&#13;", "\r"}, std::pair{"&#10;", "\n"}}) {
    for (std::size_t at = literal.find(reference); at != std::string::npos; at = literal.find(reference, at)) {
      literal.replace(at, std::string_view(reference).size(), character);
    }
  }
  literal.insert(literal.find("<TEAM1"), "\r\n");
  ASSERT_NE(literal.find("Pérez\r\nsustituida"), std::string::npos);

  for (const std::string& text : {MatchInfoText(changed), literal}) {
    const THttpReply reply = UpdateMatchInfo(text);
    ASSERT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
    const TMatchInfo current = MatchInfoFromServer("G-1", 0);
    EXPECT_EQ(current.Referee1, "Ana Pérez\r\nsustituida") << text;
    EXPECT_EQ(current.Place, "Valencia\nPista 2") << text;
    EXPECT_EQ(current.Team1.PlayerCount, 12);
  }
}

TEST_F(ProtocolTest, TextTravelsAsWindows1252InBodiesAndQueries) {
  TMatchInfo game = MakeMatchInfo(12, "Peñíscola-é 1");
  Publish(game, "alice");
  game.Referee1 = "Begoña Ibáñez";
  game.Commissioner = "Łukasz Ørsted";  // Ł is not in windows-1252, Ø is
  const std::string body = FormBody({{"matchinfo", MatchInfoText(game)}});
  EXPECT_NE(body.find("Bego%F1a+Ib%E1%F1ez"), std::string::npos);
  EXPECT_NE(body.find("%26%23321%3Bukasz+%D8rsted"), std::string::npos);
  ASSERT_TRUE(UpdateMatchInfo(MatchInfoText(game)).Ok());

  const std::string number = FormEncodeValue(game.GameNumber);
  ASSERT_EQ(number, "Pe%F1%EDscola%2D%E9+1");
  const THttpReply reply = GetWithSession("do=get_match_info&game_number=" + number + "&get_initial=0");
  ASSERT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
  EXPECT_NE(reply.Body.find("Bego\xF1"
                            "a Ib\xE1\xF1"
                            "ez"),
            std::string::npos);
  const TMatchInfo current = MatchInfoFromServer(number, 0);
  EXPECT_EQ(current.GameNumber, "Peñíscola-é 1");
  EXPECT_EQ(current.Referee1, "Begoña Ibáñez");
  EXPECT_EQ(current.Commissioner, "Łukasz Ørsted");
  EXPECT_TRUE(ActiveGames(Session).contains("Peñíscola-é 1"));

  TActionList batch;
  batch.push_back(Make.Make("comment", 30, {{"Comment", "Falta técnica a Muñoz ⇒ €"}}));
  ASSERT_TRUE(PostForm("game_number=" + number + "&do=multipleaction&SESSIONID=" + Session,
                       {{"action", ActionsText(batch, game.GameNumber)}, {"do", "multipleaction"}})
                  .Ok());
  const TActionList stored = ServerActions(game.GameNumber);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0]->GetParam("Comment"), "Falta técnica a Muñoz ⇒ €");

  ASSERT_TRUE(GetWithSession("do=confirm_score&game_number=" + number + "&score_a=81&score_b=79&name=" +
                             FormEncodeValue("Iñaki Pérez") + "&contacts=" + FormEncodeValue("600 123 € ñ"))
                  .Ok());
  TSqliteDatabase database(Temp / "server.db");
  auto scores = database.Prepare("SELECT game_number, score_a, score_b, name, contacts FROM svScores");
  ASSERT_TRUE(scores->Step());
  EXPECT_EQ(scores->Text(0), "Peñíscola-é 1");
  EXPECT_EQ(scores->Integer(1), 81);
  EXPECT_EQ(scores->Integer(2), 79);
  EXPECT_EQ(scores->Text(3), "Iñaki Pérez");
  EXPECT_EQ(scores->Text(4), "600 123 € ñ");
}

TEST_F(ProtocolTest, ActionListComesBackInTheOrderToApplyWithEveryField) {
  TActionList batch;
  batch.push_back(Make.Shot(300, 1, 4, "Made", 2, "120+45"));
  batch.push_back(Make.Rebound(120, 2, 5, true));
  batch.push_back(Make.Simple("steal", 120, 1, 6));
  batch.push_back(Make.Foul(600, 2, 7, 8));
  batch.push_back(Make.Simple("assist", 300, 1, 5));
  batch[4]->FollowUpID = batch[0]->ID;
  const int astro[] = {5, 3, 2, 4, 5};
  for (std::size_t i = 0; i < batch.size(); ++i) batch[i]->AstroTime = FromSeconds(10 * 3600 + astro[i]);
  const std::string body = FormBody({{"action", ActionsText(batch, "G-1")}, {"do", "multipleaction"}});
  ASSERT_EQ(body.back(), '&');
  ASSERT_TRUE(Client.Post(Page() + "?game_number=G-1&do=multipleaction&SESSIONID=" + Session, body).Ok());

  // Game time first, then the time of entry, then the order of arrival.
  const TActionList stored = ServerActions();
  const std::vector<std::size_t> order = {2, 1, 0, 4, 3};
  ASSERT_EQ(stored.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const TAction& sent = *batch[order[i]];
    const TAction& got = *stored[i];
    EXPECT_EQ(got.ID, sent.ID) << i;
    EXPECT_EQ(got.ShortName, sent.ShortName) << i;
    EXPECT_EQ(got.FollowUpID, sent.FollowUpID) << i;
    EXPECT_EQ(FormatLongTime(got.GameTime), FormatLongTime(sent.GameTime)) << i;
    EXPECT_EQ(FormatLongTime(got.AstroTime), FormatLongTime(sent.AstroTime)) << i;
    ASSERT_EQ(got.Parameters.size(), sent.Parameters.size()) << i;
    for (std::size_t p = 0; p < sent.Parameters.size(); ++p) {
      EXPECT_EQ(got.Parameters[p].Data, sent.Parameters[p].Data) << i << " " << sent.Parameters[p].Name;
    }
  }
}

// Pieces of 40000 characters, counted as characters rather than bytes.
TFormFields ActionPieces(const std::string& text) {
  TFormFields fields;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    for (int characters = 0; characters < 40000 && end < text.size(); ++characters) {
      ++end;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    fields.emplace_back("actions" + std::to_string(fields.size() + 1), text.substr(start, end - start));
    start = end;
  }
  return fields;
}

TEST_F(ProtocolTest, SendActionListJoinsItsPiecesAndReplacesOrAppends) {
  TActionList game = SimulateGame(MakeMatchInfo(12, "G-1"), 300, 11);
  StampAstroTimes(game);
  const std::string text = ActionsText(game, "G-1");
  const TFormFields pieces = ActionPieces(text);
  ASSERT_GE(pieces.size(), 3u) << text.size();
  const auto send = [&](const TFormFields& fields, int append) {
    const THttpReply reply = PostForm(
        "do=send_action_list&SESSIONID=" + Session + "&game_number=G-1&append=" + std::to_string(append), fields);
    EXPECT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
  };
  ASSERT_EQ(FormBody(pieces).back(), '&');
  send(pieces, 0);
  std::vector<std::string> expected;
  for (const auto& action : game) expected.push_back(action->ID);
  EXPECT_EQ(ServerActionIds(), expected);

  TActionList late;
  late.push_back(Make.Simple("turnover", 2400, 1, 4));
  late.push_back(Make.Make("comment", 2400, {{"Comment", "Fin"}}));
  StampAstroTimes(late, 5000);
  send({{"actions1", ActionsText(late, "G-1")}}, 1);
  expected.push_back(late[0]->ID);
  expected.push_back(late[1]->ID);
  EXPECT_EQ(ServerActionIds(), expected);

  // One field and no "&": a whole list of two actions replaces everything.
  ASSERT_EQ(FormBody({{"actions1", ActionsText(late, "G-1")}}).find('&'), std::string::npos);
  send({{"actions1", ActionsText(late, "G-1")}}, 0);
  EXPECT_EQ(ServerActionIds(), (std::vector<std::string>{late[0]->ID, late[1]->ID}));
  // An empty list is sent as no field at all.
  send({}, 0);
  EXPECT_TRUE(ServerActionIds().empty());
}

TEST_F(ProtocolTest, CrcIsThe32LowerCaseHexDigitsAndNothingElse) {
  const THttpReply reply = GetWithSession("do=crc&game_number=G-1");
  ASSERT_TRUE(reply.Ok());
  ASSERT_EQ(reply.Body.size(), 32u) << reply.Body;
  EXPECT_EQ(reply.Body.find_first_not_of("0123456789abcdef"), std::string::npos) << reply.Body;
  TActionList batch;
  batch.push_back(Make.Shot(30, 1, 4, "Made", 3));
  ASSERT_TRUE(SendActions(batch).Ok());
  EXPECT_NE(GetWithSession("do=crc&game_number=G-1").Body, reply.Body);
}

TEST_F(ProtocolTest, ScoreConfirmationAndStatisticsUploadAreAccepted) {
  EXPECT_TRUE(GetWithSession("do=confirm_score&game_number=G-1&score_a=70&score_b=68&name=Ana&contacts=").Ok());

  // The box score of a whole game: more than the 8 KiB an HTTP library may allow a form.
  TConfiguration config(ProgramFolder());
  TModel model(config);
  model.MatchInfo = Game;
  model.SetActions(SimulateGame(Game, 300, 4));
  model.Recompute();
  pugi::xml_document boxDocument;
  std::ostringstream boxText;
  BoxScoreDocument(model, boxDocument).print(boxText, "", pugi::format_raw, pugi::encoding_utf8);
  const std::string boxScore = boxText.str();
  const std::string body = FormBody({{"boxscore", boxScore}});
  ASSERT_EQ(body.find('&'), std::string::npos);
  ASSERT_GT(body.size(), 8u * 1024);
  const auto url = [&](const std::string& game) {
    return Server->Url("/statistics.asp?do=upload_statistics&game_number=" + game + "&SESSIONID=" + Session);
  };
  const THttpReply reply = Client.Post(url("G-1"), body);
  EXPECT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
  EXPECT_FALSE(reply.Body.empty());

  EXPECT_EQ(Client.Post(url("NOPE"), body).Status, 404);
  EXPECT_EQ(Client.Post(url("G-1"), FormBody({{"boxscore", "<BOXSCORE"}})).Status, 400);
  TSqliteDatabase database(Temp / "server.db");
  auto stored = database.Prepare("SELECT boxscore FROM svBoxScores WHERE game_number='G-1'");
  ASSERT_TRUE(stored->Step());
  EXPECT_EQ(stored->Text(0), boxScore);
  EXPECT_FALSE(stored->Step());
}

// ---- sessions and ownership

TEST_F(ProtocolTest, RequestsWithoutALiveSessionAreRefused) {
  for (const std::string& session : {std::string("{0123456789abcdef0123456789abcdef}"), std::string("{}")}) {
    for (const std::string query : {"do=get_active_games", "do=get_match_info&game_number=G-1&get_initial=1",
                                    "do=get_action_list&game_number=G-1", "do=crc&game_number=G-1"}) {
      const THttpReply reply = Get(query + "&SESSIONID=" + session);
      EXPECT_GE(reply.Status, 400) << query;
      EXPECT_LT(reply.Status, 600) << query;
    }
  }
  EXPECT_GE(Get("do=get_active_games").Status, 400);
  TActionList batch;
  batch.push_back(Make.Shot(30, 1, 4, "Made", 2));
  EXPECT_GE(SendActions(batch, "G-1", "{feedface}").Status, 400);
  EXPECT_TRUE(ServerActionIds().empty());
}

TEST_F(ProtocolTest, ASessionEndsAfterItsIdleTime) {
  statserver::TServerOptions options = Options();
  options.SessionIdleTime = std::chrono::seconds(1);
  TRunningServer strict(*Store, options);
  THttpClient client;
  const std::string soap = SoapRequestEnvelope("ValidateUser", {{"user", "alice"}, {"pass", kAlicePassword}});
  const auto login = [&] {
    const THttpReply reply = client.Post(strict.Url("/dvadminws/dvadmin.asmx"), soap, "text/xml; charset=utf-8",
                                         {"SOAPAction: \"http://tempuri.org/ValidateUser\""});
    return "{" + ParseSoapResult(reply.Body, "ValidateUser").Value() + "}";
  };
  const std::string session = login();
  const std::string list = strict.Url("/default.asp?do=get_active_games&SESSIONID=");
  // Each use keeps the session alive.
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(client.Get(list + session).Ok()) << i;
    ClockAheadMs += 400;
  }
  ClockAheadMs += 1100;
  EXPECT_EQ(client.Get(list + session).Status, 403);
  EXPECT_TRUE(client.Get(list + login()).Ok());
}

TEST_F(ProtocolTest, AUserCannotTouchAnotherUsersGame) {
  const std::string bob = Login("bob", kBobPassword);
  ASSERT_FALSE(bob.empty());
  for (const std::string query :
       {"do=get_match_info&game_number=G-1&get_initial=0", "do=get_action_list&game_number=G-1",
        "do=crc&game_number=G-1", "do=confirm_score&game_number=G-1&score_a=1&score_b=0&name=x&contacts=y"}) {
    EXPECT_EQ(GetWithSession(query, bob).Status, 403) << query;
  }
  TActionList batch;
  batch.push_back(Make.Shot(30, 1, 4, "Made", 2));
  EXPECT_EQ(SendActions(batch, "G-1", bob).Status, 403);
  EXPECT_EQ(PostForm("do=send_action_list&SESSIONID=" + bob + "&game_number=G-1&append=0",
                     {{"actions1", ActionsText(batch, "G-1")}})
                .Status,
            403);
  TMatchInfo hijacked = MatchInfoFromServer("G-1", 0);
  hijacked.Referee1 = "Bob";
  EXPECT_EQ(UpdateMatchInfo(MatchInfoText(hijacked), bob).Status, 403);

  EXPECT_TRUE(ServerActionIds().empty());
  EXPECT_EQ(MatchInfoFromServer("G-1", 0).Referee1, "Ana Pérez");
  EXPECT_TRUE(GetWithSession("do=get_action_list&game_number=B-1", bob).Ok());
}

TEST_F(ProtocolTest, AnUnknownGameIsNotFound) {
  for (const std::string query :
       {"do=get_match_info&game_number=NOPE&get_initial=1", "do=get_action_list&game_number=NOPE",
        "do=crc&game_number=NOPE", "do=confirm_score&game_number=NOPE&score_a=1&score_b=0&name=x&contacts=y"}) {
    EXPECT_EQ(GetWithSession(query).Status, 404) << query;
  }
  TActionList batch;
  batch.push_back(Make.Shot(30, 1, 4, "Made", 2));
  EXPECT_EQ(SendActions(batch, "NOPE").Status, 404);
  TMatchInfo unknown = MakeMatchInfo(5, "NOPE");
  EXPECT_EQ(UpdateMatchInfo(MatchInfoText(unknown)).Status, 404);
  EXPECT_FALSE(Store->OwnerOf("NOPE"));
}

// ---- the administration web service

TEST_F(ProtocolTest, ValidateUserHandsOutASessionOnlyForTheRightPassword) {
  const std::string action = "http://tempuri.org/ValidateUser";
  const THttpReply accepted = Soap("ValidateUser", {{"user", "bob"}, {"pass", kBobPassword}}, action);
  ASSERT_TRUE(accepted.Ok());
  EXPECT_NE(accepted.ContentType.find("text/xml"), std::string::npos);
  const auto value = ParseSoapResult(accepted.Body, "ValidateUser");
  ASSERT_TRUE(value.Ok());
  ASSERT_FALSE(value.Value().empty());
  EXPECT_TRUE(Get("do=get_active_games&SESSIONID={" + value.Value() + "}").Ok());

  for (const auto& [user, password] :
       {std::pair{"bob", kAlicePassword}, std::pair{"bob", ""}, std::pair{"carol", kBobPassword}, std::pair{"", ""}}) {
    const THttpReply refused = Soap("ValidateUser", {{"user", user}, {"pass", password}}, action);
    EXPECT_TRUE(refused.Ok()) << user;
    const auto empty = ParseSoapResult(refused.Body, "ValidateUser");
    ASSERT_TRUE(empty.Ok()) << refused.Body;
    EXPECT_EQ(empty.Value(), "") << user << "/" << password;
  }
}

TEST_F(ProtocolTest, ExportToSimsIsEmptyForTheOperatorsGameAndGivesAReasonOtherwise) {
  const auto exportOf = [&](const std::string& game, const std::string& session) {
    const THttpReply reply =
        Client.Post(Server->Url("/dvadminws/dvadmin.asmx" + session),
                    SoapRequestEnvelope("ExportToSIMS", {{"gameNumber", game}}), "text/xml; charset=utf-8",
                    {"SOAPAction: \"http://tempuri.org/ExportToSIMS\""});
    const auto result = ParseSoapResult(reply.Body, "ExportToSIMS");
    EXPECT_TRUE(result.Ok()) << reply.Body;
    return result ? result.Value() : std::string("no answer");
  };
  const std::string bob = "?SESSIONID=" + Login("bob", kBobPassword);
  // The program's client sends the session along.
  AuthServiceSoap service(Server->Url("/dvadminws/dvadmin.asmx"), THttpSettings{});
  const auto exported = service.ExportToSIMS("G-1", Session);
  ASSERT_TRUE(exported.Ok()) << exported.Error();
  EXPECT_EQ(exported.Value(), "");
  // Without the session of the game's user nothing is recorded, and the reason says why.
  for (const auto& [game, session] : {std::pair{"G-1", std::string()}, std::pair{"G-1", bob},
                                      std::pair{"G-1", std::string("?SESSIONID={feedface}")},
                                      std::pair{"NOPE", "?SESSIONID=" + Session}}) {
    EXPECT_NE(exportOf(game, session), "") << game << session;
  }
  TSqliteDatabase database(Temp / "server.db");
  auto exports = database.Prepare("SELECT count(*) FROM svExports");
  ASSERT_TRUE(exports->Step());
  EXPECT_EQ(exports->Integer(0), 1);
}

TEST_F(ProtocolTest, ABoxScoreIsStoredOnlyWithTheSessionOfTheGamesUser) {
  const std::string body = FormBody({{"boxscore", "<BOXSCORE/>"}});
  const std::string url = Server->Url("/statistics.asp?do=upload_statistics&game_number=G-1");
  const std::string bob = Login("bob", kBobPassword);
  EXPECT_EQ(Client.Post(url, body).Status, 403);
  EXPECT_EQ(Client.Post(url + "&SESSIONID={feedface}", body).Status, 403);
  EXPECT_EQ(Client.Post(url + "&SESSIONID=" + bob, body).Status, 403);
  TSqliteDatabase database(Temp / "server.db");
  auto stored = database.Prepare("SELECT count(*) FROM svBoxScores");
  ASSERT_TRUE(stored->Step());
  EXPECT_EQ(stored->Integer(0), 0);
  EXPECT_TRUE(Client.Post(url + "&SESSIONID=" + Session, body).Ok());
}

TEST_F(ProtocolTest, ABadSoapRequestGetsAFaultAndTheServiceGoesOn) {
  const std::string url = Server->Url("/dvadminws/dvadmin.asmx");
  const std::string validate = "SOAPAction: \"http://tempuri.org/ValidateUser\"";
  const std::string good = SoapRequestEnvelope("ValidateUser", {{"user", "alice"}, {"pass", kAlicePassword}});
  const std::vector<std::pair<std::string, std::string>> bad = {
      {good.substr(0, good.size() / 2), validate},
      {"<html><body>hello</body></html>", validate},
      {"", validate},
      {SoapRequestEnvelope("DropDatabase", {{"user", "alice"}}), "SOAPAction: \"http://tempuri.org/DropDatabase\""},
      {good, "SOAPAction: \"http://tempuri.org/ExportToSIMS\""},
  };
  for (const auto& [envelope, header] : bad) {
    const THttpReply reply = Client.Post(url, envelope, "text/xml; charset=utf-8", {header});
    EXPECT_EQ(reply.Status, 500) << envelope;
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(reply.Body.c_str())) << reply.Body;
    EXPECT_TRUE(document.first_element_by_path("soap:Envelope/soap:Body/soap:Fault/faultstring")) << reply.Body;
    const auto result = ParseSoapResult(reply.Body, "ValidateUser");
    EXPECT_FALSE(result.Ok());
    EXPECT_FALSE(result.Error().empty());
  }
  EXPECT_FALSE(Login("alice", kAlicePassword).empty());
}

}  // namespace
}  // namespace velmora::testing
