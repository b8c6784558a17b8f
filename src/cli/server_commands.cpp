#include <chrono>
#include <ostream>
#include <sstream>
#include <thread>

#include <pugixml.hpp>

#include "app/app.h"
#include "platform/folders.h"
#include "cli_session.h"
#include "cli_user_interface.h"
#include "commands.h"
#include "records/text_utils.h"
#include "serverlink/credentials.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "serverlink/uploader_thread.h"
#include "stats/game_documents.h"
#include "store/database_plugin.h"
#include "store/games_list.h"

namespace velmora::cli {

namespace {

constexpr const char* kServerUsage =
    "usage: velmora-cli server COMMAND [--url URL] [--user USER] [--password PASSWORD]\n"
    "  login URL USER PASSWORD [--remember]   log in and store the credentials\n"
    "  ping                                   ask the stored server for a sign of life\n"
    "  games                                  the local games merged with the server's\n"
    "  pull GAME                              bring a server game into the local store\n"
    "  push GAME [--overwrite]                compare a local game with the server's copy\n"
    "  upload-stats GAME --score A:B --name NAME --contacts TEXT\n"
    "                                         confirm the score and upload the box score\n"
    "  replay FILE [--speed X] [--deadline S]\n"
    "                                         send a transfer file's game as it was played; stop\n"
    "                                         when the server refuses the session or takes no\n"
    "                                         batch for S seconds (default 60)\n";

struct TServerOptions {
  std::vector<std::string> Positional;
  std::optional<std::string> Url, User, Password, Score, Name, Contacts;
  bool Remember = false;
  bool Overwrite = false;
  double Speed = 1;
  // How long the replay lets the server refuse its batches before it stops.
  std::chrono::milliseconds Deadline{60'000};
};

std::optional<TServerOptions> ParseOptions(const std::vector<std::string>& args) {
  TServerOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--remember") {
      options.Remember = true;
    } else if (arg == "--overwrite") {
      options.Overwrite = true;
    } else if (hasValue && (arg == "--url" || arg == "--user" || arg == "--password" || arg == "--score" ||
                            arg == "--name" || arg == "--contacts")) {
      auto& target = arg == "--url"        ? options.Url
                     : arg == "--user"     ? options.User
                     : arg == "--password" ? options.Password
                     : arg == "--score"    ? options.Score
                     : arg == "--name"     ? options.Name
                                           : options.Contacts;
      target = args[++i];
    } else if (hasValue && arg == "--speed") {
      const auto speed = ParseDecimal(args[++i]);
      if (!speed || *speed <= 0) return std::nullopt;
      options.Speed = *speed;
    } else if (hasValue && arg == "--deadline") {
      const auto seconds = ParseDecimal(args[++i]);
      if (!seconds || *seconds <= 0 || *seconds > 86'400) return std::nullopt;
      options.Deadline = std::chrono::milliseconds(static_cast<long long>(*seconds * 1000));
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      options.Positional.push_back(arg);
    }
  }
  return options;
}

class TServerRun {
 public:
  TServerRun(const TCliEnvironment& environment, const TServerOptions& options, std::ostream& out, std::ostream& err)
      : Session_(environment), Options_(options), Out_(out), Err_(err), Ui_(err, options.Overwrite) {
    Credentials_ = ReadCredentials(Session_.Registry());
    if (options.Url) Credentials_.Url = *options.Url;
    if (options.User) Credentials_.UserName = *options.User;
    if (options.Password) Credentials_.Password = *options.Password;
  }

  int Run(const std::string& command) {
    const auto& args = Options_.Positional;
    if (command == "login") {
      if (args.size() != 3) return Usage();
      Credentials_ = TCredentials{args[0], args[1], args[2]};
      TObjectHash<TMatchInfo> games;
      if (!Connect(games)) return kFailure;
      Out_ << "Conectado al servidor \"" << Plugin_->ServerUrl() << "\": " << ServerGames_ << " partidos.\n";
      return kSuccess;
    }
    if (command == "ping") {
      if (!args.empty()) return Usage();
      TInternetPlugin plugin(Session_.Config(), &Ui_, ReadInstalledVersion(Session_.Registry()));
      plugin.SetServerUrl(Credentials_.Url);
      if (const TStatus answered = plugin.Ping(); !answered) return Fail(answered.Error());
      Out_ << "pong\n";
      return kSuccess;
    }
    if (command == "games") return args.empty() ? Games() : Usage();
    if (command == "pull") return args.size() == 1 ? Pull(args[0]) : Usage();
    if (command == "push") return args.size() == 1 ? Push(args[0]) : Usage();
    if (command == "upload-stats") return args.size() == 1 ? UploadStats(args[0]) : Usage();
    if (command == "replay") return args.size() == 1 ? Replay(args[0]) : Usage();
    return Usage();
  }

