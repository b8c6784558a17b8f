#include "setup/games_select_form.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "server/internet_plugin_form.h"
#include "serverlink/credentials.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/keep_alive.h"
#include "serverlink/uploader_thread.h"
#include "setup/config_form.h"
#include "setup/edit_match_info_form.h"
#include "stats/model.h"
#include "store/database_plugin.h"
#include "store/game_transfer.h"
#include "store/games_list.h"
#include "widgets/dialog_layout.h"
#include "widgets/job_wait.h"
#include "widgets/pictures.h"
#include "widgets/progress_form.h"
#include "widgets/ui_thread_door.h"

namespace velmora::gui {

namespace {

constexpr int kConnectionTimerInterval = 30000;
const QString kGameFilter = QStringLiteral("Game Log files|*.log|XML Files|*.xml|All files|*.*");

struct TColumn {
  const char16_t* Caption;
  int Width;
};
constexpr TColumn kColumns[] = {
    {u"Nº Partido", 60}, {u"Día y Hora", 136}, {u"Equipo 1 (Local)", 170}, {u"Equipo 2 (Visitante)", 170},
    {u"Estado", 98},
};

// While a handler works with the server client, a failed keep-alive does not take it away; the
// next ping tells again.
class TBusyGuard {
 public:
  explicit TBusyGuard(int& busy) : Busy_(busy) { ++Busy_; }
  ~TBusyGuard() { --Busy_; }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

 private:
  int& Busy_;
};

}  // namespace

TGamesSelectForm::TGamesSelectForm(TGuiContext& context, QWidget* parent)
    : QMainWindow(parent),
      Context_(context),
      Store_(*DatabaseOf(context.Model)),
      OpenDialog_(TFileDialog::TMode::Open, tr("Select Velmora file to import"), kGameFilter, QStringLiteral("log")),
      SaveDialog_(TFileDialog::TMode::Save, tr("Select output file"), kGameFilter, QStringLiteral("log")) {
  setWindowTitle(tr("Velmora - Seleccionar partido"));
  setMinimumSize(680, 400);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildTopPanel());
  layout->addWidget(BuildOnlineGroup());
  layout->addWidget(BuildGamesGroup(), 1);
  layout->addWidget(BuildBottomPanel());
  setCentralWidget(central);
  statusBar()->show();

  Door_ = new TUiThreadDoor(this);
  KeepAlive_ = std::make_unique<TKeepAlive>(*Door_, [this](TInternetPlugin* client) { KeepAliveFailed(client); });
  ConnectionTimer_ = new QTimer(this);
  ConnectionTimer_->setObjectName(QStringLiteral("ConnectionTimer"));
  ConnectionTimer_->setInterval(kConnectionTimerInterval);
  connect(ConnectionTimer_, &QTimer::timeout, this, &TGamesSelectForm::ConnectionTimerTimer);

  // The window sees key presses before its controls.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

  resize(760, 520);
  if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  FormCreate();
}

TGamesSelectForm::~TGamesSelectForm() = default;

QWidget* TGamesSelectForm::BuildTopPanel() {
  auto* panel = new QWidget(this);
  auto* layout = new QHBoxLayout(panel);
  auto* logo = new QLabel(panel);
  logo->setPixmap(LogoPicture(56));
  layout->addWidget(logo);

  auto* texts = new QVBoxLayout;
  auto* title = new QLabel(QStringLiteral("Velmora"), panel);
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
  titleFont.setBold(true);
  title->setFont(titleFont);
  texts->addWidget(title);
  texts->addWidget(new QLabel(tr("Por favor elija un partido de la lista de abajo"), panel));
  layout->addLayout(texts, 1);

  ConfigButton_ = NamedButton(tr("&Configuración"), QStringLiteral("ConfigButton"), panel);
  QuitButton_ = NamedButton(tr("&Salir"), QStringLiteral("QuitButton"), panel);
  connect(ConfigButton_, &QPushButton::clicked, this, &TGamesSelectForm::ConfigButtonClick);
  connect(QuitButton_, &QPushButton::clicked, this, &TGamesSelectForm::QuitButtonClick);
  layout->addWidget(ConfigButton_, 0, Qt::AlignTop);
  layout->addWidget(QuitButton_, 0, Qt::AlignTop);
  return panel;
}

