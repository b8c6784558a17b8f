#include "setup/config_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QHideEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/configuration.h"
#include "platform/languages.h"
#include "platform/user_interface.h"
#include "setup/formula_help_form.h"
#include "stats/efficiency.h"
#include "widgets/dialog_layout.h"
#include "widgets/integer_box.h"

namespace velmora::gui {

namespace {

QWidget* Row(QWidget* first, QWidget* second, QWidget* third = nullptr) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(first, 1);
  layout->addWidget(second);
  if (third) layout->addWidget(third);
  return row;
}

}  // namespace

TConfigForm::TConfigForm(TApp& app, TRegistry& registry, TUserInterface& userInterface, QWidget* parent)
    : QDialog(parent),
      App_(app),
      Registry_(registry),
      Ui_(userInterface),
      PictureDialog_(TFileDialog::TMode::Open, tr("Choose picture"),
                     QStringLiteral("All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp|JPEG Image File "
                                    "(*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp")) {
  setWindowTitle(tr("Talvex Velmora - Configuración"));
  Pages_ = new QTabWidget(this);
  Pages_->addTab(BuildGamePage(), tr("Parámetros del partido"));
  Pages_->addTab(BuildNetworkPage(), tr("Parámetros de la Red"));
  Pages_->addTab(BuildInterfacePage(), tr("Interface del usuario"));
  Pages_->addTab(BuildReportsPage(), tr("Informes"));

  auto* ok = NamedButton(tr("&Aceptar"), QStringLiteral("OKButton"), this);
  ok->setDefault(true);
  auto* cancel = NamedButton(tr("&Cancelar"), QStringLiteral("CancelButton"), this);
  connect(ok, &QPushButton::clicked, this, &TConfigForm::OKButtonClick);
  connect(cancel, &QPushButton::clicked, this, &TConfigForm::CancelButtonClick);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages_);
  layout->addLayout(ButtonRow({ok, cancel}));
  resize(720, sizeHint().height());
}

void TConfigForm::AddIntegerBox(QFormLayout* fields, const char* setting, const QString& label, int maximum) {
  auto* box = new TIntegerBox(0, maximum, this);
  box->setObjectName(QString::fromLatin1(setting) + QStringLiteral("_Edit"));
  box->setMinimumWidth(90);
  IntegerBoxes_.push_back({setting, label, box});
  fields->addRow(label, box);
}

QWidget* TConfigForm::BuildGamePage() {
  auto* page = new QWidget(this);
  auto* fields = new QFormLayout(page);
  AddIntegerBox(fields, "no_of_quarters", tr("Número de periodos en el partido"), 100);
  AddIntegerBox(fields, "quarter_duration", tr("Duración de un periodo (min.)"), 100);
  AddIntegerBox(fields, "overtime_duration", tr("Duración de una prórroga (min.)"), 100);
  AddIntegerBox(fields, "fouls_per_player", tr("Número de faltas permitidas por jugador"), 100);
  AddIntegerBox(fields, "min_players", tr("Número mínimo de jugadores en un equipo"), 100);
  AddIntegerBox(fields, "max_players", tr("Número máximo de jugadores en un equipo"), 100);
  AddIntegerBox(fields, "min_shirt_number", tr("Mínimo número permitido en la camiseta"), 100);
  AddIntegerBox(fields, "max_shirt_number", tr("Máximo número permitido en la camiseta"), 100);
  return page;
}

QWidget* TConfigForm::BuildNetworkPage() {
  auto* page = new QWidget(this);
  auto* fields = new QFormLayout(page);
  AddIntegerBox(fields, "http_port", tr("Puerto TCP para modo servidor"), 32000);
  AddIntegerBox(fields, "udp_port_1", tr("Puerto UDP"), 32000);
  AddIntegerBox(fields, "udp_port_2", tr("Puerto UDP de respuesta"), 32000);
  AddIntegerBox(fields, "read_timeout", tr("Tiempo de espera de red"), 32000);
  AddIntegerBox(fields, "proxy_port", tr("Puerto del proxy para conexión a Internet"), 32000);
  ProxyServerEdit_ = new QLineEdit(page);
  ProxyServerEdit_->setObjectName(QStringLiteral("ProxyServerEdit"));
  fields->addRow(tr("Servidor proxy para conexión a Internet"), ProxyServerEdit_);
  LowBandwidthCheckBox_ = new QCheckBox(tr("Modo conexión de baja velocidad"), page);
  LowBandwidthCheckBox_->setObjectName(QStringLiteral("low_bandwidth_CheckBox"));
  fields->addRow(LowBandwidthCheckBox_);
  return page;
}

