#include "store/database_plugin.h"

#include <nettle/md5.h>

#include <unistd.h>
#include <array>
#include <charconv>

#include "platform/folders.h"
#include "platform/logger.h"
#include "records/file_io.h"
#include "records/guid.h"
#include "records/match_info.h"
#include "records/message_source.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "stats/model.h"
#include "store/event_row.h"
#include "store/sqlite.h"

namespace velmora {

namespace {

constexpr int kParamColumns = 7;
constexpr const char* kDatabaseName = "dravon.db";

constexpr const char* kGameColumns =
    "game_number, field, place, referee1, referee2, referee3, referee4, commissioner, competition, spectators, tv, "
    "time, \"current_time\", team1_fna_id, team1_name, team1_shortname, team1_coach, team1_logo, team1_color, "
    "team2_fna_id, team2_name, team2_shortname, team2_coach, team2_logo, team2_color";
constexpr const char* kEventColumns =
    "log_id, follow_up_id, game_time, log_action, log_param_1, log_param_2, log_param_3, log_param_4, log_param_5, "
    "log_param_6, log_param_7, log_time";

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

// Fills the match information from a row of kGameColumns.
void ReadGameRow(const TSqliteStatement& row, TMatchInfo& matchInfo) {
  matchInfo.GameNumber = row.Text(0);
  matchInfo.Field = row.Text(1);
  matchInfo.Place = row.Text(2);
  matchInfo.Referee1 = row.Text(3);
  matchInfo.Referee2 = row.Text(4);
  matchInfo.Referee3 = row.Text(5);
  matchInfo.Referee4 = row.Text(6);
  matchInfo.Commissioner = row.Text(7);
  matchInfo.Competition = row.Text(8);
  matchInfo.Spectators = static_cast<std::int32_t>(row.IntegerIfReadable(9).value_or(0));
  matchInfo.TV = static_cast<std::int32_t>(row.IntegerIfReadable(10).value_or(0));
  matchInfo.Time = ParseDateTime(row.Text(11)).value_or(Today());
  const std::string clock = row.Text(12);
  matchInfo.CurrentGameTime = ParseTime(clock).value_or(ParseDateTime(clock).value_or(0));
  for (int team = 1; team <= 2; ++team) {
    const int column = 13 + (team - 1) * 6;
    TTeam fresh;
    fresh.ID = row.IsNull(column) ? "" : row.Text(column);
    fresh.Name = row.Text(column + 1);
    fresh.Shortname = row.Text(column + 2);
    fresh.Coach = row.Text(column + 3);
    fresh.Logo = row.Text(column + 4);
    fresh.Color = static_cast<std::int32_t>(row.IntegerIfReadable(column + 5).value_or(-1));
    matchInfo.Team(team) = fresh;
  }
}

std::string Md5Hex(std::string_view bytes) {
  md5_ctx context;
  md5_init(&context);
  md5_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  std::string digest(MD5_DIGEST_SIZE, '\0');
  md5_digest(&context, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
  return HexText(digest);
}

std::string DamagedMessage(const std::filesystem::path& file, const std::string& detail) {
  return "La base de datos de partidos \"" + file.string() + "\" está dañada (" + detail + "); no se modificará.";
}

bool IsDamage(const ESqliteError& failure) {
  return failure.PrimaryCode() == SQLITE_CORRUPT || failure.PrimaryCode() == SQLITE_NOTADB;
}

// The connection when the file is a sound game database; the refusal when it is not ours or is
// damaged. Any other failure (it cannot be opened or read) raises ESqliteError. Nothing is
// written: a foreign or damaged file must stay as it was.
TResult<std::unique_ptr<TSqliteDatabase>> OpenGameDatabase(const std::filesystem::path& file,
                                                           TSqliteDatabase::TOpenMode mode) {
  try {
    auto database = std::make_unique<TSqliteDatabase>(file, mode);
    {
      auto tables = database->Prepare(
          "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('dvGames','dvPlayers','dvEvents')");
      if (!tables->Step() || tables->Integer(0) != 3) {
        return TError{"La base de datos \"" + file.string() + "\" no contiene las tablas de partidos."};
      }
    }
    // Damage inside the pages would otherwise pass for games that are missing or there twice.
    auto check = database->Prepare("PRAGMA quick_check(1)");
    const std::string verdict = check->Step() ? check->Text(0) : "no answer";
    // The first problem is on the last line, after a header naming the database.
    if (verdict != "ok") return TError{DamagedMessage(file, verdict.substr(verdict.rfind('\n') + 1))};
    return database;
  } catch (const ESqliteError& failure) {
    if (IsDamage(failure)) return TError{DamagedMessage(file, failure.what())};
    throw;
  }
}

// True when the write-ahead log beside the file holds changes that the file itself lacks.
bool LogHoldsChanges(const std::filesystem::path& file) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file.string() + "-wal", error);
  return !error && size > 0;
}

// The copy is flushed to disk and renamed into place, so that a copy cut short by a crash never
// becomes the database.
void CopyTemplate(const std::filesystem::path& from, const std::filesystem::path& to) {
  const auto bytes = ReadWholeFile(from);
  if (bytes) (void)ReplaceFileAtomically(to, *bytes);
}

}  // namespace

