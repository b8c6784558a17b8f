#include "setup/games_select_form.h"

#include <algorithm>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/pictures.h"

namespace velmora::gui {

namespace {

constexpr int kConnectionTimerInterval = 30000;

struct TColumn {
  const char16_t* Caption;
  int Width;
};
constexpr TColumn kColumns[] = {
    {u"Nº Partido", 60}, {u"Día y Hora", 136}, {u"Equipo 1 (Local)", 170}, {u"Equipo 2 (Visitante)", 170},
    {u"Estado", 98},
};

QPushButton* MakeButton(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TGamesSelectForm::TGamesSelectForm(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Velmora - Seleccionar partido"));
  setMinimumSize(680, 400);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildTopPanel());
  layout->addWidget(BuildOnlineGroup());
  layout->addWidget(BuildGamesGroup(), 1);
  layout->addWidget(BuildBottomPanel());
  setCentralWidget(central);
  statusBar()->show();

  ConnectionTimer_ = new QTimer(this);
  ConnectionTimer_->setInterval(kConnectionTimerInterval);

  resize(720, 520);
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

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
  texts->addWidget(new QLabel(QStringLiteral("Por favor elija un partido de la lista de abajo"), panel));
  layout->addLayout(texts, 1);

  ConfigButton_ = MakeButton(QStringLiteral("&Configuración"), panel);
  QuitButton_ = MakeButton(QStringLiteral("&Salir"), panel);
  layout->addWidget(ConfigButton_, 0, Qt::AlignTop);
  layout->addWidget(QuitButton_, 0, Qt::AlignTop);
  return panel;
}

QWidget* TGamesSelectForm::BuildOnlineGroup() {
  auto* group = new QGroupBox(QStringLiteral("Modo Online"), this);
  auto* layout = new QHBoxLayout(group);
  ConnectImage_ = new QLabel(group);
  ConnectImage_->setPixmap(DisconnectedPicture(32));
  DisconnectImage_ = new QLabel(group);
  DisconnectImage_->setPixmap(ConnectedPicture(32));
  DisconnectImage_->hide();
  ConnectLabel_ = new QLabel(QStringLiteral("NO conectado."), group);
  ConnectButton_ = MakeButton(QStringLiteral("Conec&tar"), group);
  layout->addWidget(ConnectImage_);
  layout->addWidget(DisconnectImage_);
  layout->addWidget(ConnectLabel_, 1);
  layout->addWidget(ConnectButton_);
  return group;
}

QWidget* TGamesSelectForm::BuildGamesGroup() {
  auto* group = new QGroupBox(QStringLiteral("Partidos disponibles ahora"), this);
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
  layout->addWidget(GamesGrid_);
  return group;
}

QWidget* TGamesSelectForm::BuildBottomPanel() {
  auto* panel = new QWidget(this);
  auto* layout = new QHBoxLayout(panel);
  OpenGameButton_ = MakeButton(QStringLiteral("&Abrir partido"), panel);
  EditGameButton_ = MakeButton(QStringLiteral("&Editar partido"), panel);
  DeleteGameButton_ = MakeButton(QStringLiteral("&Eliminar partido"), panel);
  ExportButton_ = MakeButton(QStringLiteral("&Exportar partido"), panel);
  ImportButton_ = MakeButton(QStringLiteral("&Importar partido"), panel);
  NewGameButton_ = MakeButton(QStringLiteral("&Nuevo partido"), panel);
  for (QPushButton* button :
       {OpenGameButton_, EditGameButton_, DeleteGameButton_, ExportButton_, ImportButton_, NewGameButton_}) {
    layout->addWidget(button);
  }
  return panel;
}

}  // namespace velmora::gui