QWidget* TGamesSelectForm::BuildOnlineGroup() {
  auto* group = new QGroupBox(tr("Modo Online"), this);
  auto* layout = new QHBoxLayout(group);
  ConnectImage_ = new QLabel(group);
  ConnectImage_->setObjectName(QStringLiteral("ConnectImage"));
  ConnectImage_->setPixmap(DisconnectedPicture(32));
  DisconnectImage_ = new QLabel(group);
  DisconnectImage_->setObjectName(QStringLiteral("DisconnectImage"));
  DisconnectImage_->setPixmap(ConnectedPicture(32));
  DisconnectImage_->hide();
  ConnectLabel_ = new QLabel(tr("NO conectado."), group);
  ConnectLabel_->setObjectName(QStringLiteral("ConnectLabel"));
  ConnectButton_ = NamedButton(tr("Conec&tar"), QStringLiteral("ConnectButton"), group);
  connect(ConnectButton_, &QPushButton::clicked, this, &TGamesSelectForm::ConnectButtonClick);
  layout->addWidget(ConnectImage_);
  layout->addWidget(DisconnectImage_);
  layout->addWidget(ConnectLabel_, 1);
  layout->addWidget(ConnectButton_);
  return group;
}

QWidget* TGamesSelectForm::BuildGamesGroup() {
  auto* group = new QGroupBox(tr("Partidos disponibles ahora"), this);
  auto* layout = new QVBoxLayout(group);
  GamesGrid_ = new QTableWidget(1, static_cast<int>(std::size(kColumns)), group);
  GamesGrid_->setObjectName(QStringLiteral("GamesGrid"));
  GamesGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  GamesGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
  GamesGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GamesGrid_->verticalHeader()->hide();
  GamesGrid_->horizontalHeader()->setStretchLastSection(true);
  for (int column = 0; column < static_cast<int>(std::size(kColumns)); ++column) {
    GamesGrid_->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf16(kColumns[column].Caption)));
    // The header caption must stay readable in any font.
    GamesGrid_->setColumnWidth(
        column, std::max(kColumns[column].Width, GamesGrid_->horizontalHeader()->sectionSizeHint(column)));
  }
  connect(GamesGrid_, &QTableWidget::cellDoubleClicked, this, &TGamesSelectForm::GamesGridDblClick);
  layout->addWidget(GamesGrid_);
  return group;
}

QWidget* TGamesSelectForm::BuildBottomPanel() {
  auto* panel = new QWidget(this);
  auto* layout = new QHBoxLayout(panel);
  OpenGameButton_ = NamedButton(tr("&Abrir partido"), QStringLiteral("OpenGameButton"), panel);
  EditGameButton_ = NamedButton(tr("&Editar partido"), QStringLiteral("EditGameButton"), panel);
  DeleteGameButton_ = NamedButton(tr("&Eliminar partido"), QStringLiteral("DeleteGameButton"), panel);
  ExportButton_ = NamedButton(tr("&Exportar partido"), QStringLiteral("ExportButton"), panel);
  ImportButton_ = NamedButton(tr("&Importar partido"), QStringLiteral("ImportButton"), panel);
  NewGameButton_ = NamedButton(tr("&Nuevo partido"), QStringLiteral("NewGameButton"), panel);
  connect(OpenGameButton_, &QPushButton::clicked, this, &TGamesSelectForm::OpenGameButtonClick);
  connect(EditGameButton_, &QPushButton::clicked, this, &TGamesSelectForm::EditGameButtonClick);
  connect(DeleteGameButton_, &QPushButton::clicked, this, &TGamesSelectForm::DeleteGameButtonClick);
  connect(ExportButton_, &QPushButton::clicked, this, &TGamesSelectForm::ExportButtonClick);
  connect(ImportButton_, &QPushButton::clicked, this, &TGamesSelectForm::ImportButtonClick);
  connect(NewGameButton_, &QPushButton::clicked, this, &TGamesSelectForm::NewGameButtonClick);
  for (QPushButton* button :
       {OpenGameButton_, EditGameButton_, DeleteGameButton_, ExportButton_, ImportButton_, NewGameButton_}) {
    layout->addWidget(button);
  }
  return panel;
}

// ---- State and grid ----

void TGamesSelectForm::FormCreate() {
  if (ReloadGames(false)) RefreshGamesGrid();
  ConnectionTimer_->start();
}

void TGamesSelectForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Only the first time: coming back from a game keeps the game that was played selected.
  if (!event->spontaneous() && !Shown_) FormShow();
  Shown_ = true;
}