QWidget* TConfigForm::BuildInterfacePage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  HideFollowupsCheckbox_ = new QCheckBox(
      tr("Ocultar botones de acción para las acciones que\npueden ser introducidas como seguimiento"), page);
  HideFollowupsCheckbox_->setObjectName(QStringLiteral("hide_followups_Checkbox"));
  EnableFollowupsCheckBox_ = new QCheckBox(tr("Permitir el seguimiento"), page);
  EnableFollowupsCheckBox_->setObjectName(QStringLiteral("enable_followups_CheckBox"));
  layout->addWidget(HideFollowupsCheckbox_);
  layout->addWidget(EnableFollowupsCheckBox_);
  layout->addStretch(1);
  return page;
}

QWidget* TConfigForm::BuildReportsPage() {
  auto* page = new QWidget(this);
  auto* fields = new QFormLayout(page);
  ReportHeaderEdit_ = new QLineEdit(page);
  ReportHeaderEdit_->setObjectName(QStringLiteral("ReportHeaderEdit"));
  ReportHeaderEdit_->setMinimumWidth(320);
  auto* headerBrowse = new QPushButton(QStringLiteral("..."), page);
  headerBrowse->setObjectName(QStringLiteral("ReportHeaderBrowseButton"));
  connect(headerBrowse, &QPushButton::clicked, this, &TConfigForm::ReportHeaderBrowseButtonClick);
  ReportFooterEdit_ = new QLineEdit(page);
  ReportFooterEdit_->setObjectName(QStringLiteral("ReportFooterEdit"));
  auto* footerBrowse = new QPushButton(QStringLiteral("..."), page);
  footerBrowse->setObjectName(QStringLiteral("ReportFooterBrowseButton"));
  connect(footerBrowse, &QPushButton::clicked, this, &TConfigForm::ReportFooterBrowseButtonClick);
  ReportLanguageEdit_ = new QComboBox(page);
  ReportLanguageEdit_->setObjectName(QStringLiteral("ReportLanguageEdit"));
  ReportFormulaEdit_ = new QLineEdit(page);
  ReportFormulaEdit_->setObjectName(QStringLiteral("ReportFormulaEdit"));
  ReportFormulaHelpButton_ = new QPushButton(QStringLiteral("?"), page);
  ReportFormulaHelpButton_->setObjectName(QStringLiteral("ReportFormulaHelpButton"));
  ReportFormulaHelpButton_->setToolTip(tr("Ayuda"));
  connect(ReportFormulaHelpButton_, &QPushButton::clicked, this, &TConfigForm::ReportFormulaHelpButtonClick);
  auto* test = new QPushButton(tr("&Pruebe el fórmula"), page);
  test->setObjectName(QStringLiteral("FormulaTestButton"));
  connect(test, &QPushButton::clicked, this, &TConfigForm::FormulaTestButtonClick);
  for (QPushButton* button : {headerBrowse, footerBrowse, ReportFormulaHelpButton_, test})
    button->setAutoDefault(false);
  for (QPushButton* small : {headerBrowse, footerBrowse, ReportFormulaHelpButton_}) {
    small->setFixedWidth(small->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  }

  fields->addRow(tr("Imagen de la cabecera"), Row(ReportHeaderEdit_, headerBrowse));
  fields->addRow(tr("Imagen en el pie de página"), Row(ReportFooterEdit_, footerBrowse));
  fields->addRow(tr("Idioma de los informes"), ReportLanguageEdit_);
  fields->addRow(tr("Fórmula para calcular la\neficiencia de un jugador"),
                 Row(ReportFormulaEdit_, ReportFormulaHelpButton_, test));
  return page;
}

void TConfigForm::showEvent(QShowEvent* event) {
  // The settings are read when the dialog opens; showing it again after the window system hid it
  // (minimised, restored) keeps what the operator has typed.
  if (!Loaded_) FormShow();
  QDialog::showEvent(event);
}

void TConfigForm::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) Loaded_ = false;
  QDialog::hideEvent(event);
}

void TConfigForm::FormShow() {
  Loaded_ = true;
  Pages_->setCurrentIndex(0);
  for (const TIntegerField& field : IntegerBoxes_) field.Box->SetValue(App_.GetInt(field.Setting));
  LowBandwidthCheckBox_->setChecked(App_.GetInt("low_bandwidth") == 1);
  HideFollowupsCheckbox_->setChecked(App_.GetInt("hide_followups") == 1);
  EnableFollowupsCheckBox_->setChecked(App_.GetInt("enable_followups") == 1);
  ReportHeaderEdit_->setText(QString::fromStdString(App_.GetString("report_header")));
  ReportFooterEdit_->setText(QString::fromStdString(App_.GetString("report_footer")));
  ProxyServerEdit_->setText(QString::fromStdString(App_.GetString("proxy_server")));
  ReportFormulaEdit_->setText(QString::fromStdString(App_.GetString("eff_formula")));

  ReportLanguageEdit_->clear();
  LanguageCodes_.clear();
  for (const TLanguage& language : OfferedLanguages(Registry_)) {
    ReportLanguageEdit_->addItem(QString::fromStdString(language.Name));
    LanguageCodes_.push_back(language.Code);
    if (language.Code == App_.GetString("report_language")) {
      ReportLanguageEdit_->setCurrentIndex(ReportLanguageEdit_->count() - 1);
    }
  }
}

