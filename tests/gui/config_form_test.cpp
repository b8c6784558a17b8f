// The settings dialog on the program's settings, registry and messages files.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>

#include "platform/folders.h"
#include "setup/config_form.h"
#include "setup/formula_help_form.h"
#include "setup_fixture.h"
#include "widgets/integer_box.h"

namespace velmora::testing {
namespace {

using gui::TConfigForm;
using gui::TIntegerBox;

class ConfigFormTest : public SetupWindowTest {
 protected:
  std::unique_ptr<TConfigForm> MakeForm() {
    auto form = std::make_unique<TConfigForm>(*App, Registry, Ui);
    form->show();
    return form;
  }
  TIntegerBox& Box(TConfigForm& form, const char* setting) {
    return *form.findChild<TIntegerBox*>(QString::fromLatin1(setting) + QStringLiteral("_Edit"));
  }
  QLineEdit& Edit(TConfigForm& form, const char* name) {
    return *form.findChild<QLineEdit*>(QString::fromLatin1(name));
  }
};

TEST_F(ConfigFormTest, ShowsTheSettingsAndWritesThemAllBackOnAccept) {
  TRegistryKey languages;
  languages.WriteString("EN", "English");
  languages.WriteString("XX", "");
  languages.WriteString("ES", "Español");
  ASSERT_TRUE(Registry.WriteKey("Languages", languages));
  App->SetInt("max_players", 11);
  App->SetString("proxy_server", "proxy.liga");
  auto form = MakeForm();
  SaveScreenshot(*form, "config_form");

  EXPECT_EQ(form->windowTitle(), QStringLiteral("Talvex Velmora - Configuración"));
  EXPECT_EQ(Box(*form, "no_of_quarters").Text(), QStringLiteral("4"));
  EXPECT_EQ(Box(*form, "max_players").Text(), QStringLiteral("11"));
  EXPECT_EQ(Box(*form, "read_timeout").Text(), QStringLiteral("1800"));
  EXPECT_EQ(Edit(*form, "ProxyServerEdit").text(), QStringLiteral("proxy.liga"));
  EXPECT_TRUE(form->findChild<QCheckBox*>(QStringLiteral("low_bandwidth_CheckBox"))->isChecked());
  auto* language = form->findChild<QComboBox*>(QStringLiteral("ReportLanguageEdit"));
  ASSERT_EQ(language->count(), 2) << "a language without a name is left out";
  EXPECT_EQ(form->LanguageCodes(), (std::vector<std::string>{"EN", "ES"}));
  EXPECT_EQ(language->currentIndex(), 0);

  Box(*form, "max_players").SetText(QStringLiteral("12a"));
  Box(*form, "no_of_quarters").stepBy(-1);
  Box(*form, "min_players").stepBy(-10);  // the arrows stop at 0
  form->findChild<QCheckBox*>(QStringLiteral("hide_followups_Checkbox"))->setChecked(true);
  language->setCurrentIndex(1);
  form->PictureDialog().AnswerNext(QStringLiteral("/fotos/cabecera.jpg"));
  Click(*form, "ReportHeaderBrowseButton");
  Click(*form, "OKButton");

  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(App->GetInt("max_players"), 11) << "text that is not a number keeps the old value";
  EXPECT_EQ(App->GetInt("no_of_quarters"), 3);
  EXPECT_EQ(App->GetInt("min_players"), 0);
  EXPECT_EQ(App->GetInt("hide_followups"), 1);
  EXPECT_EQ(App->GetString("report_header"), "/fotos/cabecera.jpg");
  EXPECT_EQ(App->GetString("report_language"), "ES");
  EXPECT_EQ(App->Message("Referees"), "Árbitros") << "the messages of the new language are read at once";
  TConfiguration saved(ProgramFolder());
  saved.Load(Registry);
  EXPECT_EQ(saved.GetInt("no_of_quarters"), 3);
  EXPECT_EQ(saved.GetString("report_language"), "ES");
  EXPECT_TRUE(Ui.Messages.empty());
}

TEST_F(ConfigFormTest, CancelChangesNothingAndAFirstStartOffersBothLanguages) {
  auto form = MakeForm();
  EXPECT_EQ(form->LanguageCodes(), (std::vector<std::string>{"EN", "ES"}));
  Box(*form, "no_of_quarters").SetText(QStringLiteral("2"));
  Click(*form, "CancelButton");
  EXPECT_EQ(App->GetInt("no_of_quarters"), 4);
  EXPECT_FALSE(Registry.OpenKey("Config"));
}

TEST_F(ConfigFormTest, ValuesThatMakeNoSenseAreRefusedAndTheDialogKeepsWhatWasTyped) {
  auto form = MakeForm();
  Box(*form, "quarter_duration").SetText(QStringLiteral("0"));
  Box(*form, "fouls_per_player").SetText(QStringLiteral("6"));
  Click(*form, "OKButton");
  EXPECT_TRUE(form->isVisible()) << "the dialog stays open on the value";
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Text, "El valor de \"Duración de un periodo (min.)\" debe estar entre 1 y 100.");
  EXPECT_EQ(App->GetInt("quarter_duration"), 10);
  EXPECT_EQ(App->GetInt("fouls_per_player"), 5) << "nothing is written while a value is refused";
  EXPECT_FALSE(Registry.OpenKey("Config"));

