// The server protocol as it leaves the program: form and query encoding, the stored credentials,
// and the requests of the server client and of the login as a loopback server receives them.

#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include <pugixml.hpp>

#include "platform/configuration.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "game_builder.h"
#include "loopback_http_server.h"
#include "records/date_time.h"
#include "serverlink/auth_service.h"
#include "serverlink/credentials.h"
#include "protocol/form_encoding.h"
#include "serverlink/internet_plugin.h"
#include "protocol/soap.h"
#include "server_fakes.h"
#include "temp_folder.h"

namespace velmora::testing {
namespace {

// ---- Encoding ------------------------------------------------------------------------------------

TEST(FormEncoding, OnlyLettersAndDigitsStayAsTheyAre) {
  EXPECT_EQ(FormEncodeValue("Ab 09"), "Ab+09");
  EXPECT_EQ(FormEncodeValue("&=<>/"), "%26%3D%3C%3E%2F");
  EXPECT_EQ(FormEncodeValue("%+-_.~\r\n"), "%25%2B%2D%5F%2E%7E%0D%0A");
  // Program text leaves as windows-1252 bytes, in upper-case hexadecimal.
  EXPECT_EQ(FormEncodeValue("Pérez ñ €"), "P%E9rez+%F1+%80");
  // A letter the code page lacks survives as a character reference rather than as "?".
  EXPECT_EQ(FormEncodeValue("Ł"), "%26%23321%3B");
}

TEST(FormEncoding, OneFieldStandsAloneAndSeveralEachEndInAmpersand) {
  EXPECT_EQ(FormBody({{"matchinfo", "<M a=\"1 2\"/>"}}), "matchinfo=%3CM+a%3D%221+2%22%2F%3E");
  EXPECT_EQ(FormBody({{"action", "<A/>"}, {"do", "multipleaction"}}), "action=%3CA%2F%3E&do=multipleaction&");
  EXPECT_EQ(FormBody({{"a", "1"}, {"b", ""}, {"c", "3"}}), "a=1&b=&c=3&");
  EXPECT_EQ(FormBody({}), "");

  const TFormFields tricky = {{"actions1", "a&b=c+d%e é\r\n"}, {"actions2", "€ <x/>"}};
  EXPECT_EQ(ParseFormText(FormBody(tricky)), tricky);
}

// ---- Base64 and the password cipher -----------------------------------------------------------

TEST(Base64, PaddingFollowsTheStoredFormat) {
  EXPECT_EQ(Base64Encode(""), "A===");
  EXPECT_EQ(Base64Encode("x"), "eA==");
  EXPECT_EQ(Base64Encode("xy"), "eHk=");
  EXPECT_EQ(Base64Encode("xyz"), "eHl6");
  EXPECT_EQ(Base64Encode(std::string("\0\xff", 2)), "AP8=");
  EXPECT_EQ(Base64Decode("A===").Value(), "");
  EXPECT_EQ(Base64Decode("eA==").Value(), "x");
}

TEST(Base64, DecodingRefusesBadLengths) {
  for (const char* text : {"", "A", "eA=", "eHl6e", "eHl6eHl"}) {
    const auto decoded = Base64Decode(text);
    ASSERT_FALSE(decoded) << text;
    EXPECT_EQ(decoded.Error(), "Base64ToStr: illegal input length!");
  }
}

TEST(Base64, AnyCharacterOutsideTheAlphabetCountsAs61) {
  EXPECT_EQ(Base64Decode("AA=A").Value(), std::string("\x00\x0F\x40", 3));
  EXPECT_EQ(Base64Decode("AA*A").Value(), Base64Decode("AA=A").Value());
  EXPECT_EQ(Base64Decode("AA9A").Value(), Base64Decode("AA=A").Value());  // '9' is 61 in the alphabet
}

TEST(Base64, EveryByteRoundTripsAtEveryLength) {
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>((i * 37 + length * 11) & 0xFF);
    const std::string text = Base64Encode(bytes);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(Base64Decode(text).Value(), bytes) << length;
  }
}

TEST(PasswordCipher, RoundTripsWhateverTheOperatorTypes) {
  for (const std::string& password : std::vector<std::string>{"", "a", "secreto", "contraseña", "Ünïcødé ключ 密码",
                                                                "with blank ", std::string(100, 'z')}) {
    const std::string stored = EncryptPassword(password);
    EXPECT_EQ(DecryptPassword(stored), password);
    EXPECT_EQ(Base64Decode(stored).Value().size(), password.size()) << "RC4 keeps the length";
    if (!password.empty()) {
      EXPECT_NE(Base64Decode(stored).Value(), password) << "stored in the clear";
    }
  }
  EXPECT_EQ(EncryptPassword(""), "A===");
  // Passwords stored by earlier runs must stay readable: RC4 keyed with the whole MD5 digest of
  // the pass phrase, computed independently.
  EXPECT_EQ(EncryptPassword("secreto"), "hU353gdSbw==");
  EXPECT_EQ(DecryptPassword("lUf02BBHcxgrhKk="), "contraseña");
  EXPECT_EQ(DecryptPassword(EncryptPassword(std::string("ab\0cd", 5))), "ab");
}

TEST(PasswordCipher, StoredTextThatCannotBeDecodedReadsAsEmpty) {
  EXPECT_EQ(DecryptPassword("abc"), "");
  EXPECT_EQ(DecryptPassword("abcde"), "");
  EXPECT_EQ(DecryptPassword(""), "");
}

// ---- Registry and settings ------------------------------------------------------------------------

class StoredCredentialsTest : public ::testing::Test {
 protected:
  std::optional<std::string> StoredValue(const char* name) const {
    const auto key = Registry.OpenKey("");
    return key ? key->ReadString(name) : std::nullopt;
  }
  void WriteProductValue(const char* name, const std::string& value) {
    TRegistryKey key;
    key.WriteString(name, value);
    ASSERT_TRUE(Registry.WriteKey("", key));
  }

