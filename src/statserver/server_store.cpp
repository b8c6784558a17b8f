#include "server_store.h"

#include <pugixml.hpp>

#include "passwords.h"
#include "records/xml_text.h"
#include "store/database_plugin.h"
#include "store/sqlite.h"

namespace velmora::statserver {

namespace {

constexpr const char* kServerTables = R"SQL(
CREATE TABLE IF NOT EXISTS svUsers (
  id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, salt BLOB NOT NULL, hash BLOB NOT NULL,
  iterations INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS svGames (
  game_number TEXT PRIMARY KEY, user_id INTEGER NOT NULL, initial_matchinfo TEXT NOT NULL,
  current_matchinfo TEXT NOT NULL, published TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS svScores (
  id INTEGER PRIMARY KEY, game_number TEXT, score_a INTEGER, score_b INTEGER, name TEXT, contacts TEXT,
  received TEXT);
CREATE TABLE IF NOT EXISTS svBoxScores (id INTEGER PRIMARY KEY, game_number TEXT, boxscore TEXT, received TEXT);
CREATE TABLE IF NOT EXISTS svExports (id INTEGER PRIMARY KEY, game_number TEXT, requested TEXT);
CREATE TABLE IF NOT EXISTS svSessions (
  token_digest TEXT PRIMARY KEY, user_id INTEGER NOT NULL, last_used REAL NOT NULL);
)SQL";

// Databases from before kept session values in clear: each becomes its digest, so that the games
// being played go on with the sessions they have.
void DigestClearSessions(TSqliteDatabase& db) {
  bool clear = false;
  {
    auto columns = db.Prepare("SELECT name FROM pragma_table_info('svSessions')");
    while (columns->Step()) clear = clear || columns->Text(0) == "token";
  }
  if (!clear) return;
  TSqliteTransaction transaction(db);
  db.Execute("ALTER TABLE svSessions RENAME TO svClearSessions");
  db.Execute(
      "CREATE TABLE svSessions (token_digest TEXT PRIMARY KEY, user_id INTEGER NOT NULL, last_used REAL NOT NULL)");
  {
    auto rows = db.Prepare("SELECT token, user_id, last_used FROM svClearSessions");
    auto insert = db.Prepare("INSERT OR IGNORE INTO svSessions (token_digest, user_id, last_used) VALUES (?,?,?)");
    while (rows->Step()) {
      insert->Bind(1, TokenDigest(rows->Text(0))).Bind(2, rows->Integer(1));
      insert->Bind(3, rows->RealIfReadable(2).value_or(0));
      insert->Step();
    }
  }
  db.Execute("DROP TABLE svClearSessions");
  transaction.Commit();
}

std::string NowText() { return FormatDateTime(Now()); }

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

}  // namespace

TResult<std::unique_ptr<TServerStore>> TServerStore::Open(const std::filesystem::path& file,
                                                          const std::filesystem::path& templateFile) {
  auto games = TDatabasePlugin::OpenFile(file, templateFile);
  if (!games) return TError{games.Error()};
  std::unique_ptr<TSqliteDatabase> reader;
  try {
    DigestClearSessions(games.Value()->Connection());
    games.Value()->Connection().Execute(kServerTables);
    reader = std::make_unique<TSqliteDatabase>(file);
  } catch (const ESqliteError& failure) {
    return TError{std::string("cannot prepare the server tables: ") + failure.what()};
  }
  return std::unique_ptr<TServerStore>(new TServerStore(std::move(games.Value()), std::move(reader)));
}

TServerStore::TServerStore(std::unique_ptr<TDatabasePlugin> games, std::unique_ptr<TSqliteDatabase> reader)
    : Games_(std::move(games)), Reader_(std::move(reader)) {
  Catalogue_.LoadCatalogue();
}
TServerStore::~TServerStore() = default;

TStatus TServerStore::InTransaction(const std::function<TStatus()>& work) {
  TStatus result;
  const bool done = Games_->InTransaction([&] {
    try {
      result = work();
    } catch (const ESqliteError& failure) {
      result = TError{failure.what()};
    }
    return result.Ok();
  });
  if (!done && result.Ok()) return TError{"the database refused the change"};
  return result;
}

void TServerStore::Touch(std::string_view gameNumber) { ++Revisions_[std::string(gameNumber)]; }

TStatus TServerStore::AddUser(std::string_view name, std::string_view password) {
  if (name.empty()) return TError{"a user needs a name"};
  const TPasswordHash hash = HashPassword(password);
  const std::lock_guard guard(Lock_);
  return InTransaction([&]() -> TStatus {
    auto insert = Games_->Connection().Prepare(
        "INSERT INTO svUsers (name, salt, hash, iterations) VALUES (?,?,?,?) "
        "ON CONFLICT(name) DO UPDATE SET salt=excluded.salt, hash=excluded.hash, iterations=excluded.iterations");
    insert->Bind(1, name).BindBlob(2, hash.Salt).BindBlob(3, hash.Hash).Bind(4, std::int64_t{hash.Iterations});
    insert->Step();
    // Whoever logged in with the old password is logged out.
    auto sessions = Games_->Connection().Prepare(
        "DELETE FROM svSessions WHERE user_id=(SELECT id FROM svUsers WHERE name=?)");
    sessions->Bind(1, name);
    sessions->Step();
    return {};
  });
}

std::optional<std::int64_t> TServerStore::CheckUser(std::string_view name, std::string_view password) {
  TPasswordHash stored;
  std::optional<std::int64_t> id;
  {
    const std::lock_guard guard(Lock_);
    auto query = Games_->Connection().Prepare("SELECT id, salt, hash, iterations FROM svUsers WHERE name=?");
    query->Bind(1, name);
    if (query->Step()) {
      id = query->Integer(0);
      stored = TPasswordHash{query->Text(1), query->Text(2), static_cast<int>(query->Integer(3))};
    }
  }
  // The hash is slow on purpose; other requests go on meanwhile. An unknown user is answered no
  // sooner than a known one, so the time tells nobody which users exist.
  if (!VerifyPassword(password, id ? stored : UnknownUserHash())) return std::nullopt;
  return id;
}

TChangeStatus TServerStore::Publish(const TMatchInfo& matchInfo, std::string_view matchInfoXml,
                                    const TActionList* actions, std::string_view userName) {
  if (actions) {
    for (const auto& action : *actions) {
      if (TStatus bounded = CheckActionBounds(*action); !bounded) return TChangeStatus::Refusal(bounded.Error());
    }
  }
  const std::lock_guard guard(Lock_);
  const TStatus published = InTransaction([&]() -> TStatus {
    auto& db = Games_->Connection();
    std::int64_t userId = 0;
    {
      auto user = db.Prepare("SELECT id FROM svUsers WHERE name=?");
      user->Bind(1, userName);
      if (!user->Step()) return TError{"no user named \"" + std::string(userName) + "\""};
      userId = user->Integer(0);
    }
    if (Games_->FindGameId(matchInfo.GameNumber) != 0) {
      return TError{"game \"" + matchInfo.GameNumber + "\" is published already"};
    }
    if (TStatus stored = Games_->StoreMatchInfo(matchInfo); !stored) return stored;
    TDateTime clock = matchInfo.CurrentGameTime;
    if (actions && !Games_->SaveActionList(matchInfo.GameNumber, *actions, false, clock)) {
      return TError{"cannot store the actions"};
    }
    auto insert = db.Prepare(
        "INSERT INTO svGames (game_number, user_id, initial_matchinfo, current_matchinfo, published) "
        "VALUES (?,?,?,?,?)");
    insert->Bind(1, matchInfo.GameNumber).Bind(2, userId).Bind(3, matchInfoXml).Bind(4, matchInfoXml);
    insert->Bind(5, NowText());
    insert->Step();
    return {};
  });
  if (published) Touch(matchInfo.GameNumber);
  return published;
}

TStatus TServerStore::Unpublish(std::string_view gameNumber) {
  const std::lock_guard guard(Lock_);
  const TStatus removed = InTransaction([&]() -> TStatus {
    auto remove = Games_->Connection().Prepare("DELETE FROM svGames WHERE game_number=?");
    remove->Bind(1, gameNumber);
    remove->Step();
    return Games_->DeleteGame(gameNumber);
  });
  if (removed) Touch(gameNumber);  // a game published again under the number is another game
  return removed;
}

std::optional<std::int64_t> TServerStore::OwnerOf(std::string_view gameNumber) {
  const std::lock_guard guard(ReadLock_);
  auto query = Reader_->Prepare("SELECT user_id FROM svGames WHERE game_number=?");
  query->Bind(1, gameNumber);
  if (!query->Step()) return std::nullopt;
  return query->Integer(0);
}

std::vector<TGameSummary> TServerStore::GamesOf(std::optional<std::int64_t> userId) {
  const std::lock_guard guard(Lock_);
  auto query = Games_->Connection().Prepare(
      "SELECT S.game_number, G.team1_fna_id, G.team2_fna_id, G.team1_name, G.team2_name, G.time "
      "FROM svGames S JOIN dvGames G ON G.game_number=S.game_number "
      "WHERE ?1 IS NULL OR S.user_id=?1 ORDER BY G.time DESC, S.game_number");
  query->Bind(1, userId);
  std::vector<TGameSummary> games;
  while (query->Step()) {
    games.push_back({query->Text(0), query->Text(1), query->Text(2), query->Text(3), query->Text(4), query->Text(5)});
  }
  return games;
}

bool TServerStore::EventStored(std::int64_t gameId, std::string_view id) {
  auto query = Games_->Connection().Prepare("SELECT 1 FROM dvEvents WHERE game_id=? AND log_id=?");
  query->Bind(1, gameId).Bind(2, id);
  return query->Step();
}

std::string TServerStore::StoredKind(std::int64_t gameId, std::string_view id) {
  auto query = Games_->Connection().Prepare("SELECT log_action FROM dvEvents WHERE game_id=? AND log_id=?");
  query->Bind(1, gameId).Bind(2, id);
  return query->Step() ? query->Text(0) : std::string();
}

TStatus TServerStore::CheckBounds(std::int64_t gameId, const TActionList& actions) {
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
    const std::string kind = inBatch != batchKinds.end() ? inBatch->second : StoredKind(gameId, action->ID);
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

TDateTime TServerStore::StoredClock(std::string_view gameNumber) {
  auto query = Games_->Connection().Prepare("SELECT \"current_time\" FROM dvGames WHERE game_number=?");
  query->Bind(1, gameNumber);
  if (!query->Step()) return 0;
  return ParseTime(query->Text(0)).value_or(0);
}

std::optional<std::string> TServerStore::MatchInfoXml(std::string_view gameNumber, bool initial) {
  const std::lock_guard guard(Lock_);
  std::string xml;
  {
    auto query =
        Games_->Connection().Prepare("SELECT initial_matchinfo, current_matchinfo FROM svGames WHERE game_number=?");
    query->Bind(1, gameNumber);
    if (!query->Step()) return std::nullopt;
    xml = query->Text(initial ? 0 : 1);
  }
  if (initial) return xml;
  pugi::xml_document document;
  if (!document.load_string(xml.c_str())) return xml;
  pugi::xml_node root = document.document_element();
  pugi::xml_attribute clock = root.attribute("CurrentGameTime");
  if (!clock) clock = root.append_attribute("CurrentGameTime");
  clock = FormatLongTime(StoredClock(gameNumber)).c_str();
  return XmlText(root);
}

TStatus TServerStore::UpdateMatchInfo(const TMatchInfo& matchInfo, std::string_view xml) {
  const std::lock_guard guard(Lock_);
  const TStatus updated = InTransaction([&]() -> TStatus {
    auto update = Games_->Connection().Prepare("UPDATE svGames SET current_matchinfo=? WHERE game_number=?");
    update->Bind(1, xml).Bind(2, matchInfo.GameNumber);
    update->Step();
    if (sqlite3_changes(Games_->Connection().Handle()) == 0) {
      return TError{"game \"" + matchInfo.GameNumber + "\" is not published"};
    }
    return Games_->StoreMatchInfo(matchInfo);
  });
  if (updated) Touch(matchInfo.GameNumber);
  return updated;
}

TChangeStatus TServerStore::ApplyActions(std::string_view gameNumber, const TActionList& actions) {
  const std::lock_guard guard(Lock_);
  const std::int64_t gameId = Games_->FindGameId(gameNumber);
  try {
    if (TStatus bounded = CheckBounds(gameId, actions); !bounded) return TChangeStatus::Refusal(bounded.Error());
  } catch (const ESqliteError& failure) {
    return TStatus(TError{failure.what()});
  }
  TMatchInfo game;
  game.GameNumber = gameNumber;
  const TStatus applied = InTransaction([&]() -> TStatus {
    game.CurrentGameTime = StoredClock(gameNumber);
    for (const auto& action : actions) {
      // A batch sent again after its answer was lost must not store its actions twice.
      if (IsNewEvent(*action) && EventStored(gameId, action->ID)) continue;
      if (!Games_->StoreAction(game, *action)) return TError{"cannot store action " + action->ID};
    }
    return {};
  });
  if (applied) Touch(gameNumber);
  return applied;
}

TChangeStatus TServerStore::SaveActionList(std::string_view gameNumber, const TActionList& actions,
                                           bool append) {
  // A list's edits are kept as actions of their own, never applied: only the list's own actions
  // can hold a period.
  for (const auto& action : actions) {
    if (TStatus bounded = CheckActionBounds(*action); !bounded) return TChangeStatus::Refusal(bounded.Error());
  }
  const std::lock_guard guard(Lock_);
  const TStatus saved = InTransaction([&]() -> TStatus {
    TDateTime clock = StoredClock(gameNumber);
    if (!Games_->SaveActionList(gameNumber, actions, append, clock)) return TError{"cannot store the action list"};
    return {};
  });
  if (saved) Touch(gameNumber);
  return saved;
}

std::optional<std::string> TServerStore::ActionListXml(std::string_view gameNumber) {
  TActionList actions;
  {
    const std::lock_guard guard(Lock_);
    if (!Games_->LoadActions(gameNumber, actions)) return std::nullopt;
  }
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("ACTIONS");
  for (const auto& action : actions) action->ToXml(root, gameNumber);
  return XmlText(root);
}

TResult<std::string> TServerStore::Checksum(std::string_view gameNumber) {
  const std::lock_guard guard(Lock_);
  TMatchInfo matchInfo;
  if (!Games_->LoadMatchInfo(gameNumber, matchInfo)) return TError{"cannot read the game"};
  return Games_->ComputeChecksum(matchInfo);
}

TStatus TServerStore::ConfirmScore(std::string_view gameNumber, int scoreA, int scoreB, std::string_view name,
                                   std::string_view contacts) {
  const std::lock_guard guard(Lock_);
  return InTransaction([&]() -> TStatus {
    auto insert = Games_->Connection().Prepare(
        "INSERT INTO svScores (game_number, score_a, score_b, name, contacts, received) VALUES (?,?,?,?,?,?)");
    insert->Bind(1, gameNumber).Bind(2, std::int64_t{scoreA}).Bind(3, std::int64_t{scoreB});
    insert->Bind(4, name).Bind(5, contacts).Bind(6, NowText());
    insert->Step();
    return {};
  });
}

TStatus TServerStore::StoreBoxScore(std::string_view gameNumber, std::string_view boxScore) {
  const std::lock_guard guard(Lock_);
  return InTransaction([&]() -> TStatus {
    auto insert =
        Games_->Connection().Prepare("INSERT INTO svBoxScores (game_number, boxscore, received) VALUES (?,?,?)");
    insert->Bind(1, gameNumber).Bind(2, boxScore).Bind(3, NowText());
    insert->Step();
    return {};
  });
}

TStatus TServerStore::RecordExport(std::string_view gameNumber) {
  const std::lock_guard guard(Lock_);
  return InTransaction([&]() -> TStatus {
    auto insert = Games_->Connection().Prepare("INSERT INTO svExports (game_number, requested) VALUES (?,?)");
    insert->Bind(1, gameNumber).Bind(2, NowText());
    insert->Step();
    return {};
  });
}

void TServerStore::SaveSession(std::string_view digest, std::int64_t userId, double lastUsed) {
  const std::lock_guard guard(Lock_);
  // A session that cannot be stored still works until the server restarts.
  (void)InTransaction([&]() -> TStatus {
    auto save = Games_->Connection().Prepare(
        "INSERT OR REPLACE INTO svSessions (token_digest, user_id, last_used) VALUES (?,?,?)");
    save->Bind(1, digest).Bind(2, userId).Bind(3, lastUsed);
    save->Step();
    // Sessions idle for a week are of no use to anybody.
    auto sweep = Games_->Connection().Prepare("DELETE FROM svSessions WHERE last_used < ?");
    sweep->Bind(1, lastUsed - 7 * 86400.0);
    sweep->Step();
    return {};
  });
}

void TServerStore::TouchSession(std::string_view digest, double lastUsed) {
  const std::lock_guard guard(Lock_);
  // Never brings back a session that was ended meanwhile.
  (void)InTransaction([&]() -> TStatus {
    auto touch = Games_->Connection().Prepare("UPDATE svSessions SET last_used=? WHERE token_digest=?");
    touch->Bind(1, lastUsed).Bind(2, digest);
    touch->Step();
    return {};
  });
}

std::optional<std::pair<std::int64_t, double>> TServerStore::FindSession(std::string_view digest) {
  const std::lock_guard guard(ReadLock_);
  auto query = Reader_->Prepare("SELECT user_id, last_used FROM svSessions WHERE token_digest=?");
  query->Bind(1, digest);
  if (!query->Step()) return std::nullopt;
  return std::pair{query->Integer(0), query->RealIfReadable(1).value_or(0)};
}

void TServerStore::DeleteSession(std::string_view digest) {
  const std::lock_guard guard(Lock_);
  (void)InTransaction([&]() -> TStatus {
    auto remove = Games_->Connection().Prepare("DELETE FROM svSessions WHERE token_digest=?");
    remove->Bind(1, digest);
    remove->Step();
    return {};
  });
}

std::optional<TGameSnapshot> TServerStore::Snapshot(std::string_view gameNumber) {
  const std::lock_guard guard(Lock_);
  TGameSnapshot snapshot;
  std::string xml;
  {
    auto query = Games_->Connection().Prepare("SELECT current_matchinfo FROM svGames WHERE game_number=?");
    query->Bind(1, gameNumber);
    if (!query->Step()) return std::nullopt;
    xml = query->Text(0);
  }
  pugi::xml_document document;
  if (document.load_string(xml.c_str())) {
    snapshot.MatchInfo.ReadXml(document.document_element());
    snapshot.Periods = PeriodsOf(document.document_element());
  }
  snapshot.MatchInfo.GameNumber = gameNumber;
  snapshot.MatchInfo.CurrentGameTime = StoredClock(gameNumber);
  if (!Games_->LoadActions(gameNumber, snapshot.Actions)) return std::nullopt;
  snapshot.Revision = RevisionLocked(gameNumber);
  return snapshot;
}

std::int64_t TServerStore::Revision(std::string_view gameNumber) {
  const std::lock_guard guard(Lock_);
  return RevisionLocked(gameNumber);
}

std::int64_t TServerStore::RevisionLocked(std::string_view gameNumber) {
  const auto found = Revisions_.find(std::string(gameNumber));
  const std::int64_t own = found == Revisions_.end() ? 0 : found->second;
  // Changes that the administration commands commit from their own process.
  std::int64_t others = 0;
  try {
    auto version = Games_->Connection().Prepare("PRAGMA data_version");
    if (version->Step()) others = version->Integer(0);
  } catch (const ESqliteError&) {
  }
  return (others << 32) + own;
}

}  // namespace velmora::statserver
