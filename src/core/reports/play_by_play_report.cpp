#include "reports/play_by_play_report.h"

#include <algorithm>
#include <array>
#include <memory>

#include "platform/configuration.h"
#include "records/game_time.h"
#include "records/text_utils.h"
#include "reports/common_header.h"
#include "stats/derived_scoring.h"
#include "stats/model.h"

namespace velmora {

namespace {

// The personal fouls of the unknown player are never counted, so that one always shows 1.
constexpr int kUnknownPosition = 0;

struct TActor {
  int Team = 1;
  int Position = kUnknownPosition;  // roster slot from 1
};

class TPlayByPlayWalker {
 public:
  TPlayByPlayWalker(const TModel& model, const TMessageSource& messages)
      : Model_(model), Messages_(messages), Settings_(PeriodSettingsOf(model.Config())) {}

  std::vector<TPlayByPlayRow> Run() {
    const TActionList& actions = Model_.Actions();
    for (std::size_t i = 0; i < actions.size(); ++i) {
      const TAction& action = *actions[i];
      if (action.ShortName == "quarter") {
        Period(action);
      } else if (!action.IsFollowUp() || action.ShortName == "fthrow") {
        Candidate(action, i);
      }
    }
    return std::move(Rows_);
  }

 private:
  struct TTexts {
    std::string Own;
    std::string Other;
  };

  std::string Label(const TAction& action, std::string_view parameter = "Player") const {
    return PlayerLabel(Model_.MatchInfo, action.GetParam("Team"), action.GetParam(parameter));
  }
  std::string Translated(const TAction& action, std::string_view parameter) const {
    return Caption(Messages_, action.GetParam(parameter));
  }
  static bool Is(const TAction* action, std::string_view kind, std::string_view type = {}) {
    return action && action->ShortName == kind && (type.empty() || action->GetParam("Type") == type);
  }

  TActor ActorOf(const TAction& action) const {
    TActor actor;
    const auto team = ParseInt32(action.GetParam("Team"));
    if (!team) return actor;
    actor.Team = *team;
    if (*team != 1 && *team != 2) return actor;
    const int slot = Model_.MatchInfo.Team(*team).PlayerIndex(action.GetParam("Player"));
    if (slot > 0) actor.Position = slot;
    return actor;
  }

  void Period(const TAction& action) {
    if (action.GetParam("Type") == "Start") {
      if (const auto quarter = ParseInt32(action.GetParam("Quarter"))) Current_ = *quarter;
    }
    // Team fouls start again with every regular period; those of the last one carry into the
    // overtimes, as the live window counts them.
    const bool regularStart = action.GetParam("Type") == "Start" && Current_ <= Settings_.NoOfQuarters;
    if (regularStart || Current_ < Settings_.NoOfQuarters) TeamFouls_ = {0, 0};
  }

  void Candidate(const TAction& action, std::size_t index) {
    const TActor actor = ActorOf(action);
    const TAction* first = Model_.FollowUpOf(action, 1);
    const TAction* second = first ? Model_.FollowUpOf(action, 2) : nullptr;
    const std::string label = Label(action);
    const std::string& kind = action.ShortName;
    TTexts texts;
    bool basket = false;
    if (kind == "shot") {
      static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kResults = {
          {{"Made", "anotado"}, {"Missed", "fallado"}, {"Blocked", "fallado (taponado)"}}};
      const std::string made = action.GetParam("Made");
      const auto result =
          std::find_if(kResults.begin(), kResults.end(), [&](const auto& r) { return r.first == made; });
      if (result == kResults.end()) return;
      texts.Own = label + " - Tiro de " + action.GetParam("Points") + " puntos (" + Translated(action, "Shot type") +
                  ") " + std::string(result->second);
      ShotFollowUps(texts, first, second);
      basket = made == "Made";
    } else if (kind == "subst") {
      if (!(action.GetParam("Player In") > "0" && action.GetParam("Player Out") > "0")) return;
      texts.Own = "Sustitución: " + Label(action, "Player Out") + " sale, \r" + Label(action, "Player In") + " entra";
    } else if (kind == "reb") {
      const std::string type = action.GetParam("Type");
      if (type == "Offensive") {
        texts.Own = label + " " + " - Rebote ofensivo";
      } else if (type == "Defensive") {
        texts.Own = label + " " + "- Rebote defensivo";
      } else {
        return;
      }
    } else if (kind == "assist") {
      texts.Own = label + " - Asistencia";
    } else if (kind == "block") {
      texts.Own = label + " - Tapón";
      ReboundFollowUp(texts, first);
    } else if (kind == "steal") {
      texts.Own = label + " - Recuperación";
      if (Is(first, "turnover")) texts.Other = TurnoverText(*first);
    } else if (kind == "turnover") {
      texts.Own = TurnoverText(action);
      if (Is(first, "steal")) texts.Other = Label(*first) + " - Recuperación";
    } else if (kind == "foul") {
      texts.Own = FoulText(action, actor);
    } else if (kind == "fthrow") {
      const std::string made = action.GetParam("Made");
      if (made != "Made" && made != "Missed") return;
      texts.Own = label + " - Tiro libre " + (made == "Made" ? "anotado" : "fallado");
      if (action.GetParam("Throw Number") != "0") {
        texts.Own += "(" + action.GetParam("Throw Number") + "/" + action.GetParam("Throws Left") + ")";
      }
      ReboundFollowUp(texts, first ? first : ReboundAfterFreeThrow(action, index));
      basket = made == "Made";
    } else if (kind == "timeout") {
      const TParameter* team = action.Param("Team");
      if (!team || (team->Data != "1" && team->Data != "2")) return;
      AddRow(action, team->Data == "1" ? TTexts{"Tiempo muerto", ""} : TTexts{"", "Tiempo muerto"});
      return;
    } else {
      return;
    }
    TPlayByPlayRow& row = AddRow(action, actor.Team == 1 ? texts : TTexts{texts.Other, texts.Own});
    if (basket) {
      (actor.Team == 1 ? Score_[0] : Score_[1]) += MadePoints(action);
      row.Team1Score = Score_[0];
      row.Team2Score = Score_[1];
    }
  }