  TTempFolder Temp;
  TRegistry Registry{Temp / "DravonES.json"};
};

TEST_F(StoredCredentialsTest, RememberedPasswordIsStoredEncipheredAndReadBack) {
  ASSERT_TRUE(StoreCredentials(Registry, {"http://stats.example/liga/", "ana", "contraseña"}, true));
  EXPECT_EQ(StoredValue("Password"), EncryptPassword("contraseña"));
  const TCredentials read = ReadCredentials(Registry);
  EXPECT_EQ(read.Url, "http://stats.example/liga/");
  EXPECT_EQ(read.UserName, "ana");
  EXPECT_EQ(read.Password, "contraseña");

  ASSERT_TRUE(StoreCredentials(Registry, {"u", "ana", ""}, true));
  EXPECT_EQ(StoredValue("Password"), "A===");
}

TEST_F(StoredCredentialsTest, UntickedRememberKeepsTheStoredPassword) {
  ASSERT_TRUE(StoreCredentials(Registry, {"http://a/", "ana", "old"}, true));
  ASSERT_TRUE(StoreCredentials(Registry, {"http://b/", "bea", "new"}, false));
  const TCredentials read = ReadCredentials(Registry);
  EXPECT_EQ(read.Url, "http://b/");
  EXPECT_EQ(read.UserName, "bea");
  EXPECT_EQ(read.Password, "old");

  TRegistry fresh(Temp / "other.json");
  ASSERT_TRUE(StoreCredentials(fresh, {"http://b/", "bea", "new"}, false));
  EXPECT_FALSE(fresh.OpenKey("")->HasValue("Password"));
}

TEST_F(StoredCredentialsTest, UnreadableStoredPasswordReadsEmptyAndTheRestStillReads) {
  EXPECT_EQ(ReadCredentials(Registry).Url, "");  // no key at all
  ASSERT_TRUE(StoreCredentials(Registry, {"http://a/", "ana", "x"}, false));
  for (const char* stored : {"abc", "abcde", "eHl6e"}) {
    WriteProductValue("Password", stored);
    const TCredentials read = ReadCredentials(Registry);
    EXPECT_EQ(read.Password, "") << stored;
    EXPECT_EQ(read.UserName, "ana");
  }
}

TEST_F(StoredCredentialsTest, AdministrationServiceIsTheWSValueOrTheServiceOnTheServerHost) {
  EXPECT_EQ(AuthServiceEndpoint(Registry, "http://stats.example:8080/liga/"),
            "http://stats.example:8080/dvadminws/dvadmin.asmx");
  EXPECT_EQ(AuthServiceEndpoint(Registry, "http://stats.example\\liga\\"), "http://stats.example/dvadminws/dvadmin.asmx");
  WriteProductValue("WS", "");
  EXPECT_EQ(AuthServiceEndpoint(Registry, "http://h/"), "http://h/dvadminws/dvadmin.asmx");
  WriteProductValue("WS", "http://admin.example/ws/auth.asmx");
  EXPECT_EQ(AuthServiceEndpoint(Registry, "http://h/"), "http://admin.example/ws/auth.asmx");
}

TEST_F(StoredCredentialsTest, InstalledVersionIsANumberOrZero) {
  EXPECT_EQ(ReadInstalledVersion(Registry), 0);
  WriteProductValue("VERSION", "42");
  EXPECT_EQ(ReadInstalledVersion(Registry), 42);
  WriteProductValue("VERSION", "4x");
  EXPECT_EQ(ReadInstalledVersion(Registry), 0);
}

TEST(ServerSettings, ReadTimeoutCountsMillisecondsWithAFloorOfOneSecond) {
  TConfiguration config("/opt/velmora");
  config.SetInt("read_timeout", 300);
  EXPECT_EQ(HttpSettingsOf(config).ReadTimeout, std::chrono::milliseconds(1000));
  config.SetInt("read_timeout", 2500);
  EXPECT_EQ(HttpSettingsOf(config).ReadTimeout, std::chrono::milliseconds(2500));

  EXPECT_EQ(HttpSettingsOf(config).ProxyHost, "");
  config.SetString("proxy_server", "  proxy.lan  ");
  EXPECT_EQ(HttpSettingsOf(config).ProxyHost, "") << "no port, no proxy";
  config.SetInt("proxy_port", 3128);
  EXPECT_EQ(HttpSettingsOf(config).ProxyHost, "proxy.lan");
  EXPECT_EQ(HttpSettingsOf(config).ProxyPort, 3128);
  config.SetString("proxy_server", "   ");
  EXPECT_EQ(HttpSettingsOf(config).ProxyHost, "");
}

TEST(ServerClient, PageUrlIsTheDefaultPageInTheServerFolder) {
  TConfiguration config("/opt/velmora");
  TInternetPlugin client(config, nullptr);
  const std::pair<const char*, const char*> cases[] = {
      {"http://h/liga/", "http://h/liga/default.asp"},
      {"http://h/liga", "http://h/liga/default.asp"},
      {"http://h\\liga\\", "http://h\\liga\\default.asp"},
      {"http://h/liga/default.asp", "http://h/liga/default.asp"},
      {"http://h/liga/Default.asp", "http://h/liga/Default.asp/default.asp"},  // compared with case
  };
  for (const auto& [server, page] : cases) {
    client.SetServerUrl(server);
    EXPECT_EQ(client.PageUrl(), page) << server;
  }
}

// ---- Requests of the server client -----------------------------------------------------------------

class ServerRequestsTest : public ::testing::Test {
 protected:
  ServerRequestsTest() {
    Client.SetServerUrl(Server.Url("/liga/"));
    Client.SetSession("{abc}");
    Client.SetRetryPause(std::chrono::milliseconds(2));
  }

