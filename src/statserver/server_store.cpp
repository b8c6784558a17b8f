#include "server_store.h"

#include <pugixml.hpp>

#include "game_tables.h"
#include "login_throttle.h"
#include "passwords.h"
#include "postgres_engine.h"
#include "records/date_time.h"
#include "records/xml_text.h"
#include "sqlite_engine.h"

namespace velmora::statserver {

namespace {

std::string NowText() { return FormatDateTime(Now()); }

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// An action that the store inserts as an event of its own.
bool IsNewEvent(const TAction& action) {
  const std::string& kind = action.ShortName;
  return kind != "edit" && kind != "delete" && kind != "clock" && kind != "complete";
}

// The period settings a client sent; a value no game has (a period longer than an hour, more
// periods than a game can reach) leaves the default in place.
TPeriodSettings PeriodsOf(const pugi::xml_node& matchInfo) {
  TPeriodSettings periods;
  const auto read = [&](const char* name, int& value, int most) {
    const int number = matchInfo.attribute(name).as_int(0);
    if (number > 0 && number <= most) value = number;
  };
  read("cfg_no_of_quarters", periods.NoOfQuarters, kMaxPeriod);
  read("cfg_quarter_duration", periods.QuarterDuration, 60);
  read("cfg_overtime_duration", periods.OvertimeDuration, 60);
  return periods;
}

TStatus RefusalOf(const TActionList& actions) {
  for (const auto& action : actions) {
    if (TStatus bounded = CheckActionBounds(*action); !bounded) return bounded;
  }
  return {};
}

// Failed logins in the database, for server processes that share it; on the wall clock, which the
// machines of a federation keep alike.
class TStoredLoginRecords final : public TLoginRecords {
 public:
  TStoredLoginRecords(TStorageEngine& engine, std::function<double()> clock)
      : Engine_(engine), Clock_(clock ? std::move(clock) : WallSeconds) {}

  bool Change(std::string_view user, std::string_view address, const TChange& change) override {
    return Engine_
        .Write([&](TSqlConnection& db) -> TChangeStatus {
          db.Run("INSERT INTO svLoginFailures (kind, key, count, last, not_before) VALUES "
                 "('address', ?, 0, 0, 0), ('user', ?, 0, 0, 0) ON CONFLICT (kind, key) DO NOTHING",
                 {address, user});
          // Locks both rows for the rest of the transaction.
          db.Run("UPDATE svLoginFailures SET count=count WHERE (kind='address' AND key=?) OR (kind='user' AND key=?)",
                 {address, user});
          TLoginFailures failures[2];  // address, user
          {
            auto rows = db.Query(
                "SELECT kind, count, last, not_before FROM svLoginFailures "
                "WHERE (kind='address' AND key=?) OR (kind='user' AND key=?)",
                {address, user});
            while (rows->Next()) {
              TLoginFailures& read = failures[rows->Text(0) == "user" ? 1 : 0];
              read = {static_cast<int>(rows->Integer(1)), rows->RealIfReadable(2).value_or(0),
                      rows->RealIfReadable(3).value_or(0)};
            }
          }
          const double now = Clock_();
          change(failures[1], failures[0], now);
          for (const auto& [kind, key, failure] :
               {std::tuple{"address", address, failures[0]}, std::tuple{"user", user, failures[1]}}) {
            if (failure.Count == 0 && failure.NotBefore <= now) {
              db.Run("DELETE FROM svLoginFailures WHERE kind=? AND key=?", {kind, key});
            } else {
              db.Run("UPDATE svLoginFailures SET count=?, last=?, not_before=? WHERE kind=? AND key=?",
                     {failure.Count, failure.Last, failure.NotBefore, kind, key});
            }
          }
          return TStatus{};
        })
        .Ok();
  }

  void Forget(double seconds) override {
    const double now = Clock_();
    (void)Engine_.Write([&](TSqlConnection& db) -> TChangeStatus {
      db.Run("DELETE FROM svLoginFailures WHERE last<? AND not_before<?", {now - seconds, now});
      return TStatus{};
    });
  }

