-- The game database. The program copies the empty database built from this file and never
-- creates tables itself.

CREATE TABLE dvGames (
  id INTEGER PRIMARY KEY,
  game_number TEXT,
  field TEXT,
  place TEXT,
  referee1 TEXT,
  referee2 TEXT,
  referee3 TEXT,
  referee4 TEXT,
  commissioner TEXT,
  competition TEXT,
  spectators INTEGER,
  tv INTEGER,
  time TEXT,
  "current_time" TEXT,
  team1_fna_id INTEGER,
  team1_name TEXT,
  team1_shortname TEXT,
  team1_coach TEXT,
  team1_logo TEXT,
  team1_color INTEGER,
  team2_fna_id INTEGER,
  team2_name TEXT,
  team2_shortname TEXT,
  team2_coach TEXT,
  team2_logo TEXT,
  team2_color INTEGER
);
CREATE INDEX dvGames_game_number ON dvGames (game_number);

CREATE TABLE dvPlayers (
  id INTEGER PRIMARY KEY,
  game_id INTEGER,
  team INTEGER,
  shirt_number INTEGER,
  name TEXT,
  surname TEXT,
  player_fna_id INTEGER,
  height REAL,
  position TEXT,
  birth_date TEXT,
  club TEXT
);
CREATE INDEX dvPlayers_game ON dvPlayers (game_id);

CREATE TABLE dvEvents (
  id INTEGER PRIMARY KEY,
  game_id INTEGER,
  log_id TEXT,
  follow_up_id TEXT,
  log_time TEXT,
  game_time TEXT,
  log_action TEXT,
  log_param_1 TEXT,
  log_param_2 TEXT,
  log_param_3 TEXT,
  log_param_4 TEXT,
  log_param_5 TEXT,
  log_param_6 TEXT,
  log_param_7 TEXT,
  deleted INTEGER,
  dirty INTEGER
);
-- The action log is always read in this order.
CREATE INDEX dvEvents_game_order ON dvEvents (game_id, game_time, log_time, id);
CREATE INDEX dvEvents_log_id ON dvEvents (log_id);