TResult<std::unique_ptr<TDatabasePlugin>> TDatabasePlugin::Open(const std::filesystem::path& dataFolder,
                                                                std::string_view versionFolder,
                                                                const std::filesystem::path& programFolder) {
  // The registry value names a folder inside the data folder, never a way out of it.
  if (versionFolder == ".." || versionFolder.find_first_of("/\\") != std::string_view::npos) {
    return TError{"El valor \"DBVersion\" del registro (\"" + std::string(versionFolder) +
                  "\") no es el nombre de una carpeta dentro de la carpeta de datos."};
  }
  const std::filesystem::path folder = versionFolder.empty() ? dataFolder : dataFolder / versionFolder;
  std::error_code error;
  if (!std::filesystem::exists(folder, error)) {
    std::filesystem::create_directory(folder, error);
    Log("Creating directory \"" + folder.string() + "\"");
  }
  const std::filesystem::path file = folder / kDatabaseName;
  if (!std::filesystem::exists(file, error)) {
    CopyTemplate(programFolder / kDatabaseName, file);
    Log("Copying empty database from \"" + (programFolder / "").string() + "\" to \"" + folder.string() + "\"");
  }
  return OpenFile(file, programFolder / kDatabaseName);
}

TResult<std::unique_ptr<TDatabasePlugin>> TDatabasePlugin::OpenFile(const std::filesystem::path& file,
                                                                    const std::filesystem::path& templateFile) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    // Else the operator would only read that his own store cannot be opened, when it is the
    // installation that lacks a file.
    if (!std::filesystem::is_regular_file(templateFile, error)) {
      return TError{"No se encuentra la base de datos vacía \"" + templateFile.string() +
                    "\" para crear \"" + file.string() + "\"; el programa no está instalado completo."};
    }
    CopyTemplate(templateFile, file);
  }
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  try {
    auto opened = OpenGameDatabase(file, TSqliteDatabase::TOpenMode::ReadWrite);
    if (!opened) return TError{opened.Error()};
    auto& database = opened.Value();
    // SQLite falls back to reading alone when the file may not be written.
    if (sqlite3_db_readonly(database->Handle(), "main") == 1) {
      const std::string reason = UnwritableReason(folder).value_or("el fichero es de solo lectura");
      Log("Using DB at \"" + file.string() + "\" for reading only: " + reason);
      return std::unique_ptr<TDatabasePlugin>(new TDatabasePlugin(std::move(database), file, reason));
    }
    // Write-ahead log with a flush at every commit: a stored action survives a crash or a power
    // cut, and a commit costs one flush of the log.
    database->Execute("PRAGMA journal_mode=WAL");
    database->Execute("PRAGMA synchronous=FULL");
    Log("Using DB at \"" + file.string() + "\"");
    return std::unique_ptr<TDatabasePlugin>(new TDatabasePlugin(std::move(database), file, ""));
  } catch (const ESqliteError& failure) {
    // A read-only or full disk keeps every game readable.
    if (const auto reason = UnwritableReason(folder)) return OpenForReading(file, *reason);
    return TError{"No se puede abrir la base de datos \"" + file.string() + "\": " + failure.what()};
  }
}