  // The live send, which repeats until the server takes it; a send that never gets through fails
  // the test instead of hanging it.
  TSendOutcome SendLive(std::string_view game, const TActionList& batch, std::size_t first, std::size_t last) {
    auto sending = std::async(std::launch::async, [&] { return Client.SendActions(game, batch, first, last); });
    if (sending.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      Client.AbandonTransfers();
      ADD_FAILURE() << "the live send never got through";
    }
    return sending.get();
  }
  TLoopbackRequest OnlyRequest() {
    const auto requests = Server.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? TLoopbackRequest{} : requests.front();
  }
  // Short name and game clock of every action of a live batch.
  static std::vector<std::string> BatchOf(const TLoopbackRequest& request) {
    const TFormFields fields = ParseFormText(request.Body);
    EXPECT_EQ(fields.size(), 2u);
    EXPECT_EQ(*FindField(fields, "do"), "multipleaction");
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(FindField(fields, "action")->c_str()));
    std::vector<std::string> actions;
    for (const auto& element : document.child("ACTIONS").children("ACTION")) {
      actions.push_back(std::string(element.attribute("ShortName").value()) + "@" + element.attribute("GameTime").value());
    }
    return actions;
  }

  TConfiguration Config{"/opt/velmora"};
  TRecordingUserInterface Ui;
  std::atomic<int> FailuresLeft{0};  // answered with FailureStatus before the server gives in
  std::atomic<int> FailureStatus{500};
  std::string FailureBody = "busy";
  std::string Answer = "OK";
  TLoopbackHttpServer Server{[this](const TLoopbackRequest&) {
    if (FailuresLeft > 0) {
      --FailuresLeft;
      return TLoopbackReply::Text(FailureBody, FailureStatus);
    }
    return TLoopbackReply::Text(Answer);
  }};
  TInternetPlugin Client{Config, &Ui, 7};
  TActionFactory Make;
};

