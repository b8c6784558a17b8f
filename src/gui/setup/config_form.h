#pragma once
// The settings dialog: game rules, network values, follow-up behaviour and report options. It reads
// the settings when shown and, on "&Aceptar", writes them all back, saves them and reloads the
// messages file. The efficiency formula can be tested, and a help window explains it.

#include <string>
#include <utility>
#include <vector>

#include <QDialog>

#include "widgets/dialog_answers.h"

class QCheckBox;
class QComboBox;
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

 private:
  QWidget* BuildGamePage();
  QWidget* BuildNetworkPage();
  QWidget* BuildInterfacePage();
  QWidget* BuildReportsPage();
  TIntegerBox* AddIntegerBox(const char* setting, int maximum);
  void BrowsePicture(QLineEdit* target);

  TApp& App_;
  TRegistry& Registry_;
  TUserInterface& Ui_;
  TFileDialog PictureDialog_;
  std::vector<std::pair<std::string, TIntegerBox*>> IntegerBoxes_;
  std::vector<std::string> LanguageCodes_;

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