  TPlayByPlayRow& AddRow(const TAction& action, const TTexts& columns) {
    TPlayByPlayRow& row = Rows_.emplace_back();
    row.Period = Current_;
    row.Team1Text = columns.Own;
    row.Team2Text = columns.Other;
    row.TimeLeft = PeriodEnd(Settings_, Current_) - action.GameTime;
    return row;
  }

  void ShotFollowUps(TTexts& texts, const TAction* first, const TAction* second) const {
    if (Is(first, "block")) texts.Other += Label(*first) + " - Tapón";
    if (Is(first, "assist")) texts.Own += "\rAsistencia: " + Label(*first);
    if (Is(first, "reb", "Offensive")) texts.Own += "\rRebote ofensivo: " + Label(*first);
    if (Is(first, "reb", "Defensive")) texts.Other += Label(*first) + " - Rebote defensivo";
    if (Is(second, "reb", "Offensive")) texts.Own += "\rRebote ofensivo: " + Label(*second);
    // A line break only below a sentence, so that a cell never starts with an empty line.
    if (Is(second, "reb", "Defensive")) {
      texts.Other += (texts.Other.empty() ? "" : "\r") + Label(*second) + " - Rebote defensivo";
    }
  }

  void ReboundFollowUp(TTexts& texts, const TAction* follow) const {
    if (Is(follow, "reb", "Offensive")) texts.Own += "\rRebote ofensivo: " + Label(*follow);
    if (Is(follow, "reb", "Defensive")) texts.Other += Label(*follow) + " - Rebote defensivo";
  }

  // Follow-ups point to the root of their chain, so the rebound of a foul's last free throw
  // follows the foul: it is the chain's rebound after this free throw and before the next one.
  const TAction* ReboundAfterFreeThrow(const TAction& freeThrow, std::size_t index) const {
    if (!freeThrow.IsFollowUp()) return nullptr;
    const TActionList& actions = Model_.Actions();
    for (std::size_t i = index + 1; i < actions.size(); ++i) {
      const TAction& next = *actions[i];
      if (next.FollowUpID != freeThrow.FollowUpID) continue;
      if (next.ShortName == "fthrow") return nullptr;
      if (next.ShortName == "reb") return &next;
    }
    return nullptr;
  }

  std::string TurnoverText(const TAction& turnover) const {
    return Label(turnover) + " - Perdida de balón (" + Translated(turnover, "Type") + ")";
  }