 private:
  TStorageEngine& Engine_;
  std::function<double()> Clock_;
};

}  // namespace

TResult<std::unique_ptr<TServerStore>> TServerStore::Open(const std::string& location,
                                                          const std::filesystem::path& templateFile,
                                                          int connections) {
  std::unique_ptr<TStorageEngine> engine;
  if (IsPostgresLocation(location)) {
    auto opened = TPostgresEngine::Open(location, connections);
    if (!opened) return TError{opened.Error()};
    engine = std::move(opened.Value());
  } else {
    auto opened = TSqliteEngine::Open(location, templateFile);
    if (!opened) return TError{opened.Error()};
    engine = std::move(opened.Value());
  }
  std::unique_ptr<TServerStore> store(new TServerStore(std::move(engine)));
  // The database's own name, made once by whichever process comes first.
  const std::string candidate = RandomToken().substr(0, 12);
  const TChangeStatus named = store->Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svInfo (name, value) VALUES ('id', ?) ON CONFLICT (name) DO NOTHING", {candidate});
    auto tag = db.Query("SELECT value FROM svInfo WHERE name='id'");
    if (!tag->Next()) return TStatus(TError{"the database has no name"});
    store->Tag_ = tag->Text(0);
    return TStatus{};
  });
  if (!named) return TError{"cannot prepare the server tables: " + named.Error()};
  return store;
}

TServerStore::TServerStore(std::unique_ptr<TStorageEngine> engine) : Engine_(std::move(engine)) {
  SetLoginClock(nullptr);
  Catalogue_.LoadCatalogue();
}

void TServerStore::SetLoginClock(std::function<double()> seconds) {
  if (Engine_->Shared()) {
    LoginRecords_ = std::make_unique<TStoredLoginRecords>(*Engine_, std::move(seconds));
  } else {
    LoginRecords_ = std::make_unique<TLocalLoginRecords>(std::move(seconds));
  }
}

TServerStore::~TServerStore() = default;

bool TServerStore::Bump(TSqlConnection& db, std::string_view gameNumber, std::int64_t& revision) {
  const auto bumped = Engine_->Bump(db, gameNumber);
  if (bumped) revision = *bumped;
  return bumped.has_value();
}

void TServerStore::Remember(std::string_view gameNumber, std::optional<std::int64_t> revision) {
  if (Engine_->RevisionMemory().count() == 0) return;
  const std::lock_guard guard(RevisionsLock_);
  // Games nobody asks for any more (or that never were) are not kept for ever.
  if (Revisions_.size() > 100'000) Revisions_.clear();
  TKnownRevision& known = Revisions_[std::string(gameNumber)];
  // Revisions only grow: of two changes committed at once, the later one stands.
  if (revision && known.Revision && *known.Revision > *revision) return;
  known = {revision, std::chrono::steady_clock::now()};
}

TStatus TServerStore::AddUser(std::string_view name, std::string_view password) {
  if (name.empty()) return TError{"a user needs a name"};
  const TPasswordHash hash = HashPassword(password);
  const TChangeStatus added = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svUsers (name, salt, hash, iterations) VALUES (?,?,?,?) ON CONFLICT (name) DO UPDATE "
           "SET salt=excluded.salt, hash=excluded.hash, iterations=excluded.iterations",
           {name, TSqlValue::Blob(hash.Salt), TSqlValue::Blob(hash.Hash), hash.Iterations});
    // Whoever logged in with the old password is logged out.
    db.Run("DELETE FROM svSessions WHERE user_id=(SELECT id FROM svUsers WHERE name=?)", {name});
    return TStatus{};
  });
  return added ? TStatus{} : TStatus(TError{added.Error()});
}

std::optional<std::int64_t> TServerStore::CheckUser(std::string_view name, std::string_view password) {
  TPasswordHash stored;
  std::optional<std::int64_t> id;
  try {
    Engine_->Read([&](TSqlConnection& db) {
      auto user = db.Query("SELECT id, salt, hash, iterations FROM svUsers WHERE name=?", {name});
      if (!user->Next()) return;
      id = user->Integer(0);
      stored = TPasswordHash{user->Blob(1), user->Blob(2), static_cast<int>(user->Integer(3))};
    });
  } catch (const ESqlError&) {
    id.reset();
  }
  // The hash is slow on purpose; other requests go on meanwhile. An unknown user is answered no
  // sooner than a known one, so the time tells nobody which users exist.
  if (!VerifyPassword(password, id ? stored : UnknownUserHash())) return std::nullopt;
  return id;
}

