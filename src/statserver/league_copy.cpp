#include "league_copy.h"

#include <algorithm>
#include <optional>

#include "server_store.h"

namespace velmora::statserver {

namespace {

using TRow = std::vector<std::optional<std::string>>;

// A table's columns as they are copied; the row ids are the target's own.
constexpr const char* kGameColumns =
    "game_number, field, place, referee1, referee2, referee3, referee4, commissioner, competition, spectators, tv, "
    "time, \"current_time\", team1_fna_id, team1_name, team1_shortname, team1_coach, team1_logo, team1_color, "
    "team2_fna_id, team2_name, team2_shortname, team2_coach, team2_logo, team2_color";
constexpr const char* kPlayerColumns =
    "team, shirt_number, name, surname, player_fna_id, height, position, birth_date, club";
constexpr const char* kEventColumns =
    "log_id, follow_up_id, log_time, game_time, log_action, log_param_1, log_param_2, log_param_3, log_param_4, "
    "log_param_5, log_param_6, log_param_7, deleted, dirty";
constexpr const char* kScoreColumns = "score_a, score_b, name, contacts, received";
constexpr const char* kBoxScoreColumns = "boxscore, received";
constexpr const char* kExportColumns = "requested";

int CountColumns(std::string_view columns) {
  return static_cast<int>(std::count(columns.begin(), columns.end(), ',')) + 1;
}

std::string Marks(int count) {
  std::string marks;
  for (int i = 0; i < count; ++i) marks += i ? ",?" : "?";
  return marks;
}

std::vector<TRow> ReadRows(TSqlConnection& db, const std::string& sql, std::string_view key, int columns) {
  std::vector<TRow> rows;
  auto read = db.Query(sql, {key});
  while (read->Next()) {
    TRow& row = rows.emplace_back();
    for (int c = 0; c < columns; ++c) row.push_back(read->IsNull(c) ? std::nullopt : std::optional(read->Text(c)));
  }
  return rows;
}

void InsertRows(TSqlConnection& db, const std::string& table, const std::string& columns,
                const std::vector<TRow>& rows, const std::vector<TSqlValue>& leading) {
  const int count = CountColumns(columns);
  for (const TRow& row : rows) {
    std::vector<TSqlValue> values = leading;
    for (const auto& value : row) values.emplace_back(value);
    db.Run("INSERT INTO " + table + " (" + columns + ") VALUES (" + Marks(count) + ")", values);
  }
}

// Everything of one game, as its source holds it.
struct TGameCopy {
  std::string Owner;
  TRow Publication;  // initial_matchinfo, current_matchinfo, published
  TRow Game;
  std::vector<TRow> Players, Events, Scores, BoxScores, Exports;
};

std::optional<TGameCopy> ReadGame(TSqlConnection& db, const std::string& gameNumber) {
  TGameCopy game;
  {
    auto publication = db.Query(
        "SELECT U.name, S.initial_matchinfo, S.current_matchinfo, S.published FROM svGames S "
        "JOIN svUsers U ON U.id=S.user_id WHERE S.game_number=?",
        {gameNumber});
    if (!publication->Next()) return std::nullopt;
    game.Owner = publication->Text(0);
    game.Publication = {publication->Text(1), publication->Text(2), publication->Text(3)};
  }
  const auto rows = ReadRows(db, std::string("SELECT ") + kGameColumns + " FROM dvGames WHERE game_number=? ORDER BY id",
                             gameNumber, CountColumns(kGameColumns));
  if (rows.empty()) return std::nullopt;
  game.Game = rows.front();
  const std::string ofGame = " WHERE game_id=(SELECT min(id) FROM dvGames WHERE game_number=?) ORDER BY id";
  game.Players = ReadRows(db, std::string("SELECT ") + kPlayerColumns + " FROM dvPlayers" + ofGame, gameNumber,
                          CountColumns(kPlayerColumns));
  game.Events = ReadRows(db, std::string("SELECT ") + kEventColumns + " FROM dvEvents" + ofGame, gameNumber,
                         CountColumns(kEventColumns));
  const std::string received = " WHERE game_number=? ORDER BY id";
  game.Scores = ReadRows(db, std::string("SELECT ") + kScoreColumns + " FROM svScores" + received, gameNumber,
                         CountColumns(kScoreColumns));
  game.BoxScores = ReadRows(db, std::string("SELECT ") + kBoxScoreColumns + " FROM svBoxScores" + received, gameNumber,
                            CountColumns(kBoxScoreColumns));
  game.Exports = ReadRows(db, std::string("SELECT ") + kExportColumns + " FROM svExports" + received, gameNumber,
                          CountColumns(kExportColumns));
  return game;
}

// Writes the game unless the target has it; false when it had.
TChangeStatus WriteGame(TStorageEngine& engine, const std::string& gameNumber, const TGameCopy& game, bool& written) {
  return engine.Write([&](TSqlConnection& db) -> TChangeStatus {
    written = false;
    if (db.Query("SELECT 1 FROM svGames WHERE game_number=?", {gameNumber})->Next() ||
        db.Query("SELECT 1 FROM dvGames WHERE game_number=?", {gameNumber})->Next()) {
      return TStatus{};
    }
    std::int64_t owner = 0;
    {
      auto user = db.Query("SELECT id FROM svUsers WHERE name=?", {game.Owner});
      if (!user->Next()) return TStatus(TError{"no user \"" + game.Owner + "\" for game \"" + gameNumber + "\""});
      owner = user->Integer(0);
    }
    std::vector<TSqlValue> values(game.Game.begin(), game.Game.end());
    std::int64_t gameId = 0;
    {
      auto inserted = db.Query(std::string("INSERT INTO dvGames (") + kGameColumns + ") VALUES (" +
                                   Marks(CountColumns(kGameColumns)) + ") RETURNING id",
                               values);
      if (!inserted->Next()) return TStatus(TError{"the game row of \"" + gameNumber + "\" was not made"});
      gameId = inserted->Integer(0);
    }
    InsertRows(db, "dvPlayers", std::string("game_id, ") + kPlayerColumns, game.Players, {gameId});
    InsertRows(db, "dvEvents", std::string("game_id, ") + kEventColumns, game.Events, {gameId});
    const std::int64_t revision = engine.NextRevision(db);
    db.Run("INSERT INTO svGames (game_number, user_id, initial_matchinfo, current_matchinfo, published, revision) "
           "VALUES (?,?,?,?,?,?)",
           {gameNumber, owner, game.Publication[0], game.Publication[1], game.Publication[2], revision});
    InsertRows(db, "svScores", std::string("game_number, ") + kScoreColumns, game.Scores, {gameNumber});
    InsertRows(db, "svBoxScores", std::string("game_number, ") + kBoxScoreColumns, game.BoxScores, {gameNumber});
    InsertRows(db, "svExports", std::string("game_number, ") + kExportColumns, game.Exports, {gameNumber});
    written = true;
    return TStatus{};
  });
}

}  // namespace

TResult<TCopyReport> CopyLeague(TServerStore& from, TServerStore& to, bool merge) {
  TCopyReport report;
  try {
    std::int64_t held = 0;
    to.Engine().Read([&](TSqlConnection& db) {
      auto games = db.Query("SELECT count(*) FROM svGames");
      if (games->Next()) held = games->Integer(0);
    });
    if (held > 0 && !merge) {
      return TError{"the target holds " + std::to_string(held) + " games already; --merge adds to them"};
    }

    struct TUser {
      std::string Name, Salt, Hash;
      std::int64_t Iterations;
    };
    std::vector<TUser> users;
    std::vector<std::string> gameNumbers;
    from.Engine().Read([&](TSqlConnection& db) {
      auto rows = db.Query("SELECT name, salt, hash, iterations FROM svUsers ORDER BY id");
      while (rows->Next()) users.push_back({rows->Text(0), rows->Blob(1), rows->Blob(2), rows->Integer(3)});
      auto games = db.Query("SELECT game_number FROM svGames ORDER BY game_number");
      while (games->Next()) gameNumbers.push_back(games->Text(0));
    });

    for (const TUser& user : users) {
      std::int64_t added = 0;
      const TChangeStatus stored = to.Engine().Write([&](TSqlConnection& db) -> TChangeStatus {
        added = db.Run("INSERT INTO svUsers (name, salt, hash, iterations) VALUES (?,?,?,?) "
                       "ON CONFLICT (name) DO NOTHING",
                       {user.Name, TSqlValue::Blob(user.Salt), TSqlValue::Blob(user.Hash), user.Iterations});
        return TStatus{};
      });
      if (!stored) return TError{"cannot copy the user \"" + user.Name + "\": " + stored.Error()};
      report.Users += static_cast<int>(added);
    }

    for (const std::string& gameNumber : gameNumbers) {
      std::optional<TGameCopy> game;
      from.Engine().Read([&](TSqlConnection& db) { game = ReadGame(db, gameNumber); }, true);
      if (!game) continue;  // unpublished meanwhile
      bool written = false;
      const TChangeStatus copied = WriteGame(to.Engine(), gameNumber, *game, written);
      if (!copied) return TError{"cannot copy the game \"" + gameNumber + "\": " + copied.Error()};
      if (written) {
        ++report.Games;
      } else {
        report.KeptGames.push_back(gameNumber);
      }
    }
  } catch (const ESqlError& failure) {
    return TError{failure.what()};
  }
  return report;
}

}  // namespace velmora::statserver