  std::string FoulText(const TAction& foul, const TActor& actor) {
    const bool offensive = foul.GetParam("Type of personal") == "Offensive";
    const bool known = actor.Position != kUnknownPosition;
    int& personal = Personal_[static_cast<std::size_t>(actor.Team == 1 ? 0 : 1)]
                             [static_cast<std::size_t>(known ? actor.Position : kUnknownPosition)];
    std::string text = Label(foul) + " ";
    if (offensive) {
      text += "- Falta en ataque";
    } else if (foul.GetParam("Type") == "Personal") {
      const int n = personal + 1;
      text += "- " + std::to_string(n) + OrdinalSuffix(n) + " Falta personal";
    } else {
      text += "- Falta " + ToLowerAscii(Translated(foul, "Type"));
    }
    if (known) {
      const int k = ++TeamFouls_[static_cast<std::size_t>(actor.Team - 1)];
      text += " (" + std::to_string(k) + OrdinalSuffix(k) + " falta de equipo" + ")";
      ++personal;
    }
    if (offensive) {
      // The turnover may stand behind other follow-ups, such as the substitution of a fouled-out player.
      for (int n = 1; const TAction* follow = Model_.FollowUpOf(foul, n); ++n) {
        if (follow->ShortName != "turnover") continue;
        text += "\r" + Label(*follow) + " Perdida de balón (" + Translated(*follow, "Type") + ")";
        break;
      }
    }
    return text;
  }

  const TModel& Model_;
  const TMessageSource& Messages_;
  const TPeriodSettings Settings_;
  std::vector<TPlayByPlayRow> Rows_;
  int Current_ = 1;
  std::array<int, 2> Score_{};
  std::array<int, 2> TeamFouls_{};
  std::array<std::array<int, TTeam::kMaxPlayers + 1>, 2> Personal_{};
};

std::string Starters(const TModel& model, int team) {
  std::string text;
  const TTeam& roster = model.MatchInfo.Team(team);
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    if (model.Stats(TModel::PlayerSlot(team, slot)).Get("STA") != 1) continue;
    const TPlayer& player = roster.Player(slot);
    text += (text.empty() ? "" : ", ") + player.Name + " " + player.Surname;
  }
  return text;
}

}  // namespace

std::vector<TPlayByPlayRow> PlayByPlayRows(const TModel& model, const TMessageSource& messages) {
  return TPlayByPlayWalker(model, messages).Run();
}

std::string PlayerLabel(const TMatchInfo& match, std::string_view team, std::string_view number) {
  if (team != "1" && team != "2") return "Equipo";
  const int slot = match.Team(team == "1" ? 1 : 2).PlayerIndex(number);
  if (slot < 0) return "Equipo";
  const TPlayer& player = match.Team(team == "1" ? 1 : 2).Player(slot);
  // The initial is a whole character, also when the name starts with an accented letter.
  std::size_t initial = player.Name.empty() ? 0 : 1;
  while (initial < player.Name.size() && (static_cast<unsigned char>(player.Name[initial]) & 0xC0) == 0x80) ++initial;
  return ShirtText(player.Number) + " " + player.Name.substr(0, initial) + ". " + player.Surname;
}

std::string TPeriodLabels::Label(int period) const {
  return period <= RegularPeriods ? Period + " " + std::to_string(period)
                                  : Overtime + " " + std::to_string(period - RegularPeriods);
}

TPeriodLabels PeriodLabelsOf(const TModel& model, const TMessageSource& messages) {
  return {messages.Message("Period"), messages.Message("Overtime"), PeriodSettingsOf(model.Config()).NoOfQuarters};
}

void DefinePlayByPlayReport(TReportData& data) {
  data.ProjectFileName = "reports.rav";
  data.ReportName = "PlayByPlay";
  data.Caption = "Jugada a jugada";
  data.Copies = 1;
}

void FillPlayByPlayReport(TReportData& data, const TModel& model, const TMessageSource& messages) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::With, "Juego no empezado");
  data.SetParameter("StartersTeam1", Starters(model, 1));
  data.SetParameter("StartersTeam2", Starters(model, 2));
  data.AddConnection("ActionListConnection", std::make_unique<TActionListConnection>(PlayByPlayRows(model, messages),
                                                                                     PeriodLabelsOf(model, messages)));
}

std::vector<TReportColumn> TActionListConnection::Columns() {
  return {{"Quarter", 255, "Quarter"},
          {"GameTime", 8, "Game Time"},
          {"Team1Action", 255, "First Team Action"},
          {"Team2Action", 255, "Second Team Action"},
          {"Score", 32, "Current Score"}};
}

std::vector<std::string> TActionListConnection::Row(int index) {
  if (index < 0 || index >= Open()) return std::vector<std::string>(5);
  const TPlayByPlayRow& row = Rows_[static_cast<std::size_t>(index)];
  const bool scored = row.Team1Score > 0 || row.Team2Score > 0;
  return {Labels_.Label(row.Period), MinutesSecondsText(row.TimeLeft < 0 ? 0 : WholeSeconds(row.TimeLeft)),
          row.Team1Text, row.Team2Text,
          scored ? std::to_string(row.Team1Score) + " - " + std::to_string(row.Team2Score) : ""};
}

}  // namespace velmora