void TGamesSelectForm::FormShow() { GamesGrid_->setCurrentCell(0, 0); }

bool TGamesSelectForm::Connected() const { return Context_.Model.Server() != nullptr; }

std::string TGamesSelectForm::SelectedGame() const {
  const int row = GamesGrid_->currentRow();
  const QTableWidgetItem* cell = row >= 0 ? GamesGrid_->item(row, 0) : nullptr;
  return cell ? cell->text().toStdString() : std::string();
}

TMatchInfo* TGamesSelectForm::Entry(const std::string& gameNumber) const {
  return !gameNumber.empty() && Games_.Exists(gameNumber) ? &Games_.Get(gameNumber) : nullptr;
}

bool TGamesSelectForm::ReloadGames(bool connect) {
  TModel& model = Context_.Model;
  model.MatchInfo.Reset();
  Games_.Clear();
  if (!Store_.LoadGamesList(Games_)) return false;
  KeepAlive_->Abandon();  // the client in use may be about to go
  if (!connect) {
    model.SetServer(nullptr);
    return true;
  }
  TInternetPluginForm dialog(ReadCredentials(Context_.Registry), Context_.App.Config(), Context_.Registry, Context_.Ui,
                             this);
  if (dialog.exec() != QDialog::Accepted) return false;
  auto client =
      std::make_unique<TInternetPlugin>(Context_.App.Config(), &Context_.Ui, ReadInstalledVersion(Context_.Registry));
  if (!client->Login(Games_, dialog.Outcome(), dialog.Entered(), dialog.Remember(), Context_.Registry)) {
    // The server's games were merged in already; without a client they must go again.
    Games_.Clear();
    Store_.LoadGamesList(Games_);
    return false;
  }
  model.SetServer(std::move(client));
  return true;
}

void TGamesSelectForm::RefreshGamesGrid() { RefreshGamesGrid(SelectedGame()); }

void TGamesSelectForm::RefreshGamesGrid(const std::string& selected) {
  const std::vector<const TMatchInfo*> games = GamesInGridOrder(Games_);
  GamesGrid_->clearContents();
  GamesGrid_->setRowCount(std::max<int>(1, static_cast<int>(games.size())));
  int selectedRow = 0;
  for (int row = 0; row < static_cast<int>(games.size()); ++row) {
    const TMatchInfo& game = *games[static_cast<std::size_t>(row)];
    const QString cells[] = {QString::fromStdString(game.GameNumber), QString::fromStdString(GridDateText(game)),
                             QString::fromStdString(game.Team1.Name), QString::fromStdString(game.Team2.Name),
                             QString::fromStdString(AvailabilityText(game.Availability))};
    for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
      GamesGrid_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (game.GameNumber == selected) selectedRow = row;
  }
  GamesGrid_->setCurrentCell(selectedRow, 0);
}

QString TGamesSelectForm::ServerHostText(const QString& url) {
  const qsizetype scheme = url.indexOf(QStringLiteral("://"));
  QString host = scheme < 0 ? url : url.mid(scheme + 3);
  const qsizetype slash = host.indexOf(QLatin1Char('/'));
  return slash < 0 ? host : host.left(slash);
}

void TGamesSelectForm::ShowConnected(bool connected) {
  if (connected) {
    const TInternetPlugin* client = ServerClientOf(Context_.Model);
    ConnectLabel_->setText(tr("Conectado al servidor \"") + ServerHostText(QString::fromStdString(client->PageUrl())) +
                           QStringLiteral("\"."));
    ConnectButton_->setText(tr("Desconectar"));
  } else {
    ConnectLabel_->setText(tr("No conectado."));
    ConnectButton_->setText(tr("Conectar"));
  }
  ConnectImage_->setVisible(!connected);
  DisconnectImage_->setVisible(connected);
}

void TGamesSelectForm::Say(const QString& text, TMessageIcon icon) {
  Context_.Ui.ShowMessage("Velmora", text.toStdString(), icon);
}

// ---- Connecting ----

void TGamesSelectForm::Disconnect() {
  if (!ReloadGames(false)) return;
  ShowConnected(false);
  RefreshGamesGrid();
}

void TGamesSelectForm::ConnectButtonClick() {
  if (Connected()) {
    Disconnect();
    return;
  }
  if (!ReloadGames(true)) return;
  ShowConnected(true);
  RefreshGamesGrid();
}

