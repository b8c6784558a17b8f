#include "exports/box_score_workbook.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "records/file_io.h"
#include "records/game_time.h"
#include "stats/derived_scoring.h"
#include "stats/efficiency.h"
#include "stats/model.h"

namespace velmora {

namespace {

// Rows and columns count from 1 here, as a spreadsheet shows them.
constexpr int kRosterRows = 11;  // player rows of a block; a larger roster pushes the rest down
constexpr int kColumns = 26;

struct TBlockRows {
  int Name;
  int Base;  // the column heads; the player at roster position k is on Base + k
  int TeamLine;
  int Totals;
};

TBlockRows BlockRows(const TModel& model, int team) {
  const auto spill = [&](int t) { return std::max(0, model.StatPlayerCount(t) - kRosterRows); };
  const int base = team == 1 ? 7 : 26 + spill(1);
  return {base - 4, base, base + 12 + spill(team), base + 13 + spill(team)};
}

constexpr std::array<const char*, kColumns> kHeads = {"Nº",  "Jugador", "Tit", "Min", "A",   "I",   "%",   "A",  "I",
                                                      "%",   "A",       "I",   "%",   "Of",  "Def", "Tot", "As", "Com",
                                                      "Rec", "BP",      "BR",  "Fav", "Con", "Pts", "Val", "+/-"};
struct TGroup {
  int First;
  int Last;
  const char* Caption;
};
constexpr std::array<TGroup, 6> kGroups = {{{5, 7, "Tiros de 2"},
                                            {8, 10, "Tiros de 3"},
                                            {11, 13, "Tiros libres"},
                                            {14, 16, "Rebotes"},
                                            {18, 19, "Faltas"},
                                            {22, 23, "Tapones"}}};

// Shots made, attempted and their percentage, from column 5 on.
constexpr std::array<std::pair<const char*, const char*>, 3> kShots = {
    {{"P2M", "P2A"}, {"P3M", "P3A"}, {"P1M", "P1A"}}};
// The counting figures from column 14 on; the team line has them up to "BR".
constexpr std::array<const char*, 11> kFigures = {"RO", "RD", "RT", "AS", "PF", "RF", "TO", "ST", "BS", "BR", "PTS"};
constexpr std::size_t kTeamLineFigures = 10;

constexpr lxw_color_t kHeadFill = 0xD9D9D9;
constexpr lxw_color_t kShade = 0xF2F2F2;

// The formats of one kind of row.
struct TRowFormats {
  lxw_format* Centred;  // shirt number, starter mark, empty cells
  lxw_format* Name;
  lxw_format* StarterName;
  lxw_format* Figure;  // texts that read as numbers: minutes, efficiency, plus/minus
  lxw_format* Integer;
  lxw_format* Percent;
};

struct TStyle {
  bool Bold = false;
  std::uint8_t Align = LXW_ALIGN_NONE;
  const char* NumberFormat = nullptr;
  lxw_color_t Fill = 0;  // none
  std::uint8_t Top = LXW_BORDER_NONE;
  std::uint8_t Bottom = LXW_BORDER_NONE;
  double Size = 10;
};

class TSheetWriter {
 public:
  TSheetWriter(lxw_workbook* workbook, lxw_worksheet* sheet, const TModel& model, std::string_view formula)
      : Workbook_(workbook), Sheet_(sheet), Model_(model), Formula_(formula) {}

  // The first error of any cell; LXW_NO_ERROR when every cell went in.
  lxw_error Write() {
    LayOutPage();
    Text(1, 1, BoxScoreTitle(Model_), Format({.Bold = true, .Size = 14}));
    for (int team = 1; team <= 2; ++team) WriteTeam(team, BlockRows(Model_, team));
    return Error_;
  }

 private:
  lxw_format* Format(const TStyle& style) {
    lxw_format* format = workbook_add_format(Workbook_);
    format_set_font_name(format, "Arial");
    format_set_font_size(format, style.Size);
    if (style.Bold) format_set_bold(format);
    if (style.Align != LXW_ALIGN_NONE) format_set_align(format, style.Align);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    if (style.NumberFormat) format_set_num_format(format, style.NumberFormat);
    if (style.Fill != 0) {
      format_set_pattern(format, LXW_PATTERN_SOLID);
      format_set_bg_color(format, style.Fill);
    }
    if (style.Top != LXW_BORDER_NONE) format_set_top(format, style.Top);
    if (style.Bottom != LXW_BORDER_NONE) format_set_bottom(format, style.Bottom);
    return format;
  }

  TRowFormats RowFormats(TStyle style) {
    TRowFormats formats{};
    formats.Name = Format(style);
    formats.Figure = Format({.Bold = style.Bold, .Align = LXW_ALIGN_RIGHT, .Fill = style.Fill, .Top = style.Top});
    style.Align = LXW_ALIGN_CENTER;
    formats.Centred = Format(style);
    style.Align = LXW_ALIGN_NONE;
    style.NumberFormat = "0";
    formats.Integer = Format(style);
    style.NumberFormat = "0.0";
    formats.Percent = Format(style);
    style.NumberFormat = nullptr;
    style.Bold = true;
    formats.StarterName = Format(style);
    return formats;
  }