TEST_F(ServerRequestsTest, GameNumbersAreQueryEncodedInEveryRequest) {
  const std::string game = "A 1&x=é";
  TMatchInfo info;
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  Client.GetRemoteChecksum(game);
  (void)Client.GetActionList(game);
  EXPECT_TRUE(Client.GetMatchInfo(game, info, true));
  EXPECT_TRUE(Client.SendScoreConfirmation(game, 80, 75, "tel 600 & mail", "José Pérez"));
  EXPECT_TRUE(Client.SendActionList(game, "<ACTIONS/>", true));
  EXPECT_TRUE(SendLive(game, batch, 0, 0));
  (void)Client.UploadStatistics(game, "<BOXSCORE/>");

  const auto requests = Server.Requests();
  ASSERT_EQ(requests.size(), 7u);
  EXPECT_EQ(requests[0].Target, "/liga/default.asp?do=crc&game_number=A+1%26x%3D%E9&SESSIONID={abc}");
  // The live batch's address has its own order: the game first, the session last.
  EXPECT_EQ(requests[5].Target, "/liga/default.asp?game_number=A+1%26x%3D%E9&do=multipleaction&SESSIONID={abc}");
  for (const auto& request : requests) {
    const TFormFields query = ParseFormText(request.Query());
    ASSERT_TRUE(FindField(query, "game_number")) << request.Target;
    EXPECT_EQ(*FindField(query, "game_number"), game) << request.Target;
    // The statistics upload too: the server stores no box score without the game's session.
    EXPECT_NE(request.Target.find("SESSIONID={abc}"), std::string::npos) << request.Target;
    if (!request.Path().ends_with("/statistics.asp")) {
      EXPECT_EQ(request.Path(), "/liga/default.asp");
    }
  }
  const TFormFields score = ParseFormText(requests[3].Query());
  EXPECT_EQ(*FindField(score, "name"), "José Pérez");
  EXPECT_EQ(*FindField(score, "contacts"), "tel 600 & mail");
  EXPECT_EQ(*FindField(score, "score_a"), "80");
  EXPECT_EQ(*FindField(ParseFormText(requests[2].Query()), "get_initial"), "1");
  EXPECT_EQ(*FindField(ParseFormText(requests[4].Query()), "append"), "1");
  EXPECT_EQ(requests[6].Path(), "/liga//statistics.asp");
  EXPECT_EQ(requests[6].Body, "boxscore=%3CBOXSCORE%2F%3E");
  EXPECT_EQ(requests[6].Header("content-type"), "application/x-www-form-urlencoded");

  Server.ClearRequests();
  EXPECT_TRUE(Client.Ping());
  EXPECT_EQ(OnlyRequest().Target, "/liga/default.asp?do=ping&version=7");
}

TEST_F(ServerRequestsTest, ActionListIsPostedIn40000CharacterPiecesEachInTheCodePage) {
  // 90000 characters, two of them outside ASCII right at the ends of pieces.
  const std::string first = std::string(39999, 'a') + "é";
  const std::string second(40000, 'b');
  const std::string third = std::string(9999, 'c') + "€";
  ASSERT_TRUE(Client.SendActionList("G-1", first + second + third, false));
  const TLoopbackRequest request = OnlyRequest();
  EXPECT_EQ(*FindField(ParseFormText(request.Query()), "append"), "0");
  const TFormFields fields = ParseFormText(request.Body);
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0], (std::pair<std::string, std::string>("actions1", first)));
  EXPECT_EQ(fields[1], (std::pair<std::string, std::string>("actions2", second)));
  EXPECT_EQ(fields[2], (std::pair<std::string, std::string>("actions3", third)));
  EXPECT_TRUE(request.Body.ends_with("%80&"));
  EXPECT_NE(request.Body.find("%E9&actions2="), std::string::npos);

  Server.ClearRequests();
  ASSERT_TRUE(Client.SendActionList("G-1", "<ACTIONS/>", false));
  EXPECT_EQ(OnlyRequest().Body, "actions1=%3CACTIONS%2F%3E");

  Server.ClearRequests();
  ASSERT_TRUE(Client.SendActionList("G-1", "", false));
  EXPECT_EQ(OnlyRequest().Body, "") << "an empty list clears the server's copy";
}

TEST_F(ServerRequestsTest, LowBandwidthSendsOnlyClockTicksOnTheTwentySecondMarks) {
  Config.SetInt("low_bandwidth", 1);
  const int minute5 = 5 * 60;
  TActionList ticks;
  ticks.push_back(Make.Make("clock", minute5 + 13, {}));
  ticks.push_back(Make.Make("clock", minute5 + 14, {}));
  EXPECT_FALSE(SendLive("G-1", ticks, 0, 1));
  EXPECT_EQ(Server.RequestCount(), 0u);

  TActionList mixed;
  mixed.push_back(Make.Make("clock", minute5 + 13, {}));
  mixed.push_back(Make.Make("clock", minute5 + 20, {}));
  mixed.push_back(Make.Make("clock", minute5 + 13, {}));
  mixed.back()->System = true;
  mixed.push_back(Make.Shot(minute5 + 14, 1, 4, "Made", 2));
  mixed.push_back(Make.Make("clock", minute5 + 14, {}));
  mixed.push_back(Make.Make("clock", minute5 + 30, {}));
  mixed.push_back(Make.Make("clock", minute5 + 40, {}));
  mixed.push_back(Make.Make("clock", minute5 + 60, {}));
  EXPECT_TRUE(SendLive("G-1", mixed, 0, 7));
  EXPECT_EQ(BatchOf(OnlyRequest()), (std::vector<std::string>{"clock@00:05:20", "clock@00:05:13", "shot@00:05:14",
                                                              "clock@00:05:40", "clock@00:06:00"}));
  EXPECT_TRUE(OnlyRequest().Body.ends_with("&do=multipleaction&"));

  Server.ClearRequests();
  Config.SetInt("low_bandwidth", 0);
  EXPECT_TRUE(SendLive("G-1", ticks, 1, 1));
  EXPECT_EQ(BatchOf(OnlyRequest()), std::vector<std::string>{"clock@00:05:14"});
}