TChangeStatus TServerStore::Publish(const TMatchInfo& matchInfo, std::string_view matchInfoXml,
                                    const TActionList* actions, std::string_view userName) {
  if (actions) {
    if (TStatus bounded = RefusalOf(*actions); !bounded) return TChangeStatus::Refusal(bounded.Error());
  }
  std::int64_t revision = 0;
  const TChangeStatus published = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    std::int64_t userId = 0;
    {
      auto user = db.Query("SELECT id FROM svUsers WHERE name=?", {userName});
      if (!user->Next()) return TStatus(TError{"no user named \"" + std::string(userName) + "\""});
      userId = user->Integer(0);
    }
    if (FindGame(db, matchInfo.GameNumber).Id != 0) {
      return TStatus(TError{"game \"" + matchInfo.GameNumber + "\" is published already"});
    }
    StoreMatchInfo(db, matchInfo);
    if (actions) {
      TDateTime clock = matchInfo.CurrentGameTime;
      statserver::SaveActionList(db, FindGame(db, matchInfo.GameNumber).Id, *actions, false, clock);
    }
    revision = Engine_->NextRevision(db);
    db.Run("INSERT INTO svGames (game_number, user_id, initial_matchinfo, current_matchinfo, published, revision) "
           "VALUES (?,?,?,?,?,?)",
           {matchInfo.GameNumber, userId, matchInfoXml, matchInfoXml, NowText(), revision});
    return TStatus{};
  });
  if (published) Remember(matchInfo.GameNumber, revision);
  return published;
}

TStatus TServerStore::Unpublish(std::string_view gameNumber) {
  const TChangeStatus removed = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("DELETE FROM svGames WHERE game_number=?", {gameNumber});
    DeleteGame(db, gameNumber);
    for (const char* received : {"DELETE FROM svScores WHERE game_number=?", "DELETE FROM svBoxScores WHERE game_number=?",
                                 "DELETE FROM svExports WHERE game_number=?"}) {
      db.Run(received, {gameNumber});
    }
    return TStatus{};
  });
  if (removed) Remember(gameNumber, std::nullopt);
  return removed ? TStatus{} : TStatus(TError{removed.Error()});
}

std::optional<std::int64_t> TServerStore::OwnerOf(std::string_view gameNumber) {
  std::optional<std::int64_t> owner;
  try {
    Engine_->Read([&](TSqlConnection& db) {
      auto game = db.Query("SELECT user_id FROM svGames WHERE game_number=?", {gameNumber});
      if (game->Next()) owner = game->Integer(0);
    });
  } catch (const ESqlError&) {
    owner.reset();
  }
  return owner;
}

std::vector<TGameSummary> TServerStore::GamesOf(std::optional<std::int64_t> userId) {
  std::vector<TGameSummary> games;
  const std::string select =
      "SELECT S.game_number, G.team1_fna_id, G.team2_fna_id, G.team1_name, G.team2_name, G.time "
      "FROM svGames S JOIN dvGames G ON G.game_number=S.game_number ";
  const std::string order = " ORDER BY G.time DESC, S.game_number";
  try {
    Engine_->Read([&](TSqlConnection& db) {
      auto rows = userId ? db.Query(select + "WHERE S.user_id=?" + order, {*userId}) : db.Query(select + order);
      while (rows->Next()) {
        games.push_back({rows->Text(0), rows->Text(1), rows->Text(2), rows->Text(3), rows->Text(4), rows->Text(5)});
      }
    });
  } catch (const ESqlError&) {
    games.clear();
  }
  return games;
}

std::optional<std::string> TServerStore::MatchInfoXml(std::string_view gameNumber, bool initial) {
  std::optional<std::string> xml;
  TDateTime clock = 0;
  try {
    Engine_->Read(
        [&](TSqlConnection& db) {
          auto game = db.Query("SELECT initial_matchinfo, current_matchinfo FROM svGames WHERE game_number=?",
                               {gameNumber});
          if (!game->Next()) return;
          xml = game->Text(initial ? 0 : 1);
          clock = FindGame(db, gameNumber).Clock;
        },
        true);
  } catch (const ESqlError&) {
    return std::nullopt;
  }
  if (!xml || initial) return xml;
  pugi::xml_document document;
  if (!document.load_string(xml->c_str())) return xml;
  pugi::xml_node root = document.document_element();
  pugi::xml_attribute attribute = root.attribute("CurrentGameTime");
  if (!attribute) attribute = root.append_attribute("CurrentGameTime");
  attribute = FormatLongTime(clock).c_str();
  return XmlText(root);
}

TStatus TServerStore::UpdateMatchInfo(const TMatchInfo& matchInfo, std::string_view xml) {
  std::int64_t revision = 0;
  const TChangeStatus updated = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    if (!Bump(db, matchInfo.GameNumber, revision)) {
      return TStatus(TError{"game \"" + matchInfo.GameNumber + "\" is not published"});
    }
    db.Run("UPDATE svGames SET current_matchinfo=? WHERE game_number=?", {xml, matchInfo.GameNumber});
    StoreMatchInfo(db, matchInfo);
    return TStatus{};
  });
  if (updated) Remember(matchInfo.GameNumber, revision);
  return updated ? TStatus{} : TStatus(TError{updated.Error()});
}

