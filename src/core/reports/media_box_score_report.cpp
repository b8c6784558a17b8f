#include "reports/media_box_score_report.h"

#include <algorithm>
#include <optional>

#include "platform/configuration.h"
#include "records/date_time.h"
#include "records/game_time.h"
#include "records/text_utils.h"
#include "reports/common_header.h"
#include "stats/derived_scoring.h"
#include "stats/efficiency.h"
#include "stats/model.h"

namespace velmora {

namespace {

constexpr int kHalves = 8;

std::string TeamLetter(int team) { return team == 1 ? "A" : "B"; }

// The shooting and counting figures that players and totals share, under `prefix`.
void SetLine(TReportData& data, const TIntegerHash& table, const std::string& prefix, int fouls) {
  const auto set = [&](const char* ending, std::string text) { data.SetParameter(prefix + ending, std::move(text)); };
  const auto count = [&](const char* key) { return std::to_string(table.Get(key)); };
  const auto madeOf = [&](const char* made, const char* attempted) { return count(made) + "/" + count(attempted); };
  set("MIN", MinutesSecondsText(table.Get("MIN")));
  set("2PFGMA", madeOf("P2M", "P2A"));
  set("2PFGPR", PercentText(table.Get("P2M"), table.Get("P2A")));
  set("3PFGMA", madeOf("P3M", "P3A"));
  set("3PFGPR", PercentText(table.Get("P3M"), table.Get("P3A")));
  set("FTMA", madeOf("P1M", "P1A"));
  set("FTPR", PercentText(table.Get("P1M"), table.Get("P1A")));
  set("REBOFF", count("RO"));
  set("REBDEF", count("RD"));
  set("REBTOT", count("RT"));
  set("AS", count("AS"));
  set("PF", std::to_string(fouls));
  set("RF", count("RF"));
  set("TO", count("TO"));
  set("ST", count("ST"));
  set("BS", count("BS"));
  set("BR", count("BR"));
  set("PTS", count("PTS"));
}

void SetPlayers(TReportData& data, const TModel& model, int team) {
  const TTeam& roster = model.MatchInfo.Team(team);
  const std::string formula = model.Config().GetString("eff_formula");
  const int foulLimit = model.Config().GetInt("fouls_per_player");
  const std::vector<int> plusMinus = PlusMinusTotals(model, team);
  for (int position = 1; position <= model.StatPlayerCount(team); ++position) {
    const TPlayer& player = roster.Player(position);
    const TIntegerHash& table = model.Stats(TModel::PlayerSlot(team, position));
    const std::string prefix = TeamLetter(team) + std::to_string(position);
    data.SetParameter(prefix + "No", ShirtText(player.Number));
    if (table.Get("STA") == 1) data.SetParameter(prefix + "STA", "*");
    data.SetParameter(prefix + "NAME", player.Name + " " + player.Surname);
    SetLine(data, table, prefix, std::min(table.Get("PF"), foulLimit));
    data.SetParameter(prefix + "PLVAL", std::to_string(plusMinus[static_cast<std::size_t>(position)]));
    data.SetParameter(prefix + "EFF", EfficiencyText(Efficiency(table, formula)));
  }
}

void SetTeam(TReportData& data, const TModel& model, int team) {
  const std::string formula = model.Config().GetString("eff_formula");
  const TIntegerHash& line = model.Stats(model.EntitySlot(team));
  const std::string prefix = "TC" + std::to_string(team);
  for (const auto& [ending, key] : {std::pair{"REBOFF", "RO"},
                                    {"REBDEF", "RD"},
                                    {"REBTOT", "RT"},
                                    {"AS", "AS"},
                                    {"TO", "TO"},
                                    {"PF", "PF"},
                                    {"RF", "RF"},
                                    {"BS", "BS"},
                                    {"BR", "BR"},
                                    {"ST", "ST"}}) {
    data.SetParameter(prefix + ending, std::to_string(line.Get(key)));
  }
  data.SetParameter(prefix + "EFF", EfficiencyText(Efficiency(line, formula)));

  const TIntegerHash& totals = model.Stats(TModel::TotalsSlot(team));
  const std::string sum = TeamLetter(team) + "SUM";
  SetLine(data, totals, sum, totals.Get("PF"));
  data.SetParameter(sum + "EFF", EfficiencyText(Efficiency(totals, formula)));
}

void SetHalfPeriods(TReportData& data, const TModel& model, const TRegularScoring& scoring) {
  const int g = model.Config().GetInt("quarter_duration") * 60;
  const int m = WholeSeconds(model.MatchInfo.CurrentGameTime);
  for (int k = 1; k <= kHalves; ++k) {
    if (m <= (k - 1) * g / 2) break;
    const std::string name = "_Q" + std::to_string((k + 1) / 2) + (k % 2 ? "_5" : "_10");
    data.SetParameter("T1" + name, std::to_string(scoring.Team1[static_cast<std::size_t>(k - 1)]));
    data.SetParameter("T2" + name, std::to_string(scoring.Team2[static_cast<std::size_t>(k - 1)]));
  }
}

void SetFlow(TReportData& data, const TLeadTracker& flow) {
  data.SetParameter("BIGLEAD1", std::to_string(flow.BiggestLead1));
  data.SetParameter("BIGLEAD2", std::to_string(-flow.BiggestLead2));
  data.SetParameter("BIGLEAD1SCORE", std::to_string(flow.BestRun1) + "-0 (" + flow.BestRun1Score + ")");
  data.SetParameter("BIGLEAD2SCORE", std::to_string(flow.BestRun2) + "-0 (" + flow.BestRun2Score + ")");
  data.SetParameter("LEADCHANGE", std::to_string(flow.LeadChanges));
  data.SetParameter("TIMESTIED", std::to_string(flow.Ties));
}

void SetSplit(TReportData& data, const TModel& model) {
  for (int team = 1; team <= 2; ++team) {
    const std::string t = std::to_string(team);
    data.SetParameter("PAL" + t, std::to_string(PointsAfterTurnovers(model.Actions(), t)));
    data.SetParameter("PSC" + t, std::to_string(SecondChancePoints(model.Actions(), t)));
    data.SetParameter("PCA" + t, std::to_string(CounterAttackPoints(model.Actions(), t)));
    data.SetParameter("PIZ" + t, std::to_string(PointsInZone(model.Actions(), t)));
    data.SetParameter("PIBH" + t, std::to_string(BenchPoints(model, t)));
  }
}

}  // namespace

void TLeadTracker::Score(int points) {
  Difference += points;
  if ((Leader == 2 && Difference > 0) || (Leader == 1 && Difference < 0)) ++LeadChanges;
  const auto score = [&] { return std::to_string(Running1) + "-" + std::to_string(Running2); };
  if (points > 0) {
    Running1 += points;
    Run1 += points;
    BestRun2 = std::max(BestRun2, Run2);
    if (Run1 > BestRun1) {
      BestRun1 = Run1;
      BestRun1Score = score();
    }
    Run2 = 0;
  } else if (points < 0) {
    Running2 -= points;
    Run2 -= points;
    BestRun1 = std::max(BestRun1, Run1);
    if (Run2 > BestRun2) {
      BestRun2 = Run2;
      BestRun2Score = score();
    }
    Run1 = 0;
  }
  if (Difference > 0) {
    Leader = 1;
    BiggestLead1 = std::max(BiggestLead1, Difference);
  } else if (Difference < 0) {
    Leader = 2;
    BiggestLead2 = std::min(BiggestLead2, Difference);
  } else {
    ++Ties;
  }
}

TRegularScoring RegularScoring(const TModel& model) {
  TRegularScoring scoring;
  std::vector<int> halves1(kHalves), halves2(kHalves);
  const int g = model.Config().GetInt("quarter_duration") * 60;
  for (const auto& action : model.Actions()) {
    if (action->ShortName != "shot" && action->ShortName != "fthrow") continue;
    const int t = WholeSeconds(action->GameTime);
    int half = t <= g / 2 ? 1 : 0;
    for (int h = 2; !half && h <= kHalves; ++h) {
      if (2 * t <= h * g) half = h;
    }
    if (!half || action->GetParam("Made") != "Made") continue;  // overtimes are left out
    const auto points = action->ShortName == "shot" ? ParseInt32(action->GetParam("Points")) : std::optional(1);
    const std::string team = action->GetParam("Team");
    if (!points || (team != "1" && team != "2")) continue;
    (team == "1" ? halves1 : halves2)[static_cast<std::size_t>(half - 1)] += *points;
    scoring.Flow.Score(team == "1" ? *points : -*points);
  }
  for (std::size_t k = 0; k < kHalves; ++k) {
    scoring.Team1[k] = halves1[k] + (k ? scoring.Team1[k - 1] : 0);
    scoring.Team2[k] = halves2[k] + (k ? scoring.Team2[k - 1] : 0);
  }
  return scoring;
}

void DefineMediaBoxScoreReport(TReportData& data) {
  data.ProjectFileName = "reports.rav";
  data.ReportName = "MediaBoxscore";
  data.Caption = "Media Boxscore";
  data.Copies = 1;
}

void FillMediaBoxScoreReport(TReportData& data, const TModel& model, const TMessageSource& messages) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::With);
  for (int team = 1; team <= 2; ++team) SetPlayers(data, model, team);
  for (int team = 1; team <= 2; ++team) SetTeam(data, model, team);
  const TRegularScoring scoring = RegularScoring(model);
  SetHalfPeriods(data, model, scoring);
  data.SetParameter("TEAM1SHORT", model.MatchInfo.Team1.Shortname);
  data.SetParameter("TEAM2SHORT", model.MatchInfo.Team2.Shortname);
  SetFlow(data, scoring.Flow);
  SetSplit(data, model);
}

}  // namespace velmora