void TGamesSelectForm::ConnectionTimerTimer() {
  if (TInternetPlugin* client = ServerClientOf(Context_.Model)) KeepAlive_->Ping(*client);
}

void TGamesSelectForm::KeepAliveFailed(TInternetPlugin* client) {
  // A ping that fails while a job or a game uses the client waits for the next one.
  if (Busy_ > 0 || client != ServerClientOf(Context_.Model)) return;
  Disconnect();
}

// ---- Waiting for the server ----

void TGamesSelectForm::RunServerWork(const std::function<void()>& work) {
  TProgressForm progress(this);
  progress.SetMessage(tr("Sincronizando datos con el servidor, espere por favor..."));
  const TBusyGuard busy(Busy_);
  RunBehindProgress(progress, work);
}

bool TGamesSelectForm::EditMatchInfo() {
  TModel& model = Context_.Model;
  std::optional<TMatchInfo> initial;
  if (model.MatchInfo.Availability != kLocalOnly) {
    TInternetPlugin* client = ServerClientOf(model);
    TStatus fetched = TError{kGetMatchInfoError};
    initial.emplace();
    if (client) {
      RunServerWork([&] { fetched = client->GetMatchInfo(model.MatchInfo.GameNumber, *initial, true); });
    }
    if (!fetched) {
      Say(QString::fromStdString(fetched.Error()), TMessageIcon::Error);
      return false;
    }
  }
  const TConfiguration& config = Context_.App.Config();
  const TRosterLimits limits{config.GetInt("min_shirt_number"), config.GetInt("max_shirt_number"),
                             config.GetInt("min_players"), config.GetInt("max_players")};
  TEditMatchInfoForm editor(model.MatchInfo, std::move(initial), limits, Context_.Ui, this);
  if (editor.exec() != QDialog::Accepted) return false;
  model.MatchInfo = editor.Result();
  return true;
}

TStatus TGamesSelectForm::FetchMatchInfo(const std::string& gameNumber) {
  TModel& model = Context_.Model;
  TInternetPlugin* client = ServerClientOf(model);
  TStatus fetched = TError{kGetMatchInfoError};
  if (client) RunServerWork([&] { fetched = client->GetMatchInfo(gameNumber, model.MatchInfo, false); });
  return fetched;
}

TStatus TGamesSelectForm::BringIntoStore(const std::string& gameNumber) {
  TModel& model = Context_.Model;
  TInternetPlugin* client = ServerClientOf(model);
  if (!client) return TError{kGetMatchInfoError};
  model.MatchInfo.Availability = kOnlineOnly;
  auto job = TUploaderThread::BringIntoStore(model, *client, Store_);
  RunServerWork([&] { job->Wait(); });
  if (Store_.FindGameId(gameNumber) != 0) {
    // The entry becomes the game as now stored: the next opening compares checksums over it, and
    // the server's short listing would never match.
    model.MatchInfo.Availability = kLocalAndOnline;
    Games_.Set(gameNumber, std::make_unique<TMatchInfo>(model.MatchInfo));
  }
  return job->Outcome();
}

// ---- Opening ----

void TGamesSelectForm::OpenGameButtonClick() {
  const std::string gameNumber = SelectedGame();
  if (gameNumber.empty()) return;
  if (!Connected()) {
    const TAnswer answer = Context_.Ui.AskYesNoCancel(
        "Velmora",
        tr("No está conectado a internet.\n\rTodos los partidos oficiales de la ZUL deben ser transmitidos Online.")
            .toStdString(),
        TMessageIcon::Question, tr("Conectar ahora").toStdString(), tr("Trabajar Offline").toStdString());
    if (answer == TAnswer::Yes) ConnectButtonClick();
    if (answer != TAnswer::No) return;
  }
  ConnectionTimer_->stop();
  Context_.Model.MatchInfo.GameNumber = gameNumber;
  TGameWindowOutcome outcome;
  {
    const TBusyGuard busy(Busy_);
    outcome = GameOpener_ ? GameOpener_(gameNumber, [this, gameNumber] { return PrepareGame(gameNumber); })
                          : TGameWindowOutcome::NotOpened;
  }
  if (outcome == TGameWindowOutcome::Quit) {
    // Asked and answered in the live window already.
    QuitAsked_ = true;
    close();
    QCoreApplication::quit();
    return;
  }
  RefreshGamesGrid();
  ConnectionTimer_->start();
  ConnectionTimerTimer();
}

