#pragma once
// The small tool window that explains the efficiency formula, from the help file beside the
// program ("report/formula.html").

#include <filesystem>

#include <QDialog>

class QTextBrowser;

namespace velmora::gui {

class TFormulaHelpForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFormulaHelpForm(QWidget* parent = nullptr);

  // Reads the help file; false when it cannot be read.
  bool FormCreate(const std::filesystem::path& helpFile);
  QString Text() const;

 private:
  QTextBrowser* HelpText_ = nullptr;
};

// The help file among the program's resources.
std::filesystem::path FormulaHelpFile(const std::filesystem::path& programFolder);

}  // namespace velmora::gui