TEST_F(ServerRequestsTest, FailedLiveSendIsRepeatedWithTheSameBatchUntilTaken) {
  FailuresLeft = 3;
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  batch.push_back(Make.Foul(12, 2, 5, 4));
  EXPECT_TRUE(SendLive("G-1", batch, 0, 1));
  const auto requests = Server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  for (const auto& request : requests) EXPECT_EQ(request.Body, requests.back().Body);
  EXPECT_EQ(BatchOf(requests.back()).size(), 2u);
  EXPECT_TRUE(Ui.Messages.empty()) << "the live send retries silently";
}

TEST_F(ServerRequestsTest, ALiveSendRefusedForGoodComesBackAtOnceAndAnyOtherFailureIsRepeated) {
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  FailureBody = "sesi\xF3n caducada";  // the server's code page
  for (const int status : {400, 403, 404, 413}) {
    Server.ClearRequests();
    FailuresLeft = 1'000'000;
    FailureStatus = status;
    const TSendOutcome outcome = SendLive("G-1", batch, 0, 0);
    EXPECT_EQ(outcome.Kind, TSendOutcome::TKind::Refused) << status;
    EXPECT_EQ(outcome.Refusal.Status, status);
    EXPECT_EQ(outcome.Refusal.Answer, "sesión caducada");
    EXPECT_EQ(Server.RequestCount(), 1u) << status << " is not asked again";
  }
  // A busy or failing server, one that timed out or throttles: sent again until it takes it.
  for (const int status : {408, 429, 500, 502, 503}) {
    Server.ClearRequests();
    FailuresLeft = 2;
    FailureStatus = status;
    EXPECT_TRUE(SendLive("G-1", batch, 0, 0)) << status;
    EXPECT_EQ(Server.RequestCount(), 3u) << status;
  }
  EXPECT_TRUE(Ui.Messages.empty()) << "the live window tells the operator, not a message box";
}

TEST_F(ServerRequestsTest, ABoundedLiveSendGivesUpAfterItsDeadline) {
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  Client.BoundSendRetries(std::chrono::milliseconds(300));
  FailuresLeft = 1'000'000;
  FailureStatus = 500;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Client.SendActions("G-1", batch, 0, 0).Kind, TSendOutcome::TKind::GivenUp);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_GT(Server.RequestCount(), 1u) << "tried until the deadline";
  EXPECT_NE(Client.GiveUpReason().find("HTTP 500"), std::string::npos) << Client.GiveUpReason();
  EXPECT_TRUE(Ui.Messages.empty());
}