int TConfigForm::ValueToSave(const std::string& setting) const {
  for (const TIntegerField& field : IntegerBoxes_) {
    if (field.Setting != setting) continue;
    if (const auto value = field.Box->Value()) return *value;
  }
  return App_.GetInt(setting);
}

bool TConfigForm::RefuseOutOfRange() {
  const auto refuse = [this](const TIntegerField& field, const QString& text) {
    Ui_.ShowMessage(kApplicationTitle, text.toStdString(), TMessageIcon::Error);
    Pages_->setCurrentWidget(field.Box->parentWidget());
    field.Box->setFocus();
    return true;
  };
  const auto fieldOf = [this](std::string_view setting) -> const TIntegerField* {
    for (const TIntegerField& field : IntegerBoxes_) {
      if (field.Setting == setting) return &field;
    }
    return nullptr;
  };
  for (const TIntegerField& field : IntegerBoxes_) {
    const TSettingRange* range = RangeOf(field.Setting);
    const auto value = field.Box->Value();
    if (range && value && (*value < range->Minimum || *value > range->Maximum)) {
      return refuse(field, tr("El valor de \"%1\" debe estar entre %2 y %3.")
                               .arg(field.Label)
                               .arg(range->Minimum)
                               .arg(range->Maximum));
    }
  }
  for (const TSettingOrder& order : kOrderedSettings) {
    const TIntegerField* lower = fieldOf(order.Lower);
    const TIntegerField* upper = fieldOf(order.Upper);
    if (lower && upper && ValueToSave(lower->Setting) > ValueToSave(upper->Setting)) {
      return refuse(*lower, tr("El valor de \"%1\" no puede ser mayor que el de \"%2\".")
                                .arg(lower->Label, upper->Label));
    }
  }
  return false;
}

void TConfigForm::OKButtonClick() {
  // Nothing is written while a value makes no sense: the dialog stays open on it.
  if (RefuseOutOfRange()) return;
  for (const TIntegerField& field : IntegerBoxes_) {
    if (const auto value = field.Box->Value()) App_.SetInt(field.Setting, *value);
  }
  App_.SetInt("hide_followups", HideFollowupsCheckbox_->isChecked() ? 1 : 0);
  App_.SetInt("enable_followups", EnableFollowupsCheckBox_->isChecked() ? 1 : 0);
  App_.SetInt("low_bandwidth", LowBandwidthCheckBox_->isChecked() ? 1 : 0);
  App_.SetString("report_header", ReportHeaderEdit_->text().toStdString());
  App_.SetString("report_footer", ReportFooterEdit_->text().toStdString());
  App_.SetString("proxy_server", ProxyServerEdit_->text().toStdString());
  const int language = ReportLanguageEdit_->currentIndex();
  if (language >= 0 && language < static_cast<int>(LanguageCodes_.size())) {
    App_.SetString("report_language", LanguageCodes_[static_cast<std::size_t>(language)]);
  }
  App_.SetString("eff_formula", ReportFormulaEdit_->text().toStdString());
  if (!App_.SaveSettings()) {
    Ui_.ShowMessage(kApplicationTitle, tr("No se pudo guardar la configuración.").toStdString(), TMessageIcon::Error);
  }
  App_.LoadMessages();
  accept();
}

void TConfigForm::BrowsePicture(QLineEdit* target) {
  if (const auto file = PictureDialog_.Execute(this)) target->setText(*file);
}

void TConfigForm::ReportHeaderBrowseButtonClick() { BrowsePicture(ReportHeaderEdit_); }

void TConfigForm::ReportFooterBrowseButtonClick() { BrowsePicture(ReportFooterEdit_); }

void TConfigForm::FormulaTestButtonClick() {
  if (FormulaEvaluates(ReportFormulaEdit_->text().toStdString())) {
    Ui_.ShowMessage(kApplicationTitle, tr("El fórmula está correcto").toStdString(), TMessageIcon::Information);
  } else {
    Ui_.ShowMessage(kApplicationTitle, tr("Hay errores en el fórmula").toStdString(), TMessageIcon::Error);
  }
}

void TConfigForm::ReportFormulaHelpButtonClick() {
  TFormulaHelpForm help(this);
  const auto file = FormulaHelpFile(App_.ProgramFolder());
  if (!help.FormCreate(file)) {
    Ui_.ShowMessage(kApplicationTitle,
                    tr("No se puede abrir el fichero \"%1\".").arg(QString::fromStdString(file.string())).toStdString(),
                    TMessageIcon::Error);
    return;
  }
  const QPoint button = ReportFormulaHelpButton_->mapTo(this, QPoint(0, 0));
  help.move(pos() + QPoint(button.x() - 50, button.y() + 20));
  help.exec();
}

}  // namespace velmora::gui
