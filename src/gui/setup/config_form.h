#pragma once
// The settings dialog: game rules, network values, follow-up behaviour and report options. It reads
// the settings when shown and, on "&Aceptar", writes them all back, saves them and reloads the
// messages file. The efficiency formula can be tested, and a help window explains it.

#include <string>
#include <vector>

#include <QDialog>

#include "widgets/dialog_answers.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velmora {
class TApp;
class TRegistry;
class TUserInterface;
}  // namespace velmora

namespace velmora::gui {

class TIntegerBox;

class TConfigForm : public QDialog {
  Q_OBJECT

 public:
  // Everything given outlives the dialog.
  TConfigForm(TApp& app, TRegistry& registry, TUserInterface& userInterface, QWidget* parent = nullptr);

  TFileDialog& PictureDialog() { return PictureDialog_; }
  // The language codes, in the order of the entries of the list.
  const std::vector<std::string>& LanguageCodes() const { return LanguageCodes_; }

  void FormShow();
  void OKButtonClick();
  void CancelButtonClick() { reject(); }
  void ReportHeaderBrowseButtonClick();
  void ReportFooterBrowseButtonClick();
  void FormulaTestButtonClick();
  void ReportFormulaHelpButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* BuildGamePage();
  QWidget* BuildNetworkPage();
  QWidget* BuildInterfacePage();
  QWidget* BuildReportsPage();
  void AddIntegerBox(QFormLayout* fields, const char* setting, const QString& label, int maximum);
  // The value "&Aceptar" would give the setting: the box's number, or the setting's own value.
  int ValueToSave(const std::string& setting) const;
  // The first box whose value makes no sense, said to the operator and focused; false when none.
  bool RefuseOutOfRange();
  void BrowsePicture(QLineEdit* target);

  TApp& App_;
  TRegistry& Registry_;
  TUserInterface& Ui_;
  TFileDialog PictureDialog_;
  struct TIntegerField {
    std::string Setting;
    QString Label;
    TIntegerBox* Box;
  };
  std::vector<TIntegerField> IntegerBoxes_;
  std::vector<std::string> LanguageCodes_;

  bool Loaded_ = false;  // the settings are in the controls since the dialog opened
  QTabWidget* Pages_ = nullptr;
  QLineEdit* ProxyServerEdit_ = nullptr;
  QCheckBox* LowBandwidthCheckBox_ = nullptr;
  QCheckBox* HideFollowupsCheckbox_ = nullptr;
  QCheckBox* EnableFollowupsCheckBox_ = nullptr;
  QLineEdit* ReportHeaderEdit_ = nullptr;
  QLineEdit* ReportFooterEdit_ = nullptr;
  QComboBox* ReportLanguageEdit_ = nullptr;
  QLineEdit* ReportFormulaEdit_ = nullptr;
  QPushButton* ReportFormulaHelpButton_ = nullptr;
};

}  // namespace velmora::gui