TStatus TServerStore::CheckBounds(TSqlConnection& db, std::int64_t gameId, const TActionList& actions) {
  // Kinds of the batch's own new actions, which a later edit in it may change.
  std::unordered_map<std::string, std::string> batchKinds;
  for (const auto& action : actions) {
    if (action->ShortName != "edit") {
      if (TStatus bounded = CheckActionBounds(*action); !bounded) return bounded;
      if (IsNewEvent(*action)) batchKinds[action->ID] = action->ShortName;
      continue;
    }
    // An edit is stored by parameter position over the action it edits: it is checked as that
    // action would stand afterwards.
    const auto inBatch = batchKinds.find(action->ID);
    const std::string kind = inBatch != batchKinds.end() ? inBatch->second : StoredKind(db, gameId, action->ID);
    const TAction* entry = Catalogue_.Entry(kind);
    if (!entry) continue;
    TAction edited(*entry);
    edited.ID = action->ID;
    for (std::size_t i = 0; i < edited.Parameters.size() && i < action->Parameters.size(); ++i) {
      edited.Parameters[i].Data = action->Parameters[i].Data;
    }
    if (TStatus bounded = CheckActionBounds(edited); !bounded) return bounded;
  }
  return {};
}

TChangeStatus TServerStore::ApplyActions(std::string_view gameNumber, const TActionList& actions) {
  std::int64_t revision = 0;
  const TChangeStatus applied = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    // First of all: a batch sent again through another process waits here for the first one, and
    // then finds its actions stored.
    if (!Bump(db, gameNumber, revision)) {
      return TStatus(TError{"game \"" + std::string(gameNumber) + "\" is not published"});
    }
    const TStoredGame game = FindGame(db, gameNumber);
    if (TStatus bounded = CheckBounds(db, game.Id, actions); !bounded) return TChangeStatus::Refusal(bounded.Error());
    TDateTime clock = game.Clock;
    for (const auto& action : actions) StoreLiveAction(db, game.Id, *action, clock);
    return TStatus{};
  });
  if (applied) Remember(gameNumber, revision);
  return applied;
}

TChangeStatus TServerStore::SaveActionList(std::string_view gameNumber, const TActionList& actions, bool append) {
  // A list's edits are kept as actions of their own, never applied: only the list's own actions
  // can hold a period.
  if (TStatus bounded = RefusalOf(actions); !bounded) return TChangeStatus::Refusal(bounded.Error());
  std::int64_t revision = 0;
  const TChangeStatus saved = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    if (!Bump(db, gameNumber, revision)) {
      return TStatus(TError{"game \"" + std::string(gameNumber) + "\" is not published"});
    }
    const TStoredGame game = FindGame(db, gameNumber);
    TDateTime clock = game.Clock;
    statserver::SaveActionList(db, game.Id, actions, append, clock);
    return TStatus{};
  });
  if (saved) Remember(gameNumber, revision);
  return saved;
}

std::optional<std::string> TServerStore::ActionListXml(std::string_view gameNumber) {
  TActionList actions;
  try {
    Engine_->Read([&](TSqlConnection& db) { actions = LoadActions(db, Catalogue_, gameNumber); });
  } catch (const ESqlError&) {
    return std::nullopt;
  }
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("ACTIONS");
  for (const auto& action : actions) action->ToXml(root, gameNumber);
  return XmlText(root);
}

TResult<std::string> TServerStore::Checksum(std::string_view gameNumber) {
  std::string checksum;
  try {
    Engine_->Read([&](TSqlConnection& db) { checksum = GameChecksum(db, gameNumber); }, true);
  } catch (const ESqlError& failure) {
    return TError{failure.what()};
  }
  return checksum;
}

TStatus TServerStore::ConfirmScore(std::string_view gameNumber, int scoreA, int scoreB, std::string_view name,
                                   std::string_view contacts) {
  const TChangeStatus stored = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svScores (game_number, score_a, score_b, name, contacts, received) VALUES (?,?,?,?,?,?)",
           {gameNumber, scoreA, scoreB, name, contacts, NowText()});
    return TStatus{};
  });
  return stored ? TStatus{} : TStatus(TError{stored.Error()});
}

