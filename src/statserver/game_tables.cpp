#include "game_tables.h"

#include <nettle/md5.h>

#include <array>
#include <charconv>

#include "records/date_time.h"
#include "records/game_time.h"
#include "records/guid.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "store/event_row.h"

namespace velmora::statserver {

namespace {

constexpr std::size_t kParamColumns = 7;

std::optional<std::int64_t> WholeNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data() + (text.front() == '+' ? 1 : 0), end, value);
  if (error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<std::string> NonEmpty(const std::string& text) {
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::optional<std::string> FollowUpOf(const TAction& action) {
  return action.IsFollowUp() ? std::optional<std::string>(action.FollowUpID) : std::nullopt;
}

using TParams = std::array<std::optional<std::string>, kParamColumns>;

TParams ParamsOf(const TAction& action) {
  TParams params;
  for (std::size_t i = 0; i < params.size() && i < action.Parameters.size(); ++i) params[i] = action.Parameters[i].Data;
  return params;
}

// The texts of an event row; the values refer to them.
struct TEventRow {
  TEventRow(const TAction& action, std::string gameTime)
      : FollowUp(FollowUpOf(action)),
        AstroTime(FormatLongTime(action.AstroTime)),
        GameTime(std::move(gameTime)),
        Params(ParamsOf(action)) {}
  // Game, ID, follow-up, entry time, game time, kind and the seven parameters.
  std::vector<TSqlValue> Values(std::int64_t gameId, const TAction& action) const {
    std::vector<TSqlValue> values = {gameId, action.ID, FollowUp, AstroTime, GameTime, action.ShortName};
    for (const auto& param : Params) values.emplace_back(param);
    return values;
  }
  std::optional<std::string> FollowUp;
  std::string AstroTime;
  std::string GameTime;
  TParams Params;
};

constexpr const char* kInsertEvent =
    "INSERT INTO dvEvents (game_id, log_id, follow_up_id, log_time, game_time, log_action, log_param_1, "
    "log_param_2, log_param_3, log_param_4, log_param_5, log_param_6, log_param_7, deleted, dirty) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,0,1)";

void InsertEvent(TSqlConnection& db, std::int64_t gameId, const TAction& action, bool correctForImport) {
  TEventRow row(action, FormatLongTime(action.GameTime));
  if (correctForImport) {
    // Lists from elsewhere may carry a foul's parameters in another order, and substitutions
    // before the tip-off at midday.
    if (action.ShortName == "foul" && action.Parameters.size() > 2 && action.Parameters[2].Name == "Fouled on") {
      std::swap(row.Params[2], row.Params[3]);
    }
    if (action.ShortName == "subst" && row.GameTime == "12:00:00") row.GameTime = "00:00:00";
  }
  db.Run(kInsertEvent, row.Values(gameId, action));
}

void InsertEventOnce(TSqlConnection& db, std::int64_t gameId, const TAction& action) {
  // Looked up on its own: an INSERT that selects from its own table makes SQLite copy what it
  // selects into a temporary table first, for every action of every batch.
  if (db.Query("SELECT 1 FROM dvEvents WHERE game_id=? AND log_id=?", {gameId, action.ID})->Next()) return;
  InsertEvent(db, gameId, action, false);
}

void SetStoredClock(TSqlConnection& db, std::int64_t gameId, TDateTime clock) {
  db.Run("UPDATE dvGames SET \"current_time\"=? WHERE id=?", {FormatLongTime(clock), gameId});
}

void DeleteEvent(TSqlConnection& db, std::int64_t gameId, std::string_view eventId, TDateTime& clock) {
  std::int64_t rowId = 0;
  std::string kind;
  std::string time;
  std::string quarter;
  {
    auto find = db.Query(
        "SELECT id, log_action, game_time, log_param_1 FROM dvEvents WHERE log_id=? AND game_id=? ORDER BY id LIMIT 1",
        {eventId, gameId});
    if (!find->Next()) return;
    rowId = find->Integer(0);
    kind = find->Text(1);
    time = find->Text(2);
    quarter = find->Text(3);
  }
  db.Run("DELETE FROM dvEvents WHERE id=?", {rowId});
  // The start and the end of the game ("Quarter" 0) go alone, as the model and the history drop them.
  if (kind != "quarter" || quarter == "0") return;

  // Everything after a removed period boundary goes with it, and the clock returns to it.
  db.Run("DELETE FROM dvEvents WHERE game_id=? AND game_time>?", {gameId, time});
  const TDateTime boundary = ParseTime(time).value_or(0);
  if (ClockBefore(boundary, clock)) {
    clock = boundary;
    SetStoredClock(db, gameId, boundary);
  }
}

void UpdateEvent(TSqlConnection& db, std::int64_t gameId, const TAction& action) {
  std::int64_t rowId = 0;
  {
    auto find = db.Query("SELECT id FROM dvEvents WHERE log_id=? AND game_id=? ORDER BY id LIMIT 1",
                         {action.ID, gameId});
    if (!find->Next()) return;
    rowId = find->Integer(0);
  }
  // The event keeps the time it was entered at: it orders the events of one game second.
  const std::string gameTime = FormatLongTime(action.GameTime);
  const std::optional<std::string> followUp = FollowUpOf(action);
  std::vector<TSqlValue> values = {followUp, gameTime};
  const TParams params = ParamsOf(action);
  for (const auto& param : params) values.emplace_back(param);
  values.emplace_back(rowId);
  db.Run("UPDATE dvEvents SET follow_up_id=coalesce(?, follow_up_id), game_time=?, log_param_1=?, "
         "log_param_2=?, log_param_3=?, log_param_4=?, log_param_5=?, log_param_6=?, log_param_7=? WHERE id=?",
         values);
}

std::string Md5Hex(std::string_view bytes) {
  md5_ctx context;
  md5_init(&context);
  md5_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  std::string digest(MD5_DIGEST_SIZE, '\0');
  md5_digest(&context, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
  return HexText(digest);
}

// The header of the checksum from the game's row, read as the program reads a stored game.
std::string ChecksumHeader(TSqlConnection& db, std::string_view gameNumber) {
  auto row = db.Query(
      "SELECT game_number, field, place, referee1, referee2, referee3, referee4, commissioner, competition, tv, time, "
      "team1_fna_id, team1_name, team1_shortname, team1_coach, team2_fna_id, team2_name, team2_shortname, "
      "team2_coach FROM dvGames WHERE game_number=?",
      {gameNumber});
  TMatchInfo game;
  if (row->Next()) {
    game.GameNumber = row->Text(0);
    game.Field = row->Text(1);
    game.Place = row->Text(2);
    game.Referee1 = row->Text(3);
    game.Referee2 = row->Text(4);
    game.Referee3 = row->Text(5);
    game.Referee4 = row->Text(6);
    game.Commissioner = row->Text(7);
    game.Competition = row->Text(8);
    game.TV = static_cast<std::int32_t>(row->IntegerIfReadable(9).value_or(0));
    game.Time = ParseDateTime(row->Text(10)).value_or(Today());
    for (int team = 1; team <= 2; ++team) {
      const int column = 11 + (team - 1) * 4;
      TTeam& roster = game.Team(team);
      roster.ID = row->IsNull(column) ? "" : row->Text(column);
      roster.Name = row->Text(column + 1);
      roster.Shortname = row->Text(column + 2);
      roster.Coach = row->Text(column + 3);
    }
  }
  std::string text = game.GameNumber + FormatDateTime(game.Time) + game.Place + game.Field +
                     std::to_string(game.TV) + game.Referee1 + game.Referee2 + game.Referee3 + game.Referee4 +
                     game.Commissioner + game.Competition;
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = game.Team(team);
    text += roster.ID + roster.Name + roster.Shortname + std::string(Trimmed(roster.Coach));
  }
  return text;
}

}  // namespace

TStoredGame FindGame(TSqlConnection& db, std::string_view gameNumber) {
  auto row = db.Query("SELECT id, \"current_time\" FROM dvGames WHERE game_number=?", {gameNumber});
  if (!row->Next()) return {};
  return {row->Integer(0), ParseTime(row->Text(1)).value_or(0)};
}

void StoreMatchInfo(TSqlConnection& db, const TMatchInfo& matchInfo) {
  std::int64_t id = FindGame(db, matchInfo.GameNumber).Id;
  const bool isNew = id == 0;
  const std::string time = FormatDateTime(matchInfo.Time);
  const std::string clock = FormatLongTime(matchInfo.CurrentGameTime);
  std::vector<TSqlValue> values = {matchInfo.Field,    matchInfo.Place,        matchInfo.Referee1,
                                   matchInfo.Referee2, matchInfo.Referee3,     matchInfo.Referee4,
                                   matchInfo.Commissioner, matchInfo.Competition, std::int64_t{matchInfo.Spectators},
                                   std::int64_t{matchInfo.TV}, time, clock};
  std::optional<std::int64_t> teamIds[2];
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = matchInfo.Team(team);
    teamIds[team - 1] = WholeNumber(roster.ID);
    values.insert(values.end(), {TSqlValue(teamIds[team - 1]), TSqlValue(roster.Name), TSqlValue(roster.Shortname),
                                 TSqlValue(roster.Coach), TSqlValue(roster.Logo), TSqlValue(std::int64_t{roster.Color})});
  }
  if (isNew) {
    values.emplace_back(matchInfo.GameNumber);
    auto inserted = db.Query(
        "INSERT INTO dvGames (field, place, referee1, referee2, referee3, referee4, commissioner, competition, "
        "spectators, tv, time, \"current_time\", team1_fna_id, team1_name, team1_shortname, team1_coach, team1_logo, "
        "team1_color, team2_fna_id, team2_name, team2_shortname, team2_coach, team2_logo, team2_color, game_number) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) RETURNING id",
        values);
    if (!inserted->Next()) throw ESqlError("the game row was not made");
    id = inserted->Integer(0);
  } else {
    values.emplace_back(id);
    db.Run("UPDATE dvGames SET field=?, place=?, referee1=?, referee2=?, referee3=?, referee4=?, commissioner=?, "
           "competition=?, spectators=?, tv=?, time=?, \"current_time\"=?, team1_fna_id=?, team1_name=?, "
           "team1_shortname=?, team1_coach=?, team1_logo=?, team1_color=?, team2_fna_id=?, team2_name=?, "
           "team2_shortname=?, team2_coach=?, team2_logo=?, team2_color=? WHERE id=?",
           values);
  }
  db.Run("DELETE FROM dvPlayers WHERE game_id=?", {id});
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = matchInfo.Team(team);
    for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
      const TPlayer& player = roster.Player(slot);
      const std::optional<std::string> birthDate =
          player.Birth_date > 0 ? std::optional<std::string>(FormatDate(player.Birth_date)) : std::nullopt;
      db.Run("INSERT INTO dvPlayers (game_id, team, shirt_number, name, surname, player_fna_id, height, position, "
             "birth_date, club) VALUES (?,?,?,?,?,?,?,?,?,?)",
             {id, team, std::int64_t{player.Number}, player.Name, player.Surname, WholeNumber(player.ID),
              player.Height > 0 ? std::optional<double>(player.Height) : std::nullopt, NonEmpty(player.Position),
              birthDate, NonEmpty(player.Club)});
    }
  }
}

