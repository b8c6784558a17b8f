#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>

#include "setup/games_select_form.h"

namespace velmora::gui {
namespace {

// Saves a picture of the widget when VELMORA_SCREENSHOT_DIR names a folder, to look at by eye.
void SaveScreenshot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("VELMORA_SCREENSHOT_DIR")) {
    widget.grab().save(QString::fromUtf8(folder) + QStringLiteral("/") + QString::fromUtf8(name) + QStringLiteral(".png"));
  }
}

TEST(GamesSelectForm, ShowsCaptionGridAndButtons) {
  TGamesSelectForm form;
  form.show();
  SaveScreenshot(form, "games_select_form");

  EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Seleccionar partido"));
  EXPECT_GE(form.minimumWidth(), 680);
  EXPECT_GE(form.minimumHeight(), 400);

  QTableWidget* grid = form.GamesGrid();
  ASSERT_EQ(grid->columnCount(), 5);
  const QStringList captions = {QStringLiteral("Nº Partido"), QStringLiteral("Día y Hora"),
                                QStringLiteral("Equipo 1 (Local)"), QStringLiteral("Equipo 2 (Visitante)"),
                                QStringLiteral("Estado")};
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(grid->horizontalHeaderItem(column)->text(), captions[column]);
  }
  EXPECT_EQ(grid->rowCount(), 1) << "an empty games list keeps one empty row";

  QStringList buttons;
  for (const QPushButton* button : form.findChildren<QPushButton*>()) buttons << button->text();
  for (const char16_t* caption : {u"&Configuración", u"&Salir", u"Conec&tar", u"&Abrir partido", u"&Editar partido",
                                  u"&Eliminar partido", u"&Exportar partido", u"&Importar partido", u"&Nuevo partido"}) {
    EXPECT_TRUE(buttons.contains(QString::fromUtf16(caption))) << QString::fromUtf16(caption).toStdString();
  }
}

}  // namespace
}  // namespace velmora::gui