TEST_F(ServerRequestsTest, ANewLoginTakesEffectAtTheNextAttemptOfALiveSend) {
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  FailuresLeft = 1'000'000;
  FailureStatus = 503;
  auto sending = std::async(std::launch::async, [&] { return Client.SendActions("G-1", batch, 0, 0); });
  ASSERT_TRUE(Server.WaitForRequests(2, std::chrono::seconds(10)));
  TTempFolder folder;
  TRegistry registry(folder / "registry.json");
  TLoginOutcome outcome;
  outcome.ServerUrl = Server.Url("/liga/");
  outcome.SessionId = "{new}";
  EXPECT_TRUE(Client.TakeOverLogin(outcome, {outcome.ServerUrl, "ana", "clave"}, true, registry));
  FailuresLeft = 0;
  ASSERT_EQ(sending.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(sending.get());
  const auto requests = Server.Requests();
  EXPECT_NE(requests.front().Target.find("SESSIONID={abc}"), std::string::npos);
  EXPECT_NE(requests.back().Target.find("SESSIONID={new}"), std::string::npos) << requests.back().Target;
  EXPECT_EQ(ReadCredentials(registry).Password, "clave");
}

TEST_F(ServerRequestsTest, SessionRequestsTryThreeTimesThenReport) {
  FailuresLeft = 2;
  Answer = "0123456789abcdef0123456789abcdef";
  EXPECT_EQ(Client.GetRemoteChecksum("G-1"), Answer);
  EXPECT_EQ(Server.RequestCount(), 3u);

  Server.ClearRequests();
  FailuresLeft = 1000;
  EXPECT_EQ(Client.GetRemoteChecksum("G-1"), "");
  EXPECT_EQ(Server.RequestCount(), 3u);
  ASSERT_EQ(Ui.Messages.size(), 1u);
  EXPECT_EQ(Ui.Messages[0].first, "Exception while getting checksum from remote server.");

  TMatchInfo info;
  const TStatus fetched = Client.GetMatchInfo("G-1", info, false);
  ASSERT_FALSE(fetched);
  EXPECT_EQ(fetched.Error(), "Failed to get match info.\r\nPlease try logging in again.");
  const auto list = Client.GetActionList("G-1");
  ASSERT_FALSE(list.Ok());
  EXPECT_NE(list.Error().find("HTTP 500"), std::string::npos) << list.Error();

  Server.ClearRequests();
  EXPECT_FALSE(Client.Ping());
  EXPECT_EQ(Server.RequestCount(), 1u) << "the keep-alive ping is not repeated";
  const auto upload = Client.UploadStatistics("G-1", "<BOXSCORE/>");
  ASSERT_FALSE(upload.Ok());
  EXPECT_NE(upload.Error().find("500"), std::string::npos);
}

TEST_F(ServerRequestsTest, ActionListAnswerKeepsTheWallClockOfEachAction) {
  Answer = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><ACTIONS>"
           "<ACTION ID=\"{11111111-1111-1111-1111-111111111111}\" ShortName=\"shot\" GameTime=\"01:01:00\" "
           "AstroTime=\"19:30:05\"/><NOTE ShortName=\"shot\"/>"
           "<ACTION ID=\"{22222222-2222-2222-2222-222222222222}\" ShortName=\"foul\" GameTime=\"01:01:00\" "
           "AstroTime=\"19:30:02\"/></ACTIONS>";
  const auto actions = Client.GetActionList("G-1");
  ASSERT_TRUE(actions.Ok()) << actions.Error();
  ASSERT_EQ(actions.Value().size(), 2u) << "only ACTION elements are actions";
  EXPECT_EQ(FormatLongTime(actions.Value()[0]->AstroTime), "19:30:05");
  EXPECT_EQ(FormatLongTime(actions.Value()[1]->AstroTime), "19:30:02");
  EXPECT_EQ(FormatLongTime(actions.Value()[1]->GameTime), "01:01:00");

  Answer = "<html>maintenance</html";
  EXPECT_FALSE(Client.GetActionList("G-1").Ok());

  // One absurd period number refuses the whole list.
  Answer = "<ACTIONS><ACTION ShortName=\"shot\" GameTime=\"00:01:00\"/><ACTION ShortName=\"quarter\" "
           "GameTime=\"00:02:00\"><PARAM Name=\"Quarter\" Type=\"number\" Data=\"2147483647\"/></ACTION></ACTIONS>";
  const auto absurd = Client.GetActionList("G-1");
  ASSERT_FALSE(absurd.Ok());
  EXPECT_NE(absurd.Error().find("\"2147483647\""), std::string::npos) << absurd.Error();
}

TEST_F(ServerRequestsTest, MatchInfoTextReachesTheServerWithItsLineBreaks) {
  TMatchInfo info = MakeMatchInfo(2);
  info.Field = "Pabellón\r\nNorte";
  ASSERT_TRUE(Client.UpdateMatchInfo(info));
  const TLoopbackRequest request = OnlyRequest();
  EXPECT_EQ(request.Body.find('&'), std::string::npos);
  EXPECT_EQ(request.Body.find('\n'), std::string::npos);
  // The server undoes the form encoding and then the "%0A"/"%0D" sequences.
  std::string text = *FindField(ParseFormText(request.Body), "matchinfo");
  for (const auto& [sequence, character] : {std::pair{"%0A", "\n"}, std::pair{"%0D", "\r"}}) {
    for (std::size_t at = text.find(sequence); at != std::string::npos; at = text.find(sequence)) {
      text.replace(at, 3, character);
    }
  }
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(text.c_str(), pugi::parse_default & ~(pugi::parse_wconv_attribute | pugi::parse_eol)));
  TMatchInfo read;
  read.ReadXml(document.document_element());
  EXPECT_EQ(read.Field, info.Field);
  EXPECT_EQ(read.Team2.Name, info.Team2.Name);

  Server.ClearRequests();
  FailuresLeft = 1;
  EXPECT_FALSE(Client.UpdateMatchInfo(info));
  EXPECT_EQ(Server.RequestCount(), 1u);
  ASSERT_EQ(Ui.Messages.size(), 1u);
  EXPECT_EQ(Ui.Messages[0].first, kApplicationTitle);
}

// ---- Login ----------------------------------------------------------------------------------------