  void LayOutPage() {
    worksheet_set_landscape(Sheet_);
    worksheet_set_paper(Sheet_, 9);  // A4
    worksheet_set_margins(Sheet_, 0.4, 0.4, 0.5, 0.5);
    worksheet_center_horizontally(Sheet_);
    worksheet_fit_to_pages(Sheet_, 1, 1);
    Check(worksheet_set_column(Sheet_, 0, 0, 4.5, nullptr));
    Check(worksheet_set_column(Sheet_, 1, 1, 26, nullptr));
    Check(worksheet_set_column(Sheet_, 2, 2, 4, nullptr));
    Check(worksheet_set_column(Sheet_, 3, 3, 7, nullptr));
    Check(worksheet_set_column(Sheet_, 4, 23, 4.8, nullptr));
    for (const int percent : {6, 9, 12}) Check(worksheet_set_column(Sheet_, percent, percent, 6, nullptr));
    Check(worksheet_set_column(Sheet_, 24, 25, 6.5, nullptr));
    Plain_ = RowFormats({});
    Shaded_ = RowFormats({.Fill = kShade});
    Totals_ = RowFormats({.Bold = true, .Top = LXW_BORDER_THIN});
    Head_ = Format({.Bold = true, .Align = LXW_ALIGN_CENTER, .Fill = kHeadFill, .Bottom = LXW_BORDER_THIN});
    NameHead_ = Format({.Bold = true, .Fill = kHeadFill, .Bottom = LXW_BORDER_THIN});
    Group_ = Format({.Bold = true, .Align = LXW_ALIGN_CENTER, .Fill = kHeadFill});
    TeamName_ = Format({.Bold = true, .Size = 12});
  }

  void WriteTeam(int team, const TBlockRows& rows) {
    Text(rows.Name, 1, Model_.MatchInfo.Team(team).Name, TeamName_);
    for (int column = 1; column <= kColumns; ++column) {
      Blank(rows.Base - 1, column, Group_);
      Text(rows.Base, column, kHeads[static_cast<std::size_t>(column - 1)], column == 2 ? NameHead_ : Head_);
    }
    for (const TGroup& group : kGroups) {
      Check(worksheet_merge_range(Sheet_, Row(rows.Base - 1), Column(group.First), Row(rows.Base - 1),
                                  Column(group.Last), group.Caption, Group_));
    }
    const std::vector<int> plusMinus = PlusMinusTotals(Model_, team);
    for (int k = 1; rows.Base + k < rows.TeamLine; ++k) {
      const TRowFormats& formats = k % 2 == 1 ? Plain_ : Shaded_;
      if (k <= Model_.StatPlayerCount(team)) {
        WritePlayer(rows.Base + k, team, k, plusMinus[static_cast<std::size_t>(k)], formats);
      } else {
        for (int column = 1; column <= kColumns; ++column) Blank(rows.Base + k, column, formats.Centred);
      }
    }
    WriteTeamLine(rows.TeamLine, Model_.Stats(Model_.EntitySlot(team)));
    WriteTotals(rows.Totals, Model_.Stats(TModel::TotalsSlot(team)));
  }

  void WritePlayer(int row, int team, int slot, int plusMinus, const TRowFormats& formats) {
    const TPlayer& player = Model_.MatchInfo.Team(team).Player(slot);
    const TIntegerHash& table = Model_.Stats(TModel::PlayerSlot(team, slot));
    const bool starter = table.Get("STA") != 0;
    Text(row, 1, ShirtText(player.Number), formats.Centred);
    Text(row, 2, player.Name + ' ' + player.Surname, starter ? formats.StarterName : formats.Name);
    if (starter) {
      Text(row, 3, "*", formats.Centred);
    } else {
      Blank(row, 3, formats.Centred);
    }
    Text(row, 4, MinutesSecondsText(table.Get("MIN")), formats.Figure);
    Shots(row, table, formats);
    Figures(row, table, kFigures.size(), formats);
    Text(row, 25, EfficiencyText(Efficiency(table, Formula_)), formats.Figure);
    Text(row, 26, std::to_string(plusMinus), formats.Figure);
  }

  void WriteTeamLine(int row, const TIntegerHash& own) {
    for (int column = 1; column <= kColumns; ++column) Blank(row, column, Plain_.Centred);
    Text(row, 2, "Equipo", Plain_.Name);
    Figures(row, own, kTeamLineFigures, Plain_);
    Text(row, 25, EfficiencyText(Efficiency(own, Formula_)), Plain_.Figure);
  }

  void WriteTotals(int row, const TIntegerHash& totals) {
    for (int column = 1; column <= kColumns; ++column) Blank(row, column, Totals_.Centred);
    Text(row, 2, "Totales", Totals_.Name);
    Text(row, 4, MinutesSecondsText(totals.Get("MIN")), Totals_.Figure);
    Shots(row, totals, Totals_);
    Figures(row, totals, kFigures.size(), Totals_);
    Text(row, 25, EfficiencyText(Efficiency(totals, Formula_)), Totals_.Figure);
  }