TResult<std::unique_ptr<TDatabasePlugin>> TDatabasePlugin::OpenForReading(const std::filesystem::path& file,
                                                                          const std::string& reason) {
  std::string failure = "no se puede leer";
  for (const auto mode : {TSqliteDatabase::TOpenMode::ReadOnly, TSqliteDatabase::TOpenMode::Immutable}) {
    // The file alone would lack what its log still holds.
    if (mode == TSqliteDatabase::TOpenMode::Immutable && LogHoldsChanges(file)) break;
    try {
      auto opened = OpenGameDatabase(file, mode);
      if (!opened) return TError{opened.Error()};
      Log("Using DB at \"" + file.string() + "\" for reading only: " + reason);
      return std::unique_ptr<TDatabasePlugin>(new TDatabasePlugin(std::move(opened.Value()), file, reason));
    } catch (const ESqliteError& error) {
      failure = error.what();
    }
  }
  return TError{"No se puede abrir la base de datos \"" + file.string() + "\": " + reason + " (" + failure + ")."};
}

TDatabasePlugin::TDatabasePlugin(std::unique_ptr<TSqliteDatabase> database, std::filesystem::path file,
                                 const std::string& readOnlyReason)
    : Database_(std::move(database)), File_(std::move(file)) {
  if (!readOnlyReason.empty()) WriteRefusal_ = WriteRefusalText(readOnlyReason);
  Catalogue_.LoadCatalogue();
}

std::string TDatabasePlugin::WriteRefusalText(const std::string& reason) const {
  return "No se puede modificar la base de datos de partidos \"" + File_.string() + "\": " + reason + ".";
}

void TDatabasePlugin::RequireWritable() const {
  if (!WriteRefusal_.empty()) throw ESqliteError(WriteRefusal_, SQLITE_READONLY);
}

std::string TDatabasePlugin::Explain(const ESqliteError& failure) {
  if (IsDamage(failure)) {
    // Writing on would spread the damage.
    WriteRefusal_ = DamagedMessage(File_, failure.what());
    LastError_ = WriteRefusal_;
  } else if (!WriteRefusal_.empty() && failure.PrimaryCode() == SQLITE_READONLY) {
    LastError_ = WriteRefusal_;
  } else if (failure.PrimaryCode() == SQLITE_FULL) {
    LastError_ = WriteRefusalText("el disco está lleno");
  } else if (failure.PrimaryCode() == SQLITE_READONLY || failure.PrimaryCode() == SQLITE_IOERR ||
             failure.PrimaryCode() == SQLITE_CANTOPEN) {
    const std::filesystem::path folder = File_.has_parent_path() ? File_.parent_path() : std::filesystem::path(".");
    LastError_ = WriteRefusalText(UnwritableReason(folder).value_or(failure.what()));
  } else {
    LastError_ = failure.what();
  }
  return LastError_;
}

TDatabasePlugin::~TDatabasePlugin() = default;

std::int64_t TDatabasePlugin::FindGameId(std::string_view gameNumber) {
  try {
    return GameIdOf(gameNumber);
  } catch (const ESqliteError& failure) {
    Explain(failure);
    return 0;
  }
}

std::int64_t TDatabasePlugin::GameIdOf(std::string_view gameNumber) {
  auto query = Database_->Prepare("SELECT id FROM dvGames WHERE game_number=?");
  query->Bind(1, gameNumber);
  return query->Step() ? query->Integer(0) : 0;
}

bool TDatabasePlugin::InTransaction(const std::function<bool()>& work) {
  try {
    RequireWritable();
    TSqliteTransaction transaction(*Database_);
    if (!work()) return false;
    transaction.Commit();
    return true;
  } catch (const ESqliteError& failure) {
    Log("DB Exception: " + Explain(failure));
    return false;
  }
}

bool TDatabasePlugin::LoadGamesList(TObjectHash<TMatchInfo>& games) {
  try {
    auto query = Database_->Prepare(std::string("SELECT ") + kGameColumns + " FROM dvGames");
    while (query->Step()) {
      auto matchInfo = std::make_unique<TMatchInfo>();
      ReadGameRow(*query, *matchInfo);
      matchInfo->Empty = false;
      if (matchInfo->GameNumber.empty()) continue;  // a row without a key cannot be listed
      const std::string gameNumber = matchInfo->GameNumber;
      games.Set(gameNumber, std::move(matchInfo));
    }
    return true;
  } catch (const ESqliteError& failure) {
    Log("DB Exception while loading games list: " + Explain(failure));
    return false;
  } catch (const std::exception& failure) {
    Log(std::string("DB Exception while loading games list: ") + failure.what());
    return false;
  }
}

