#include "dialog_guard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <map>
#include <vector>

namespace velmora::testing {

namespace {

// An unclaimed modal window gets this long for the test's own answer.
constexpr qint64 kStrayAfterMs = 3000;

struct TGuard {
  std::map<int, std::function<bool(QWidget&)>> Expected;
  int NextId = 1;
  std::vector<QPointer<QWidget>> Claimed;
  std::function<std::string()> Diagnostics;
  QPointer<QWidget> Waiting;
  QElapsedTimer Since;
};

TGuard& Guard() {
  static TGuard guard;
  return guard;
}

std::string Describe(QWidget& window) {
  std::string text = std::string(window.metaObject()->className()) + " \"" + window.windowTitle().toStdString() + "\"";
  if (Guard().Diagnostics) text += "; " + Guard().Diagnostics();
  return text;
}

void Close(QWidget& window) {
  if (auto* dialog = qobject_cast<QDialog*>(&window)) {
    dialog->done(QDialog::Rejected);
  } else {
    window.close();
  }
}

bool Awaited(QWidget& window) {
  TGuard& guard = Guard();
  for (const auto& claimed : guard.Claimed) {
    if (claimed == &window) return true;
  }
  for (const auto& [id, matches] : guard.Expected) {
    if (matches(window)) return true;
  }
  // A wait window ends with its job.
  return window.inherits("velmora::gui::TProgressForm");
}

void Watch() {
  TGuard& guard = Guard();
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || Awaited(*modal)) {
    guard.Waiting = nullptr;
    return;
  }
  if (guard.Waiting != modal) {
    guard.Waiting = modal;
    guard.Since.start();
    return;
  }
  if (guard.Since.elapsed() < kStrayAfterMs) return;
  ADD_FAILURE() << "the modal window " << Describe(*modal) << " waited for an answer nobody gave; it was closed";
  guard.Waiting = nullptr;
  Close(*modal);
}

// Runs before the result is printed, so that a failure found here counts for the test.
class TLeftoverCheck final : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() || !qobject_cast<QDialog*>(window)) continue;
      ADD_FAILURE() << "the dialog " << Describe(*window) << " was still open at the end of the test; it was closed";
      Close(*window);
    }
    TGuard& guard = Guard();
    guard.Expected.clear();
    guard.Claimed.clear();
    guard.Diagnostics = nullptr;
    guard.Waiting = nullptr;
  }
};

}  // namespace

int ExpectDialog(std::function<bool(QWidget&)> matches) {
  const int id = Guard().NextId++;
  Guard().Expected.emplace(id, std::move(matches));
  return id;
}

void ClaimDialog(int expectation, QWidget& dialog) {
  Guard().Expected.erase(expectation);
  Guard().Claimed.emplace_back(&dialog);
}

void ForgetDialog(int expectation) { Guard().Expected.erase(expectation); }

void SetDialogDiagnostics(std::function<std::string()> describe) { Guard().Diagnostics = std::move(describe); }

void InstallDialogGuard() {
  auto* watch = new QTimer(QCoreApplication::instance());
  QObject::connect(watch, &QTimer::timeout, watch, &Watch);
  watch->start(100);
  ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
  ::testing::TestEventListener* printer = listeners.Release(listeners.default_result_printer());
  listeners.Append(new TLeftoverCheck);
  if (printer) listeners.Append(printer);
}

}  // namespace velmora::testing