class LoginTest : public ::testing::Test {
 protected:
  TLoopbackReply Serve(const TLoopbackRequest& request) {
    if (request.Path() == "/dvadminws/dvadmin.asmx") {
      if (!Session) return TLoopbackReply::Text(SoapFaultEnvelope("Server", "base de datos caída"), 500);
      return TLoopbackReply::Text(SoapResponseEnvelope("ValidateUser", *Session));
    }
    if (request.Query() == "do=ping") {
      TLoopbackReply reply = TLoopbackReply::Text(Pong);
      reply.Delay = PingDelay;
      return reply;
    }
    if (request.Query().starts_with("do=get_active_games&")) return TLoopbackReply::Text(Games, GamesStatus);
    return TLoopbackReply::Text("unexpected", 404);
  }
  TResult<TLoginOutcome> Login(const std::string& url) {
    return RunLogin({url, "ana", "contraseña"}, Config, Registry, Ui);
  }
  std::size_t RequestsTo(std::string_view path) const {
    std::size_t count = 0;
    for (const auto& request : Server.Requests()) count += request.Path() == path;
    return count;
  }

  std::string Pong = "pong";
  std::chrono::milliseconds PingDelay{0};
  std::optional<std::string> Session = "s-1";  // none: a SOAP fault
  std::string Games = "<GAMES/>";
  int GamesStatus = 200;
  TTempFolder Temp;
  TRegistry Registry{Temp / "DravonES.json"};
  TConfiguration Config{"/opt/velmora"};
  TRecordingUserInterface Ui;
  TLoopbackHttpServer Server{[this](const TLoopbackRequest& request) { return Serve(request); }};
};

TEST_F(LoginTest, PingMustAnswerExactlyPong) {
  for (const char* answer : {"pong\n", "pong ", "PONG", " pong", ""}) {
    Pong = answer;
    const auto outcome = Login(Server.Url("/liga/"));
    ASSERT_FALSE(outcome) << answer;
    EXPECT_EQ(outcome.Error(), "El servidor no está accesible.");
  }
  EXPECT_EQ(RequestsTo("/dvadminws/dvadmin.asmx"), 0u) << "no validation after a failed ping";

  Server.Stop();
  const auto unreachable = Login(Server.Url("/liga/"));
  ASSERT_FALSE(unreachable);
  EXPECT_TRUE(unreachable.Error().starts_with("El servidor no está accesible.\n\r")) << unreachable.Error();
  EXPECT_GT(unreachable.Error().size(), std::string("El servidor no está accesible.\n\r").size());
}

TEST_F(LoginTest, RefusedOrFailedValidationEndsTheLogin) {
  Session = "";
  auto outcome = Login(Server.Url("/liga/"));
  ASSERT_FALSE(outcome);
  EXPECT_EQ(outcome.Error(), "Fallo en la sesión. No hay más información disponible");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{outcome.Error()});

  Ui.Messages.clear();
  Session.reset();
  outcome = Login(Server.Url("/liga/"));
  ASSERT_FALSE(outcome);
  EXPECT_EQ(Ui.Texts(), (std::vector<std::string>{
                         "Se produjo una excepción al intentar hacer login en el servidor base de datos caída",
                         "Fallo en la sesión. No hay más información disponible"}));
  for (const auto& request : Server.Requests()) EXPECT_FALSE(request.Query().starts_with("do=get_active_games"));
}

TEST_F(LoginTest, SessionComesInBracesAndTheGamesListIsRead) {
  Games = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><GAMES>"
          "<GAME GameNumber=\"G-1\" Team1_ID=\"101\" Team2_ID=\"102\" Team1_Name=\"Norte\" Team2_Name=\"M\xFCller\" "
          "Time=\"2024.03.14 18:30:00\"/>"
          "<GAME GameNumber=\"\" Team1_Name=\"empty number\"/>"
          "<GAME Team1_Name=\"no number\"/>"
          "<GAME GameNumber=\"G 2\" Time=\"mañana\"/></GAMES>";
  const auto outcome = Login(Server.Url("/liga"));
  ASSERT_TRUE(outcome) << outcome.Error();
  EXPECT_EQ(outcome.Value().ServerUrl, Server.Url("/liga/"));
  EXPECT_EQ(outcome.Value().SessionId, "{s-1}");

  const auto requests = Server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Target, "/liga/?do=ping");
  const auto soap = ParseSoapRequest(requests[1].Body);
  ASSERT_TRUE(soap);
  EXPECT_EQ(soap.Value().Parameters, (TFormFields{{"user", "ana"}, {"pass", "contraseña"}}));
  EXPECT_EQ(requests[1].Header("soapaction"), "\"http://tempuri.org/ValidateUser\"");
  EXPECT_EQ(requests[2].Target, "/liga/?do=get_active_games&SESSIONID={s-1}");

  const auto& games = outcome.Value().Games;
  ASSERT_EQ(games.size(), 2u);
  EXPECT_EQ(games[0].GameNumber, "G-1");
  EXPECT_EQ(games[0].Team1.ID, "101");
  EXPECT_EQ(games[0].Team2.ID, "102");
  EXPECT_EQ(games[0].Team2.Name, "Müller");
  EXPECT_EQ(games[0].Time, *EncodeDate(2024, 3, 14) + EncodeTime(18, 30, 0));
  EXPECT_EQ(games[1].GameNumber, "G 2");
  EXPECT_EQ(games[1].Time, 0);
  EXPECT_TRUE(Ui.Messages.empty());
}