  // Shown again by the window system (restored after minimising): what was typed stays.
  QShowEvent again;
  QCoreApplication::sendEvent(form.get(), &again);
  EXPECT_EQ(Box(*form, "quarter_duration").Text(), QStringLiteral("0"));

  Box(*form, "quarter_duration").SetText(QStringLiteral("12"));
  Box(*form, "min_players").SetText(QStringLiteral("13"));
  Click(*form, "OKButton");
  ASSERT_EQ(Ui.Boxes.size(), 2u);
  EXPECT_EQ(Ui.Boxes[1].Text,
            "El valor de \"Número mínimo de jugadores en un equipo\" no puede ser mayor que el de \"Número máximo de "
            "jugadores en un equipo\".");
  Box(*form, "min_players").SetText(QStringLiteral("12"));
  Click(*form, "OKButton");
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(App->GetInt("quarter_duration"), 12);
  EXPECT_EQ(App->GetInt("fouls_per_player"), 6);
  EXPECT_EQ(App->GetInt("min_players"), 12);

  // Opened again, the dialog reads the settings anew.
  App->SetInt("fouls_per_player", 5);
  form->show();
  EXPECT_EQ(Box(*form, "fouls_per_player").Text(), QStringLiteral("5"));
}

TEST_F(ConfigFormTest, TheFormulaIsTestedAndExplained) {
  auto form = MakeForm();
  auto& formula = Edit(*form, "ReportFormulaEdit");
  EXPECT_EQ(formula.text().toStdString(), kDefaultEfficiencyFormula);
  Click(*form, "FormulaTestButton");
  formula.setText(QStringLiteral("PT+"));
  Click(*form, "FormulaTestButton");
  ASSERT_EQ(Ui.Boxes.size(), 2u);
  EXPECT_EQ(Ui.Boxes[0].Text, "El fórmula está correcto");
  EXPECT_EQ(Ui.Boxes[0].Title, "Talvex Velmora");
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Information);
  EXPECT_EQ(Ui.Boxes[1].Text, "Hay errores en el fórmula");
  EXPECT_EQ(Ui.Boxes[1].Icon, TMessageIcon::Error);

  WhenShown<gui::TFormulaHelpForm>([](gui::TFormulaHelpForm& help) {
    SaveScreenshot(help, "formula_help_form");
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Ayuda del fórmula"));
    EXPECT_TRUE(help.Text().contains(QStringLiteral("MAX(MIN,1)")));
    help.close();
  });
  Click(*form, "ReportFormulaHelpButton");
  EXPECT_EQ(Ui.Boxes.size(), 2u);
  EXPECT_EQ(App->GetString("eff_formula"), kDefaultEfficiencyFormula) << "testing saves nothing";
}

}  // namespace
}  // namespace velmora::testing
