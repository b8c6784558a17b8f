#pragma once
// Acting on a modal dialog of the windows under test once it is shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

namespace velmora::testing {

// Runs `act` on the dialog of type T as soon as it is the active modal window (within 5 s).
template <typename T>
void WhenShown(std::function<void(T&)> act) {
  auto* poll = new QTimer;
  auto waited = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, act = std::move(act)] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
      poll->deleteLater();
      poll->stop();
      act(*dialog);
    } else if (++*waited > 500) {
      poll->deleteLater();
      poll->stop();
      ADD_FAILURE() << "the dialog " << T::staticMetaObject.className() << " was not shown";
    }
  });
  poll->start(10);
}

}  // namespace velmora::testing