void StoreLiveAction(TSqlConnection& db, std::int64_t gameId, const TAction& action, TDateTime& clock) {
  const std::string& kind = action.ShortName;
  if (kind == "complete") return;
  if (kind == "delete") {
    DeleteEvent(db, gameId, action.Parameters.empty() ? "" : action.Parameters.front().Data, clock);
  } else if (kind == "edit") {
    UpdateEvent(db, gameId, action);
  } else if (kind == "clock") {
    // As the program's model does, the clock moves with the action: a later delete in the batch
    // compares its boundary with it.
    clock = action.GameTime;
    SetStoredClock(db, gameId, action.GameTime);
  } else {
    InsertEventOnce(db, gameId, action);
  }
}

void SaveActionList(TSqlConnection& db, std::int64_t gameId, const TActionList& actions, bool append,
                    TDateTime& clock) {
  if (!append) db.Run("DELETE FROM dvEvents WHERE game_id=?", {gameId});
  for (const auto& action : actions) {
    if (action->ShortName == "delete") {
      DeleteEvent(db, gameId, action->Parameters.empty() ? "" : action->Parameters.front().Data, clock);
    } else {
      InsertEvent(db, gameId, *action, true);
    }
  }
}

TActionList LoadActions(TSqlConnection& db, const TCatalogue& catalogue, std::string_view gameNumber) {
  TActionList actions;
  auto rows = db.Query(
      "SELECT log_id, follow_up_id, game_time, log_action, log_param_1, log_param_2, log_param_3, log_param_4, "
      "log_param_5, log_param_6, log_param_7, log_time FROM dvEvents "
      "WHERE game_id IN (SELECT id FROM dvGames WHERE game_number=?) ORDER BY game_time, log_time, id",
      {gameNumber});
  while (rows->Next()) {
    if (auto action = ActionOfEventRow(catalogue, *rows)) actions.push_back(std::move(action));  // else not one we can rebuild
  }
  return actions;
}