bool TGamesSelectForm::PrepareGame(const std::string& gameNumber) {
  TModel& model = Context_.Model;
  Context_.App.LoadCatalogue();
  TMatchInfo* entry = Entry(gameNumber);
  if (!entry) return false;
  model.MatchInfo.Availability = entry->Availability;
  TInternetPlugin* client = ServerClientOf(model);

  if (!client || entry->Availability == kLocalOnly) {
    if (model.OpenGame(gameNumber)) return true;
    Say(tr("No se pudo abrir el partido \"%1\".").arg(QString::fromStdString(gameNumber)), TMessageIcon::Error);
    return false;
  }

  if (entry->Availability == kOnlineOnly) {
    if (const TStatus fetched = FetchMatchInfo(gameNumber); !fetched) {
      Say(QString::fromStdString(fetched.Error()), TMessageIcon::Error);
      return false;
    }
    if (!EditMatchInfo()) return false;
    const TStatus brought = BringIntoStore(gameNumber);
    if (!brought) Say(QString::fromStdString(brought.Error()), TMessageIcon::Error);
    return brought.Ok();
  }

  model.OpenGame(gameNumber);
  auto job = TUploaderThread::CompareAndOverwrite(model, *client, Store_, *entry, Context_.Ui);
  RunServerWork([&] { job->Wait(); });
  if (job->ResultFlag()) return true;
  if (!job->Outcome()) {
    // The operator agreed, but the server did not take the local copy.
    Say(QString::fromStdString(job->Outcome().Error()), TMessageIcon::Error);
    job.reset();
    Disconnect();
    return false;
  }
  Say(tr("No puede trabajar Online sin sincronizar los datos.\n\rPara utilizar los datos del servidor elimine el "
         "partido en local y conecte con el servidor.\n\rPara utilizar los datos locales acepte el volcado en el "
         "paso anterior."),
      TMessageIcon::Information);
  job.reset();
  Disconnect();
  return false;
}

// ---- Editing, creating and deleting ----

void TGamesSelectForm::EditGameButtonClick() {
  const std::string gameNumber = SelectedGame();
  TMatchInfo* entry = Entry(gameNumber);
  if (!entry) return;
  const TBusyGuard busy(Busy_);
  TModel& model = Context_.Model;
  model.MatchInfo.GameNumber = gameNumber;
  model.MatchInfo.Availability = entry->Availability;
  TInternetPlugin* client = ServerClientOf(model);

  if (entry->Availability == kOnlineOnly) {
    if (const TStatus fetched = FetchMatchInfo(gameNumber); !fetched) {
      Say(QString::fromStdString(fetched.Error()), TMessageIcon::Error);
      return;
    }
  } else if (!Store_.LoadMatchInfo(gameNumber, model.MatchInfo)) {
    Say(tr("No se pudo leer el partido \"%1\".").arg(QString::fromStdString(gameNumber)), TMessageIcon::Error);
    return;
  }

  if (EditMatchInfo()) {
    if (const TStatus stored = Store_.StoreMatchInfo(model.MatchInfo); !stored) {
      Say(QString::fromStdString(stored.Error()), TMessageIcon::Error);
    } else if (model.MatchInfo.Availability != kLocalOnly && client) {
      // A refusal shows its own box; the local copy is kept either way.
      RunServerWork([&] { [[maybe_unused]] const TStatus sent = client->UpdateMatchInfo(model.MatchInfo); });
    }
  }
  Games_.Set(model.MatchInfo.GameNumber, std::make_unique<TMatchInfo>(model.MatchInfo));
  RefreshGamesGrid();
}

void TGamesSelectForm::DeleteGameButtonClick() {
  const std::string gameNumber = SelectedGame();
  const TMatchInfo* entry = Entry(gameNumber);
  if (!entry) return;
  if (entry->Availability != kLocalOnly) {
    Say(tr("No puede eliminar un partido que esté disponible Online"), TMessageIcon::Warning);
    return;
  }
  if (!Context_.Ui.AskYesNo("Velmora", tr("Seguro que quiere eliminar este partido?").toStdString(),
                            TMessageIcon::Question)) {
    return;
  }
  if (const TStatus deleted = Store_.DeleteGame(gameNumber); !deleted) {
    Say(QString::fromStdString(deleted.Error()), TMessageIcon::Error);
    return;
  }
  Games_.Delete(gameNumber);
  RefreshGamesGrid();
}