bool TDatabasePlugin::LoadMatchInfo(std::string_view gameNumber, TMatchInfo& matchInfo) {
  try {
    TSqliteTransaction transaction(*Database_);
    auto game = Database_->Prepare(std::string("SELECT ") + kGameColumns + " FROM dvGames WHERE game_number=?");
    game->Bind(1, gameNumber);
    if (game->Step()) {
      ReadGameRow(*game, matchInfo);
      auto players = Database_->Prepare(
          "SELECT P.id, P.team, P.shirt_number, P.name, P.surname, P.player_fna_id, P.height, P.position, "
          "P.birth_date, P.club FROM dvPlayers P INNER JOIN dvGames G ON G.id=P.game_id WHERE G.game_number=? "
          "ORDER BY P.id");
      players->Bind(1, gameNumber);
      while (players->Step()) {
        TTeam& team = matchInfo.Team(players->IntegerIfReadable(1) == 1 ? 1 : 2);
        const auto number = players->IntegerIfReadable(2);
        if (!number || team.PlayerCount == TTeam::kMaxPlayers) continue;
        TPlayer& player = team.Player(team.PlayerCount + 1);
        player = TPlayer{};
        player.ID = players->IsNull(5) ? "" : players->Text(5);
        player.LocalId = static_cast<std::int32_t>(players->Integer(0));
        player.Number = static_cast<std::int32_t>(*number);
        player.Name = players->Text(3);
        player.Surname = players->Text(4);
        player.Height = players->RealIfReadable(6).value_or(0);
        player.Position = players->Text(7);
        player.Birth_date = ParseDate(players->Text(8)).value_or(0);
        player.Club = players->Text(9);
        ++team.PlayerCount;
      }
    }
    transaction.Commit();
    matchInfo.Empty = false;
    return true;
  } catch (const ESqliteError& failure) {
    Log("DB Exception while loading matchinfo: " + Explain(failure));
    return false;
  }
}