std::string StoredKind(TSqlConnection& db, std::int64_t gameId, std::string_view eventId) {
  auto row = db.Query("SELECT log_action FROM dvEvents WHERE game_id=? AND log_id=? ORDER BY id LIMIT 1",
                      {gameId, eventId});
  return row->Next() ? row->Text(0) : std::string();
}

std::string GameChecksum(TSqlConnection& db, std::string_view gameNumber) {
  std::string text = ChecksumHeader(db, gameNumber);
  auto players = db.Query(
      "SELECT P.player_fna_id, P.shirt_number FROM dvGames G INNER JOIN dvPlayers P ON P.game_id=G.id "
      "WHERE G.game_number=? ORDER BY P.id",
      {gameNumber});
  while (players->Next()) text += players->Text(0) + players->Text(1);
  auto events = db.Query(
      "SELECT E.log_id, E.follow_up_id, E.game_time, E.log_action, E.log_param_1, E.log_param_2, E.log_param_3, "
      "E.log_param_4, E.log_param_5, E.log_param_6 FROM dvGames G INNER JOIN dvEvents E ON E.game_id=G.id "
      "WHERE G.game_number=? ORDER BY E.game_time, E.log_time, E.id",
      {gameNumber});
  while (events->Next()) {
    for (int column = 0; column < 10; ++column) text += events->Text(column);
  }
  return Md5Hex(Utf8ToWindows1252XmlSafe(text));
}

void DeleteGame(TSqlConnection& db, std::string_view gameNumber) {
  for (const char* statement : {"DELETE FROM dvEvents WHERE game_id=(SELECT id FROM dvGames WHERE game_number=?)",
                                "DELETE FROM dvPlayers WHERE game_id=(SELECT id FROM dvGames WHERE game_number=?)",
                                "DELETE FROM dvGames WHERE game_number=?"}) {
    db.Run(statement, {gameNumber});
  }
}

}  // namespace velmora::statserver