void TGamesSelectForm::NewGameButtonClick() {
  TModel& model = Context_.Model;
  // Only while connected: after a disconnect every game is a local one again.
  if (Connected() && model.MatchInfo.Availability != kLocalOnly) {
    Say(tr("No puede crear nuevos partidos en modo Online"), TMessageIcon::Information);
    return;
  }
  model.MatchInfo.Reset();
  model.MatchInfo.Availability = kLocalOnly;
  if (!EditMatchInfo()) return;
  const std::string gameNumber = model.MatchInfo.GameNumber;
  if (Games_.Exists(gameNumber) || Store_.FindGameId(gameNumber) != 0) {
    Say(QString::fromStdString(kGameExistsError), TMessageIcon::Error);
    return;
  }
  if (const TStatus stored = Store_.StoreMatchInfo(model.MatchInfo); !stored) {
    Say(QString::fromStdString(stored.Error()), TMessageIcon::Error);
    return;
  }
  Games_.Set(gameNumber, std::make_unique<TMatchInfo>(model.MatchInfo));
  RefreshGamesGrid(gameNumber);
}

// ---- Files ----

void TGamesSelectForm::ExportButtonClick() {
  const TBusyGuard busy(Busy_);
  const std::string gameNumber = SelectedGame();
  const TMatchInfo* entry = Entry(gameNumber);
  if (!entry) return;
  TModel& model = Context_.Model;
  model.MatchInfo.GameNumber = gameNumber;
  const auto file = SaveDialog_.Execute(this, QString::fromStdString(gameNumber));
  if (!file) return;

  Context_.App.LoadCatalogue();
  TStatus exported;
  if (entry->Availability == kOnlineOnly) {
    exported = FetchMatchInfo(gameNumber);
    if (exported) exported = BringIntoStore(gameNumber);
  }
  if (exported) exported = ExportGame(model, Store_, gameNumber, file->toStdString());
  if (!exported) {
    Say(tr("Error al abrir el fichero para escritura."), TMessageIcon::Error);
    return;
  }
  Say(tr("información del partido guardada en el fichero \"") + *file + QStringLiteral("\""),
      TMessageIcon::Information);
}

void TGamesSelectForm::ImportButtonClick() {
  if (const auto file = OpenDialog_.Execute(this)) (void)Import(*file);
}

void TGamesSelectForm::ImportAndOffer(const QString& file) {
  const auto imported = Import(file);
  if (!imported) return;
  const QString question = tr("Se ha importado el partido \"%1\". ¿Desea abrirlo ahora?");
  if (Context_.Ui.AskYesNo("Velmora", question.arg(QString::fromStdString(*imported)).toStdString(),
                           TMessageIcon::Question)) {
    OpenGameButtonClick();
  }
}

std::optional<std::string> TGamesSelectForm::Import(const QString& file) {
  Context_.App.LoadCatalogue();
  const auto imported = ImportGame(Store_, file.toStdString(), Games_);
  if (!imported) {
    Say(QString::fromStdString(imported.Error()), TMessageIcon::Error);
    return std::nullopt;
  }
  const TMatchInfo& matchInfo = imported.Value();
  Games_.Set(matchInfo.GameNumber, std::make_unique<TMatchInfo>(matchInfo));
  RefreshGamesGrid(matchInfo.GameNumber);
  return matchInfo.GameNumber;
}

// ---- Settings and quitting ----

void TGamesSelectForm::ConfigButtonClick() {
  TConfigForm config(Context_.App, Context_.Registry, Context_.Ui, this);
  config.exec();
}

void TGamesSelectForm::QuitButtonClick() { close(); }

bool TGamesSelectForm::FormCloseQuery() {
  return Context_.Ui.AskYesNo("Velmora", tr("Desea salir del programa Velmora?").toStdString(), TMessageIcon::Question);
}

void TGamesSelectForm::closeEvent(QCloseEvent* event) {
  if (QuitAsked_ || FormCloseQuery()) {
    ConnectionTimer_->stop();
    event->accept();
  } else {
    event->ignore();
  }
}

bool TGamesSelectForm::FormKeyDown(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  OpenGameButtonClick();
  return true;
}

bool TGamesSelectForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event))) return true;
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace velmora::gui
