#include "live_pages.h"

#include "platform/configuration.h"
#include "records/game_time.h"
#include "server_store.h"
#include "stats/derived_scoring.h"
#include "stats/model.h"
#include "stats/stats_json.h"

namespace velmora::statserver {

namespace {

using Json = nlohmann::ordered_json;

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

// Percent-encodes everything but unreserved characters, for a link to a game.
std::string PathEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

constexpr std::string_view kStyle = R"CSS(
body{font-family:system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;margin:0;background:#f3f4f6;color:#111}
header{background:#1f2937;color:#fff;padding:12px 16px}
header a{color:#fff;text-decoration:none}
main{padding:12px;max-width:1100px;margin:auto}
.card{background:#fff;border-radius:10px;box-shadow:0 1px 3px #0002;padding:12px;margin-bottom:12px}
.scoreboard{display:flex;align-items:center;justify-content:space-between;text-align:center}
.team{flex:1}.team .name{font-weight:600;font-size:1.05em}.team .pts{font-size:2.6em;font-weight:700}
.team .small{color:#555;font-size:.85em}
.clock{flex:0 0 auto;padding:0 12px}.clock .period{font-weight:600}.clock .time{font-size:1.8em;font-variant-numeric:tabular-nums}
.status{color:#b91c1c;font-weight:600}
table{border-collapse:collapse;width:100%;font-size:.85em;font-variant-numeric:tabular-nums}
th,td{padding:4px 6px;text-align:right;white-space:nowrap}th:first-child,td:first-child{text-align:left}
tr:nth-child(even) td{background:#f9fafb}thead th{border-bottom:2px solid #ddd}tfoot td{font-weight:700;border-top:2px solid #ddd}
.scroll{overflow-x:auto}
ol.plays{list-style:none;padding:0;margin:0}ol.plays li{padding:4px 0;border-bottom:1px solid #eee;display:flex;gap:8px}
ol.plays .when{color:#555;min-width:5.5em;font-variant-numeric:tabular-nums}ol.plays .score{margin-left:auto;color:#555}
ul.games{list-style:none;padding:0}ul.games li{margin:6px 0}ul.games a{display:block;padding:10px;background:#fff;border-radius:8px;text-decoration:none;color:#111;box-shadow:0 1px 2px #0002}
)CSS";

constexpr std::string_view kGameScript = R"JS(
const game = document.body.dataset.game;
const url = encodeURIComponent(game) + '?format=json';
const esc = s => String(s).replace(/[&<>"']/g, c => ({'&':'&amp;','<':'&lt;','>':'&gt;','"':'&quot;',"'":'&#39;'}[c]));
const pct = (m, a) => a ? Math.round(100 * m / a) + '%' : '-';
const mmss = s => String(Math.floor(s / 60)).padStart(2, '0') + ':' + String(s % 60).padStart(2, '0');
function boxScore(team) {
  const row = (label, s, extra) => `<tr><td>${label}</td><td>${extra.min}</td><td>${s.PTS}</td>` +
    `<td>${s.P2M}/${s.P2A}</td><td>${s.P3M}/${s.P3A}</td><td>${s.P1M}/${s.P1A}</td>` +
    `<td>${s.RO}</td><td>${s.RD}</td><td>${s.RT}</td><td>${s.AS}</td><td>${s.ST}</td><td>${s.TO}</td>` +
    `<td>${s.BS}</td><td>${s.PF}</td><td>${extra.pm}</td><td>${extra.eff}</td></tr>`;
  const players = team.players.map(p => row(`${p.stats.IN ? '&#9679; ' : ''}${esc(p.shirt)} ${esc(p.name)} ${esc(p.surname)}${p.stats.STA ? ' *' : ''}`,
    p.stats, {min: mmss(p.stats.MIN), pm: p.plus_minus, eff: p.efficiency})).join('');
  const t = team.totals;
  return `<div class="card"><h3>${esc(team.name)}</h3><div class="scroll"><table><thead><tr><th>Player</th><th>Min</th>` +
    `<th>Pts</th><th>2P</th><th>3P</th><th>FT</th><th>OR</th><th>DR</th><th>Reb</th><th>Ast</th><th>Stl</th><th>TO</th>` +
    `<th>Blk</th><th>PF</th><th>+/-</th><th>Eff</th></tr></thead><tbody>${players}` +
    row('Team', team.entity, {min: '', pm: '', eff: ''}) + `</tbody><tfoot>` +
    row('Totals', t, {min: mmss(t.MIN), pm: '', eff: team.efficiency}) + `</tfoot></table></div>` +
    `<p class="small">FG 2P ${pct(t.P2M, t.P2A)} &middot; 3P ${pct(t.P3M, t.P3A)} &middot; FT ${pct(t.P1M, t.P1A)}</p></div>`;
}
function render(d) {
  const s = d.stats, teams = s.teams;
  const side = (i) => `<div class="team"><div class="name">${esc(d.teams[i].name)}</div><div class="pts">${s.score[i]}</div>` +
    `<div class="small">Fouls ${teams[i].team_fouls} &middot; Time-outs ${teams[i].timeouts_used}/${d.teams[i].timeouts_allowed}</div></div>`;
  const periods = s.period_scores.map((p, i) => `${esc(d.period_names[i] || (i + 1))}: ${p[0]}-${p[1]}`).join(' &middot; ');
  document.getElementById('board').innerHTML = side(0) +
    `<div class="clock"><div class="period">${esc(d.period_name)}</div><div class="time">${esc(d.period_clock)}</div>` +
    `<div class="status">${esc(d.status)}</div></div>` + side(1);
  document.getElementById('periods').innerHTML = periods || '&nbsp;';
  document.getElementById('box').innerHTML = boxScore(teams[0]) + boxScore(teams[1]);
  document.getElementById('plays').innerHTML = d.plays.map(p =>
    `<li><span class="when">${esc(p.period)} ${esc(p.clock)}</span><span>${esc(p.text)}</span><span class="score">${p.score[0]}-${p.score[1]}</span></li>`).join('');
  document.title = `${d.teams[0].name} ${s.score[0]} - ${s.score[1]} ${d.teams[1].name}`;
}
async function refresh() {
  try {
    const response = await fetch(url, {cache: 'no-cache'});
    if (response.ok) render(await response.json());
  } catch (e) { /* the next poll tries again */ }
  setTimeout(refresh, 1000);
}
refresh();
)JS";

std::string Page(std::string_view title, std::string_view body, std::string_view bodyAttributes = "") {
  std::string html =
      "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>";
  html += HtmlEscaped(title);
  html += "</title><style>";
  html += kStyle;
  html += "</style></head><body";
  html += bodyAttributes;
  html += "><header><a href=\"/live/\">Velmora live</a></header><main>";
  html += body;
  html += "</main></body></html>";
  return html;
}

std::string PeriodName(int period, int regulation) {
  if (period <= 0) return "Before the game";
  if (period > regulation) return "Overtime " + std::to_string(period - regulation);
  return "Period " + RomanNumeral(period);
}

}  // namespace

TLivePages::TLivePages(TServerStore& store, const std::filesystem::path& programFolder, std::string_view language)
    : Store_(store), ProgramFolder_(programFolder) {
  Messages_.Load(programFolder, language);
}

std::string TLivePages::IndexPage() {
  std::string body = "<h2>Games</h2><ul class=\"games\">";
  const auto games = Store_.GamesOf(std::nullopt);
  for (const TGameSummary& game : games) {
    body += "<li><a href=\"/live/" + PathEncoded(game.GameNumber) + "\"><strong>" + HtmlEscaped(game.Team1Name) +
            " &ndash; " + HtmlEscaped(game.Team2Name) + "</strong><br><small>" + HtmlEscaped(game.GameNumber) +
            " &middot; " + HtmlEscaped(game.Time) + "</small></a></li>";
  }
  if (games.empty()) body += "<li>No games are being played.</li>";
  body += "</ul>";
  return Page("Velmora live", body);
}

std::optional<std::string> TLivePages::GamePage(std::string_view gameNumber) {
  if (!Store_.OwnerOf(gameNumber)) return std::nullopt;
  const std::string body =
      "<div class=\"card scoreboard\" id=\"board\">Loading&hellip;</div>"
      "<div class=\"card\" id=\"periods\"></div><div id=\"box\"></div>"
      "<div class=\"card\"><h3>Play-by-play</h3><ol class=\"plays\" id=\"plays\"></ol></div><script>" +
      std::string(kGameScript) + "</script>";
  return Page("Game " + std::string(gameNumber), body, " data-game=\"" + HtmlEscaped(gameNumber) + "\"");
}

std::string TLivePages::ETagOf(std::int64_t revision) const {
  return "\"" + Store_.Tag() + "-" + std::to_string(revision) + "\"";
}

std::optional<std::string> TLivePages::CurrentETag(std::string_view gameNumber) {
  const auto revision = Store_.Revision(gameNumber);
  if (!revision) return std::nullopt;
  return ETagOf(*revision);
}

std::optional<TLiveDocument> TLivePages::GameJson(std::string_view gameNumber) {
  const auto revision = Store_.Revision(gameNumber);
  if (!revision) return std::nullopt;
  const std::string key(gameNumber);
  std::shared_ptr<TCachedJson> entry;
  {
    const std::lock_guard guard(CacheLock_);
    auto& slot = Cache_[key];
    if (!slot) slot = std::make_shared<TCachedJson>();
    entry = slot;
  }
  // One spectator computes the new document while the others of the game wait for it. A document
  // made from a later state than the revision known here is newer still.
  const std::lock_guard computing(entry->Lock);
  if (entry->Json && entry->Revision >= *revision) return TLiveDocument{ETagOf(entry->Revision), *entry->Json};
  auto snapshot = Store_.Snapshot(gameNumber);
  if (!snapshot) {
    const std::lock_guard guard(CacheLock_);
    Cache_.erase(key);
    return std::nullopt;
  }
  entry->Revision = snapshot->Revision;
  entry->Json = ComputeGameJson(gameNumber, std::move(*snapshot));
  return TLiveDocument{ETagOf(entry->Revision), *entry->Json};
}

std::string TLivePages::ComputeGameJson(std::string_view gameNumber, TGameSnapshot snapshot) {
  // Stored before periods were bounded, perhaps: such an action would have the model size its
  // tables by its number, so the page goes without it.
  std::erase_if(snapshot.Actions, [](const auto& action) { return !CheckActionBounds(*action); });
  TConfiguration config(ProgramFolder_);
  config.SetInt("no_of_quarters", snapshot.Periods.NoOfQuarters);
  config.SetInt("quarter_duration", snapshot.Periods.QuarterDuration);
  config.SetInt("overtime_duration", snapshot.Periods.OvertimeDuration);
  TModel model(config);
  model.MatchInfo = snapshot.MatchInfo;
  model.SetActions(std::move(snapshot.Actions));
  model.Recompute();

  const TPeriodSettings& periods = snapshot.Periods;
  const int period = model.CurrentPeriod();
  Json json;
  json["game_number"] = std::string(gameNumber);
  json["teams"] = Json::array();
  for (int team = 1; team <= 2; ++team) {
    json["teams"].push_back({{"name", model.MatchInfo.Team(team).Name},
                             {"timeouts_allowed", TimeoutsAllowed(periods, std::max(period, 1))}});
  }
  json["period_name"] = PeriodName(period, periods.NoOfQuarters);
  json["period_clock"] =
      period > 0 ? PeriodClockText(periods, period, model.MatchInfo.CurrentGameTime) : std::string("--:--");
  json["status"] = model.GameEnded() ? "Final" : (model.PeriodEnded() ? "End of period" : (period > 0 ? "Live" : ""));
  json["stats"] = StatsJsonObject(model);
  Json names = Json::array();
  for (std::size_t i = 1; i <= json["stats"]["period_scores"].size(); ++i) {
    names.push_back(PeriodName(static_cast<int>(i), periods.NoOfQuarters));
  }
  json["period_names"] = std::move(names);

  // Newest first, each with the score after it.
  Json plays = Json::array();
  int home = 0;
  int away = 0;
  std::vector<Json> ordered;
  for (const auto& action : model.Actions()) {
    (action->GetParam("Team") == "1" ? home : away) += MadePoints(*action);
    if (action->ShortName == "clock") continue;
    TAction copy(*action);
    std::string text = copy.Describe(model.MatchInfo, Messages_);
    if (copy.GameTime > 0 && text.size() > 6) text = text.substr(6);  // the clock has a column of its own
    ordered.push_back(
        {{"period", action->Period > periods.NoOfQuarters ? "OT" + std::to_string(action->Period - periods.NoOfQuarters)
                                                          : RomanNumeral(action->Period)},
         {"clock", action->Period > 0 ? PeriodClockText(periods, action->Period, action->GameTime) : ""},
         {"text", text},
         {"score", {home, away}}});
  }
  for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) plays.push_back(std::move(*it));
  json["plays"] = std::move(plays);
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace velmora::statserver