TStatus TDatabasePlugin::StoreMatchInfo(const TMatchInfo& matchInfo) {
  try {
    RequireWritable();
    TSqliteTransaction transaction(*Database_);
    // A game that cannot be looked up must not be inserted a second time.
    std::int64_t id = GameIdOf(matchInfo.GameNumber);
    const bool isNew = id == 0;
    auto game = Database_->Prepare(
        isNew ? std::string("INSERT INTO dvGames (field, place, referee1, referee2, referee3, referee4, "
                            "commissioner, competition, spectators, tv, time, \"current_time\", team1_fna_id, "
                            "team1_name, team1_shortname, team1_coach, team1_logo, team1_color, team2_fna_id, "
                            "team2_name, team2_shortname, team2_coach, team2_logo, team2_color, game_number) "
                            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
              : std::string("UPDATE dvGames SET field=?, place=?, referee1=?, referee2=?, referee3=?, referee4=?, "
                            "commissioner=?, competition=?, spectators=?, tv=?, time=?, \"current_time\"=?, "
                            "team1_fna_id=?, team1_name=?, team1_shortname=?, team1_coach=?, team1_logo=?, "
                            "team1_color=?, team2_fna_id=?, team2_name=?, team2_shortname=?, team2_coach=?, "
                            "team2_logo=?, team2_color=? WHERE id=?"));
    game->Bind(1, matchInfo.Field).Bind(2, matchInfo.Place).Bind(3, matchInfo.Referee1);
    game->Bind(4, matchInfo.Referee2).Bind(5, matchInfo.Referee3).Bind(6, matchInfo.Referee4);
    game->Bind(7, matchInfo.Commissioner).Bind(8, matchInfo.Competition);
    game->Bind(9, std::int64_t{matchInfo.Spectators}).Bind(10, std::int64_t{matchInfo.TV});
    game->Bind(11, FormatDateTime(matchInfo.Time)).Bind(12, FormatLongTime(matchInfo.CurrentGameTime));
    for (int team = 1; team <= 2; ++team) {
      const TTeam& roster = matchInfo.Team(team);
      const int column = 13 + (team - 1) * 6;
      game->Bind(column, WholeNumber(roster.ID)).Bind(column + 1, roster.Name).Bind(column + 2, roster.Shortname);
      game->Bind(column + 3, roster.Coach).Bind(column + 4, roster.Logo).Bind(column + 5, std::int64_t{roster.Color});
    }
    if (isNew) {
      game->Bind(25, matchInfo.GameNumber);
    } else {
      game->Bind(25, id);
    }
    game->Step();
    if (isNew) id = Database_->LastInsertRowId();

    auto clearPlayers = Database_->Prepare("DELETE FROM dvPlayers WHERE game_id=?");
    clearPlayers->Bind(1, id);
    clearPlayers->Step();
    auto insertPlayer = Database_->Prepare(
        "INSERT INTO dvPlayers (game_id, team, shirt_number, name, surname, player_fna_id, height, position, "
        "birth_date, club) VALUES (?,?,?,?,?,?,?,?,?,?)");
    for (int team = 1; team <= 2; ++team) {
      const TTeam& roster = matchInfo.Team(team);
      for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
        const TPlayer& player = roster.Player(slot);
        insertPlayer->Reset();
        insertPlayer->Bind(1, id).Bind(2, std::int64_t{team}).Bind(3, std::int64_t{player.Number});
        insertPlayer->Bind(4, player.Name).Bind(5, player.Surname).Bind(6, WholeNumber(player.ID));
        insertPlayer->Bind(7, player.Height > 0 ? std::optional<double>(player.Height) : std::nullopt);
        insertPlayer->Bind(8, NonEmpty(player.Position));
        insertPlayer->Bind(
            9, player.Birth_date > 0 ? std::optional<std::string>(FormatDate(player.Birth_date)) : std::nullopt);
        insertPlayer->Bind(10, NonEmpty(player.Club));
        insertPlayer->Step();
      }
    }
    transaction.Commit();
    return {};
  } catch (const ESqliteError& failure) {
    const std::string reason = Explain(failure);
    Log("DB Exception while updating match info: " + reason);
    return TError{"Error al guardar la información del partido: " + reason};
  }
}

void TDatabasePlugin::InsertEvent(std::int64_t gameId, const TAction& action, bool correctForImport) {
  std::array<std::optional<std::string>, kParamColumns> params;
  for (std::size_t i = 0; i < params.size() && i < action.Parameters.size(); ++i) params[i] = action.Parameters[i].Data;
  std::string gameTime = FormatLongTime(action.GameTime);
  if (correctForImport) {
    // Lists from elsewhere may carry a foul's parameters in another order, and substitutions
    // before the tip-off at midday.
    if (action.ShortName == "foul" && action.Parameters.size() > 2 && action.Parameters[2].Name == "Fouled on") {
      std::swap(params[2], params[3]);
    }
    if (action.ShortName == "subst" && gameTime == "12:00:00") gameTime = "00:00:00";
  }
  auto insert = Database_->Prepare(
      "INSERT INTO dvEvents (game_id, log_id, follow_up_id, log_time, game_time, log_action, log_param_1, "
      "log_param_2, log_param_3, log_param_4, log_param_5, log_param_6, log_param_7, deleted, dirty) "
      "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,0,1)");
  insert->Bind(1, gameId).Bind(2, action.ID);
  insert->Bind(3, action.IsFollowUp() ? std::optional<std::string>(action.FollowUpID) : std::nullopt);
  insert->Bind(4, FormatLongTime(action.AstroTime)).Bind(5, gameTime).Bind(6, action.ShortName);
  for (int i = 0; i < kParamColumns; ++i) insert->Bind(7 + i, params[static_cast<std::size_t>(i)]);
  insert->Step();
}