  void Shots(int row, const TIntegerHash& table, const TRowFormats& formats) {
    int column = 5;
    for (const auto& [madeKey, attemptedKey] : kShots) {
      const int made = table.Get(madeKey);
      const int attempted = table.Get(attemptedKey);
      Number(row, column++, made, formats.Integer);
      Number(row, column++, attempted, formats.Integer);
      Number(row, column++, ShotPercentage(made, attempted), formats.Percent);
    }
  }

  void Figures(int row, const TIntegerHash& table, std::size_t count, const TRowFormats& formats) {
    for (std::size_t i = 0; i < count; ++i) {
      Number(row, 14 + static_cast<int>(i), table.Get(kFigures[i]), formats.Integer);
    }
  }

  void Text(int row, int column, const std::string& text, lxw_format* format) {
    Check(worksheet_write_string(Sheet_, Row(row), Column(column), text.c_str(), format));
  }
  void Number(int row, int column, double value, lxw_format* format) {
    Check(worksheet_write_number(Sheet_, Row(row), Column(column), value, format));
  }
  void Blank(int row, int column, lxw_format* format) {
    Check(worksheet_write_blank(Sheet_, Row(row), Column(column), format));
  }
  static lxw_row_t Row(int row) { return static_cast<lxw_row_t>(row - 1); }
  static lxw_col_t Column(int column) { return static_cast<lxw_col_t>(column - 1); }
  void Check(lxw_error error) {
    if (Error_ == LXW_NO_ERROR) Error_ = error;
  }

  lxw_workbook* Workbook_;
  lxw_worksheet* Sheet_;
  const TModel& Model_;
  std::string_view Formula_;
  lxw_error Error_ = LXW_NO_ERROR;
  TRowFormats Plain_{};
  TRowFormats Shaded_{};
  TRowFormats Totals_{};
  lxw_format* Head_ = nullptr;
  lxw_format* NameHead_ = nullptr;
  lxw_format* Group_ = nullptr;
  lxw_format* TeamName_ = nullptr;
};

// libxlsxwriter's reasons are generic ("Error creating output xlsx file"); the system's says why.
std::string Reason(lxw_error error, int systemError) {
  std::string reason = lxw_strerror(error);
  if (systemError != 0) reason += std::string(" (") + std::strerror(systemError) + ")";
  return reason;
}

TStatus WriteWorkbookFile(const TModel& model, std::string_view formula, const std::filesystem::path& file) {
  // Creating the file first gives the precise reason when it cannot be created at all.
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return TError{std::strerror(errno)};
  ::close(fd);

  lxw_workbook* workbook = workbook_new(file.c_str());
  if (workbook == nullptr) return TError{"the workbook could not be started"};
  std::string title = BoxScoreTitle(model);
  std::string author = "Talvex Velmora";
  lxw_doc_properties properties{};
  properties.title = title.data();
  properties.author = author.data();
  lxw_error error = workbook_set_properties(workbook, &properties);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Boxscore");
  if (error == LXW_NO_ERROR && sheet != nullptr) error = TSheetWriter(workbook, sheet, model, formula).Write();
  errno = 0;
  const lxw_error closed = workbook_close(workbook);  // frees the workbook whatever happened
  const int systemError = errno;
  if (error != LXW_NO_ERROR) return TError{Reason(error, 0)};
  if (sheet == nullptr) return TError{"the workbook could not be started"};
  if (closed != LXW_NO_ERROR) return TError{Reason(closed, systemError)};
  return {};
}

}  // namespace

std::string BoxScoreTitle(const TModel& model) {
  const TMatchInfo& game = model.MatchInfo;
  const auto [home, away] = model.Score();
  std::string title =
      game.Team1.Name + " - " + game.Team2.Name + "  " + std::to_string(home) + ":" + std::to_string(away) + " (";
  if (model.CurrentPeriod() == 0) {
    title += "Partido no comenzado";
  } else {
    const auto periods = model.PeriodScores();
    const std::size_t shown = std::min(periods.size(), static_cast<std::size_t>(model.CurrentPeriod()));
    for (std::size_t i = 0; i < shown; ++i) {
      if (i > 0) title += ", ";
      title += std::to_string(periods[i].first) + ":" + std::to_string(periods[i].second);
    }
  }
  return title + ")";
}

double ShotPercentage(int made, int attempted) {
  return attempted == 0 ? 0.0 : std::round(made * 1000.0 / attempted) / 10.0;
}

TStatus WriteBoxScoreWorkbook(const TModel& model, std::string_view efficiencyFormula,
                              const std::filesystem::path& file) {
  return ReplaceFileWith(file, [&](const std::filesystem::path& temporary) {
    return WriteWorkbookFile(model, efficiencyFormula, temporary);
  });
}

}  // namespace velmora