TEST_F(LoginTest, GamesListMustBeAGamesDocument) {
  const std::string refusal =
      "No puede recuperar la lista del partido.\rLa sesión puede haber caducado.\rPor favor inicie de nuevo la sesión.";
  for (const auto& [body, status] : {std::pair{"<ERROR/>", 200}, std::pair{"<GAMES/>", 500}, std::pair{"GAMES", 200}}) {
    Games = body;
    GamesStatus = status;
    const auto outcome = Login(Server.Url("/liga/"));
    ASSERT_FALSE(outcome) << body;
    EXPECT_EQ(outcome.Error(), refusal);
  }

  Games = "<GAMES/>";
  GamesStatus = 200;
  Ui.Messages.clear();
  const auto outcome = Login(Server.Url("/liga/"));
  ASSERT_TRUE(outcome) << "no games is no reason to refuse";
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"No hay partidos disponibles para este usuario"});
}

TEST_F(LoginTest, TakingOverMergesTheGamesAndStoresTheCredentials) {
  ASSERT_TRUE(StoreCredentials(Registry, {"old", "old", "kept"}, true));
  TObjectHash<TMatchInfo> games;
  auto local = std::make_unique<TMatchInfo>(MakeMatchInfo(2, "G-1"));
  local->Place = "local copy";
  games.Set("G-1", std::move(local));
  games.Set("L-1", std::make_unique<TMatchInfo>(MakeMatchInfo(2, "L-1")));

  TLoginOutcome outcome;
  outcome.ServerUrl = Server.Url("/liga/");
  outcome.SessionId = "{s-9}";
  outcome.Games = {MakeMatchInfo(2, "G-1"), MakeMatchInfo(2, "S-1")};
  outcome.Games[0].Place = "server copy";
  TInternetPlugin client(Config, &Ui);
  ASSERT_TRUE(client.Login(games, outcome, {"typed", "ana", "new"}, false, Registry));

  EXPECT_EQ(games.Get("G-1").Availability, kLocalAndOnline);
  EXPECT_EQ(games.Get("G-1").Place, "local copy");
  EXPECT_EQ(games.Get("S-1").Availability, kOnlineOnly);
  EXPECT_EQ(games.Get("L-1").Availability, kLocalOnly);
  EXPECT_EQ(client.SessionId(), "{s-9}");
  EXPECT_EQ(client.PageUrl(), Server.Url("/liga/default.asp"));
  const TCredentials stored = ReadCredentials(Registry);
  EXPECT_EQ(stored.UserName, "ana");
  EXPECT_EQ(stored.Password, "kept");
}

TEST_F(LoginTest, CancellingEndsAHangingLoginAtOnceAndSilently) {
  PingDelay = std::chrono::minutes(1);
  std::atomic<bool> cancel{false};
  auto login = std::async(std::launch::async, [&] {
    return RunLogin({Server.Url("/liga/"), "ana", "x"}, Config, Registry, Ui, &cancel);
  });
  ASSERT_TRUE(Server.WaitForRequests(1, std::chrono::seconds(5)));
  EXPECT_EQ(login.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "the ping hangs";
  cancel = true;
  ASSERT_EQ(login.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_FALSE(login.get());
  EXPECT_TRUE(Ui.Messages.empty()) << "a cancelled login shows nothing";
}


// A password of spaces, or an answer of one blank, is a value like any other.
TEST(SoapEnvelopes, ValuesOfBlanksAloneComeBackAsTheyWere) {
  const auto call = ParseSoapRequest(SoapRequestEnvelope("ValidateUser", {{"user", "alice"}, {"password", "   "}}));
  ASSERT_TRUE(call.Ok()) << call.Error();
  EXPECT_EQ(call.Value().Parameters, (TFormFields{{"user", "alice"}, {"password", "   "}}));
  const auto result = ParseSoapResult(SoapResponseEnvelope("ExportToSIMS", " "), "ExportToSIMS");
  ASSERT_TRUE(result.Ok()) << result.Error();
  EXPECT_EQ(result.Value(), " ");
}

}  // namespace
}  // namespace velmora::testing