void TDatabasePlugin::DeleteEvent(std::int64_t gameId, std::string_view eventId, TDateTime& gameClock) {
  std::int64_t rowId = 0;
  std::string kind;
  std::string time;
  std::string quarter;
  {
    auto find = Database_->Prepare(
        "SELECT id, log_action, game_time, log_param_1 FROM dvEvents WHERE log_id=? AND game_id=?");
    find->Bind(1, eventId).Bind(2, gameId);
    if (!find->Step()) return;
    rowId = find->Integer(0);
    kind = find->Text(1);
    time = find->Text(2);
    quarter = find->Text(3);
  }
  auto remove = Database_->Prepare("DELETE FROM dvEvents WHERE id=?");
  remove->Bind(1, rowId);
  remove->Step();
  // The start and the end of the game ("Quarter" 0) go alone, as the model and the history drop them.
  if (kind != "quarter" || quarter == "0") return;

  // Everything after a removed period boundary goes with it, and the clock returns to it.
  auto later = Database_->Prepare("DELETE FROM dvEvents WHERE game_id=? AND game_time>?");
  later->Bind(1, gameId).Bind(2, time);
  later->Step();
  const TDateTime boundary = ParseTime(time).value_or(0);
  if (ClockBefore(boundary, gameClock)) {
    gameClock = boundary;
    SetStoredClock(gameId, boundary);
  }
}

void TDatabasePlugin::UpdateEvent(std::int64_t gameId, const TAction& action) {
  auto find = Database_->Prepare("SELECT id FROM dvEvents WHERE log_id=? AND game_id=?");
  find->Bind(1, action.ID).Bind(2, gameId);
  if (!find->Step()) return;
  const std::int64_t rowId = find->Integer(0);
  // The event keeps the time it was entered at: it orders the events of one game second, and a
  // correction must not move a foul behind its own free throws.
  auto update = Database_->Prepare(
      "UPDATE dvEvents SET follow_up_id=coalesce(?, follow_up_id), game_time=?, log_param_1=?, "
      "log_param_2=?, log_param_3=?, log_param_4=?, log_param_5=?, log_param_6=?, log_param_7=? WHERE id=?");
  update->Bind(1, action.IsFollowUp() ? std::optional<std::string>(action.FollowUpID) : std::nullopt);
  update->Bind(2, FormatLongTime(action.GameTime));
  for (int i = 0; i < kParamColumns; ++i) {
    const auto index = static_cast<std::size_t>(i);
    update->Bind(3 + i, index < action.Parameters.size() ? std::optional<std::string>(action.Parameters[index].Data)
                                                         : std::nullopt);
  }
  update->Bind(10, rowId);
  update->Step();
}

void TDatabasePlugin::SetStoredClock(std::int64_t gameId, TDateTime clock) {
  auto update = Database_->Prepare("UPDATE dvGames SET \"current_time\"=? WHERE id=?");
  update->Bind(1, FormatLongTime(clock)).Bind(2, gameId);
  update->Step();
}

bool TDatabasePlugin::StoreAction(TMatchInfo& matchInfo, const TAction& action) {
  const std::string& kind = action.ShortName;
  if (kind == "complete") return true;
  const std::string eventId = action.Parameters.empty() ? std::string() : action.Parameters.front().Data;
  try {
    RequireWritable();
    TSqliteTransaction transaction(*Database_);
    const std::int64_t gameId = GameIdOf(matchInfo.GameNumber);
    if (kind == "delete") {
      DeleteEvent(gameId, eventId, matchInfo.CurrentGameTime);
    } else if (kind == "edit") {
      UpdateEvent(gameId, action);
    } else if (kind == "clock") {
      SetStoredClock(gameId, action.GameTime);
    } else {
      InsertEvent(gameId, action, false);
    }
    transaction.Commit();
    return true;
  } catch (const ESqliteError& failure) {
    std::string line;
    if (kind == "delete") {
      line = "DB Exception while deleting action \"" + eventId + "\": ";
    } else if (kind == "edit") {
      line = "DB Exception while updating action\"" + action.ID + "\": ";
    } else if (kind == "clock") {
      line = "DB Exception while setting clock to \"" + FormatLongTime(action.GameTime) + "\": ";
    } else {
      TAction described(action);
      line = "DB Exception while inserting action \"" + described.Describe(matchInfo, TNoMessages()) + "\": ";
    }
    Log(line + Explain(failure));
    return false;
  }
}

TActionList TDatabasePlugin::ReadActions(std::string_view gameNumber) {
  TActionList actions;
  auto query = Database_->Prepare(std::string("SELECT ") + kEventColumns +
                                  " FROM dvEvents WHERE game_id IN (SELECT id FROM dvGames WHERE game_number=?) "
                                  "ORDER BY game_time, log_time, id");
  query->Bind(1, gameNumber);
  while (query->Step()) {
    if (auto action = ActionOfEventRow(Catalogue_, *query)) actions.push_back(std::move(action));  // else not one we can rebuild
  }
  return actions;
}