 private:
  int Usage() {
    Err_ << kServerUsage;
    return kUsageError;
  }
  int Fail(const std::string& message) {
    Err_ << message << '\n';
    return kFailure;
  }

  // Logs in and makes the model's server client; the server's games are merged into `games`.
  bool Connect(TObjectHash<TMatchInfo>& games) {
    if (Credentials_.Url.empty()) {
      Err_ << "No server: log in first (velmora-cli server login URL USER PASSWORD) or give --url.\n";
      return false;
    }
    auto outcome = RunLogin(Credentials_, Session_.Config(), Session_.Registry(), Ui_);
    if (!outcome) return false;
    ServerGames_ = outcome.Value().Games.size();
    auto plugin = std::make_unique<TInternetPlugin>(Session_.Config(), &Ui_, ReadInstalledVersion(Session_.Registry()));
    if (!plugin->Login(games, outcome.Value(), Credentials_, Options_.Remember, Session_.Registry())) {
      Err_ << "The credentials could not be stored.\n";
    }
    Plugin_ = plugin.get();
    Session_.Model().SetServer(std::move(plugin));
    return true;
  }

  // Opens the store, reads its games and connects.
  bool ConnectWithStore(TObjectHash<TMatchInfo>& games, TCliSession::TStoreUse use = TCliSession::TStoreUse::Read) {
    if (TStatus opened = Session_.OpenStore(use, Err_); !opened) {
      Err_ << opened.Error() << '\n';
      return false;
    }
    if (!Session_.Store().LoadGamesList(games)) {
      Err_ << "No se pudo leer la lista de partidos.\n";
      return false;
    }
    return Connect(games);
  }

  int Games() {
    TObjectHash<TMatchInfo> games;
    if (!ConnectWithStore(games)) return kFailure;
    for (const TMatchInfo* game : GamesInGridOrder(games)) {
      Out_ << game->GameNumber << '\t' << GridDateText(*game) << '\t' << game->Team1.Name << '\t' << game->Team2.Name
           << '\t' << AvailabilityText(game->Availability) << '\n';
    }
    return kSuccess;
  }

  int Pull(const std::string& gameNumber) {
    TObjectHash<TMatchInfo> games;
    if (!ConnectWithStore(games, TCliSession::TStoreUse::Write)) return kFailure;
    TModel& model = Session_.Model();
    model.MatchInfo.GameNumber = gameNumber;
    model.MatchInfo.Availability = kOnlineOnly;
    if (const TStatus fetched = Plugin_->GetMatchInfo(gameNumber, model.MatchInfo, false); !fetched) {
      return Fail(fetched.Error());
    }
    if (model.MatchInfo.Empty || model.MatchInfo.GameNumber != gameNumber) {
      return Fail("El servidor no tiene el partido \"" + gameNumber + "\".");
    }
    auto job = TUploaderThread::BringIntoStore(model, *Plugin_, Session_.Store());
    job->Wait();
    if (!job->Outcome()) return Fail(job->Outcome().Error());
    Out_ << gameNumber << ": " << model.Actions().size() << " acciones guardadas.\n";
    return kSuccess;
  }

  int Push(const std::string& gameNumber) {
    TObjectHash<TMatchInfo> games;
    if (!ConnectWithStore(games)) return kFailure;
    if (!games.Exists(gameNumber) || Session_.Store().FindGameId(gameNumber) == 0) {
      return Fail("No existe el partido \"" + gameNumber + "\".");
    }
    TModel& model = Session_.Model();
    model.OpenGame(gameNumber);
    auto job = TUploaderThread::CompareAndOverwrite(model, *Plugin_, Session_.Store(), games.Get(gameNumber), Ui_);
    job->Wait();
    if (!job->Outcome()) return Fail(job->Outcome().Error());
    if (!job->ResultFlag()) return Fail("Los datos locales no coinciden con los del servidor.");
    Out_ << gameNumber << ": el servidor tiene los datos locales.\n";
    return kSuccess;
  }