TStatus TServerStore::StoreBoxScore(std::string_view gameNumber, std::string_view boxScore) {
  const TChangeStatus stored = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svBoxScores (game_number, boxscore, received) VALUES (?,?,?)",
           {gameNumber, boxScore, NowText()});
    return TStatus{};
  });
  return stored ? TStatus{} : TStatus(TError{stored.Error()});
}

TStatus TServerStore::RecordExport(std::string_view gameNumber) {
  const TChangeStatus stored = Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svExports (game_number, requested) VALUES (?,?)", {gameNumber, NowText()});
    return TStatus{};
  });
  return stored ? TStatus{} : TStatus(TError{stored.Error()});
}

void TServerStore::SaveSession(std::string_view digest, std::int64_t userId, double lastUsed) {
  // A session that cannot be stored is of no use to anybody: the next request does not find it.
  (void)Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("INSERT INTO svSessions (token_digest, user_id, last_used) VALUES (?,?,?) ON CONFLICT (token_digest) "
           "DO UPDATE SET user_id=excluded.user_id, last_used=excluded.last_used",
           {digest, userId, lastUsed});
    // Sessions idle for a week are of no use to anybody.
    db.Run("DELETE FROM svSessions WHERE last_used < ?", {lastUsed - 7 * 86400.0});
    return TStatus{};
  });
}

void TServerStore::TouchSession(std::string_view digest, double lastUsed) {
  // Never brings back a session that was ended meanwhile, nor an earlier use of another process.
  (void)Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("UPDATE svSessions SET last_used=? WHERE token_digest=? AND last_used<?", {lastUsed, digest, lastUsed});
    return TStatus{};
  });
}

std::optional<std::pair<std::int64_t, double>> TServerStore::FindSession(std::string_view digest) {
  std::optional<std::pair<std::int64_t, double>> session;
  try {
    Engine_->Read([&](TSqlConnection& db) {
      auto row = db.Query("SELECT user_id, last_used FROM svSessions WHERE token_digest=?", {digest});
      if (row->Next()) session = std::pair{row->Integer(0), row->RealIfReadable(1).value_or(0)};
    });
  } catch (const ESqlError&) {
    session.reset();
  }
  return session;
}

void TServerStore::DeleteSession(std::string_view digest) {
  (void)Engine_->Write([&](TSqlConnection& db) -> TChangeStatus {
    db.Run("DELETE FROM svSessions WHERE token_digest=?", {digest});
    return TStatus{};
  });
}

std::optional<TGameSnapshot> TServerStore::Snapshot(std::string_view gameNumber) {
  TGameSnapshot snapshot;
  std::string xml;
  bool found = false;
  try {
    Engine_->Read(
        [&](TSqlConnection& db) {
          auto game = db.Query("SELECT current_matchinfo, revision FROM svGames WHERE game_number=?", {gameNumber});
          if (!game->Next()) return;
          found = true;
          xml = game->Text(0);
          snapshot.Revision = game->Integer(1);
          snapshot.MatchInfo.CurrentGameTime = FindGame(db, gameNumber).Clock;
          snapshot.Actions = LoadActions(db, Catalogue_, gameNumber);
        },
        true);
  } catch (const ESqlError&) {
    return std::nullopt;
  }
  if (!found) return std::nullopt;
  const TDateTime clock = snapshot.MatchInfo.CurrentGameTime;
  pugi::xml_document document;
  if (document.load_string(xml.c_str())) {
    snapshot.MatchInfo.ReadXml(document.document_element());
    snapshot.Periods = PeriodsOf(document.document_element());
  }
  snapshot.MatchInfo.GameNumber = gameNumber;
  snapshot.MatchInfo.CurrentGameTime = clock;
  return snapshot;
}

std::optional<std::int64_t> TServerStore::Revision(std::string_view gameNumber) {
  const std::string key(gameNumber);
  const auto now = std::chrono::steady_clock::now();
  {
    const std::lock_guard guard(RevisionsLock_);
    const auto known = Revisions_.find(key);
    if (known != Revisions_.end() && now - known->second.Read < Engine_->RevisionMemory()) {
      return known->second.Revision;
    }
  }
  std::optional<std::int64_t> revision;
  try {
    Engine_->Read([&](TSqlConnection& db) {
      auto game = db.Query("SELECT revision FROM svGames WHERE game_number=?", {gameNumber});
      if (game->Next()) revision = game->Integer(0);
    });
  } catch (const ESqlError&) {
    return std::nullopt;
  }
  Remember(gameNumber, revision);
  return revision;
}

}  // namespace velmora::statserver
