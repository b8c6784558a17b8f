#pragma once
// Acting on a modal dialog of the windows under test once it is shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include "dialog_guard.h"

namespace velmora::testing {

// Runs `act` on the dialog of type T as soon as it is the active modal window. One that is not
// shown within 10 s fails the test; another modal window shown instead is closed by the guard.
template <typename T>
void WhenShown(std::function<void(T&)> act) {
  const int expectation = ExpectDialog([](QWidget& window) { return qobject_cast<T*>(&window) != nullptr; });
  auto* poll = new QTimer;
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, expectation, act = std::move(act)] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
      poll->deleteLater();
      poll->stop();
      ClaimDialog(expectation, *dialog);
      act(*dialog);
    } else if (waited->elapsed() > 10000) {
      poll->deleteLater();
      poll->stop();
      ForgetDialog(expectation);
      ADD_FAILURE() << "the dialog " << T::staticMetaObject.className() << " was not shown";
    }
  });
  poll->start(10);
}

}  // namespace velmora::testing
