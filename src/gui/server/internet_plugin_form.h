#pragma once
// The connect dialog: server address, user name and password; "&OK" runs the login on a thread of
// its own while the dialog stays responsive, and "&Cancel" also ends a login that hangs.

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include <QDialog>

#include "serverlink/credentials.h"
#include "serverlink/internet_plugin.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmora {
class TConfiguration;
class TRegistry;
class TUserInterface;
}  // namespace velmora

namespace velmora::gui {

class TInternetPluginForm : public QDialog {
  Q_OBJECT

 public:
  // Everything given outlives the dialog; `stored` fills the fields.
  TInternetPluginForm(const TCredentials& stored, const TConfiguration& config, const TRegistry& registry,
                      TUserInterface& userInterface, QWidget* parent = nullptr);
  ~TInternetPluginForm() override;

  // After an accepted dialog: what the login handed over, and what the operator entered (the URL
  // as normalised).
  const TLoginOutcome& Outcome() const { return *Outcome_; }
  TCredentials Entered() const;
  bool Remember() const;
  bool LoginRunning() const { return Worker_.joinable(); }

  void btnNextClick();
  void btnPrevClick();

  void reject() override;

 private:
  void LoginFinished(TResult<TLoginOutcome> outcome);
  void SetBusy(bool busy);

  const TConfiguration& Config_;
  const TRegistry& Registry_;
  TUserInterface& Ui_;
  QLineEdit* URLEdit_ = nullptr;
  QLineEdit* UserEdit_ = nullptr;
  QLineEdit* PasswordEdit_ = nullptr;
  QCheckBox* RememberCheckbox_ = nullptr;
  QPushButton* btnNext_ = nullptr;
  QPushButton* btnPrev_ = nullptr;
  std::optional<TLoginOutcome> Outcome_;
  std::atomic<bool> Cancel_{false};
  bool CloseWhenDone_ = false;
  std::thread Worker_;
};

}  // namespace velmora::gui