bool TDatabasePlugin::LoadActions(std::string_view gameNumber, TActionList& actions) {
  try {
    actions = ReadActions(gameNumber);
    return true;
  } catch (const ESqliteError& failure) {
    Log("DB Exception while loading actions: " + Explain(failure));
    return false;
  }
}

TResult<std::string> TDatabasePlugin::ComputeChecksum(const TMatchInfo& matchInfo) {
  std::string text = matchInfo.GameNumber + FormatDateTime(matchInfo.Time) + matchInfo.Place + matchInfo.Field +
                     std::to_string(matchInfo.TV) + matchInfo.Referee1 + matchInfo.Referee2 + matchInfo.Referee3 +
                     matchInfo.Referee4 + matchInfo.Commissioner + matchInfo.Competition;
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = matchInfo.Team(team);
    text += roster.ID + roster.Name + roster.Shortname + std::string(Trimmed(roster.Coach));
  }
  try {
    auto players = Database_->Prepare(
        "SELECT P.player_fna_id, P.shirt_number FROM dvGames G INNER JOIN dvPlayers P ON P.game_id=G.id "
        "WHERE G.game_number=? ORDER BY P.id");
    players->Bind(1, matchInfo.GameNumber);
    while (players->Step()) text += players->Text(0) + players->Text(1);
    auto events = Database_->Prepare(
        "SELECT E.log_id, E.follow_up_id, E.game_time, E.log_action, E.log_param_1, E.log_param_2, E.log_param_3, "
        "E.log_param_4, E.log_param_5, E.log_param_6 FROM dvGames G INNER JOIN dvEvents E ON E.game_id=G.id "
        "WHERE G.game_number=? ORDER BY E.game_time, E.log_time, E.id");
    events->Bind(1, matchInfo.GameNumber);
    while (events->Step()) {
      for (int column = 0; column < 10; ++column) text += events->Text(column);
    }
  } catch (const ESqliteError& failure) {
    return TError{Explain(failure)};
  }
  return Md5Hex(Utf8ToWindows1252XmlSafe(text));
}

bool TDatabasePlugin::SaveActionList(std::string_view gameNumber, const TActionList& actions, bool append,
                                     TDateTime& gameClock) {
  try {
    RequireWritable();
    TSqliteTransaction transaction(*Database_);
    const std::int64_t gameId = GameIdOf(gameNumber);
    if (!append) {
      auto clear =
          Database_->Prepare("DELETE FROM dvEvents WHERE game_id=(SELECT id FROM dvGames WHERE game_number=?)");
      clear->Bind(1, gameNumber);
      clear->Step();
    }
    for (const auto& action : actions) {
      if (action->ShortName == "delete") {
        DeleteEvent(gameId, action->Parameters.empty() ? "" : action->Parameters.front().Data, gameClock);
      } else {
        InsertEvent(gameId, *action, true);
      }
    }
    transaction.Commit();
    return true;
  } catch (const ESqliteError& failure) {
    Log("DB Exception while sending action list: " + Explain(failure));
    return false;
  }
}

TStatus TDatabasePlugin::DeleteGame(std::string_view gameNumber) {
  try {
    RequireWritable();
    TSqliteTransaction transaction(*Database_);
    for (const char* statement : {"DELETE FROM dvEvents WHERE game_id=(SELECT id FROM dvGames WHERE game_number=?)",
                                  "DELETE FROM dvPlayers WHERE game_id=(SELECT id FROM dvGames WHERE game_number=?)",
                                  "DELETE FROM dvGames WHERE game_number=?"}) {
      auto query = Database_->Prepare(statement);
      query->Bind(1, gameNumber);
      query->Step();
    }
    transaction.Commit();
    return {};
  } catch (const ESqliteError& failure) {
    Log("DB Exception, failed to delete game " + std::string(gameNumber));
    return TError{"No se pudo eliminar el partido " + std::string(gameNumber) + ": " + Explain(failure)};
  }
}

TDatabasePlugin* DatabaseOf(const TModel& model) { return dynamic_cast<TDatabasePlugin*>(model.Store()); }

}  // namespace velmora