  int UploadStats(const std::string& gameNumber) {
    if (!Options_.Score || !Options_.Name || !Options_.Contacts) return Usage();
    const auto parts = SplitTrimmed(*Options_.Score, ':');
    const auto scoreA = parts.size() == 2 ? ParseInt32(parts[0]) : std::nullopt;
    const auto scoreB = parts.size() == 2 ? ParseInt32(parts[1]) : std::nullopt;
    if (!scoreA || !scoreB) return Usage();
    TObjectHash<TMatchInfo> games;
    if (!ConnectWithStore(games)) return kFailure;
    if (TStatus opened = Session_.OpenStoredGame(gameNumber); !opened) return Fail(opened.Error());
    if (!Plugin_->SendScoreConfirmation(gameNumber, *scoreA, *scoreB, *Options_.Contacts, *Options_.Name)) {
      return kFailure;
    }
    pugi::xml_document document;
    std::ostringstream boxScore;
    BoxScoreDocument(Session_.Model(), document).print(boxScore, "", pugi::format_raw, pugi::encoding_utf8);
    auto job = TUploaderThread::UploadBoxScore(Session_.Model(), *Plugin_, boxScore.str());
    job->Wait();
    if (!job->Outcome()) return Fail(job->Outcome().Error());
    Out_ << job->ResultText() << '\n';
    return kSuccess;
  }

  int Replay(const std::string& file) {
    auto game = ReadTransferFile(file);
    if (!game) return Fail(game.Error());
    TObjectHash<TMatchInfo> games;
    if (!Connect(games)) return kFailure;

    TModel& model = Session_.Model();
    model.MatchInfo = game.Value().MatchInfo;
    model.MatchInfo.Availability = kOnlineOnly;
    model.MatchInfo.CurrentGameTime = 0;
    const TActionList actions = game.Value().Actions ? std::move(*game.Value().Actions) : TActionList{};
    const std::string& gameNumber = model.MatchInfo.GameNumber;
    // The server's copy starts from nothing, as the live game does.
    if (!Plugin_->SendActionList(gameNumber, "", false)) return kFailure;
    // Unlike the live window, a replay has nobody to wait for a server that refuses it.
    Plugin_->BoundSendRetries(Options_.Deadline);

    TApp app(model, Session_.Config(), Session_.Registry(), ProgramFolder(), &Ui_);
    app.LoadCatalogue();
    TQueue* queue = nullptr;
    app.SetSenderFactory([&]() -> std::unique_ptr<TSender> {
      auto made = std::make_unique<TQueue>(model, Plugin_, Ui_, app);
      queue = made.get();
      return made;
    });
    app.StartSender();

    const auto tick = std::chrono::duration<double>(1.0 / Options_.Speed);
    // A refused session or game holds the sender until a new login, which a replay does not make.
    const auto givenUp = [&] { return !Plugin_->GiveUpReason().empty() || queue->SendingState().Held; };
    std::size_t incomplete = 0;
    for (const auto& action : actions) {
      while (!givenUp() && WholeSeconds(model.MatchInfo.CurrentGameTime) < WholeSeconds(action->GameTime)) {
        std::this_thread::sleep_for(tick);
        model.ClockTick();
      }
      if (givenUp()) break;
      if (app.Sender()->Enqueue(action->Clone()) == TEnqueueResult::Incomplete) ++incomplete;
    }
    queue->SendNow();
    while (!givenUp() && queue->PendingCount() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const TSendingState state = queue->SendingState();
    app.StopSender();
    // A batch given up is missing on the server for good: the replay has failed.
    const std::string stop = state.Held ? RefusalReason(*state.Held) : Plugin_->GiveUpReason();
    if (!stop.empty()) return Fail(gameNumber + ": la reproducción se detuvo: " + stop + ".");
    const auto [home, away] = model.Score();
    const std::size_t sent = actions.size() - incomplete - state.Refused.size();
    Out_ << gameNumber << ": " << sent << " acciones enviadas, " << home << "-" << away << ".\n";
    if (incomplete > 0) Err_ << incomplete << " acciones incompletas no se enviaron.\n";
    if (!state.Refused.empty()) return Fail(SendingNotice(state, 0));
    return kSuccess;
  }

  TCliSession Session_;
  const TServerOptions& Options_;
  std::ostream& Out_;
  std::ostream& Err_;
  TCliUserInterface Ui_;
  TCredentials Credentials_;
  TInternetPlugin* Plugin_ = nullptr;
  std::size_t ServerGames_ = 0;
};

}  // namespace

int ServerCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kServerUsage;
    return kSuccess;
  }
  const auto options = ParseOptions(std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
  if (args.empty() || !options) {
    err << kServerUsage;
    return kUsageError;
  }
  return TServerRun(environment, *options, out, err).Run(args.front());
}

}  // namespace velmora::cli
