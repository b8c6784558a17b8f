#pragma once
// The user interface thread's door for work of other threads: posted work runs there, and dies
// with the door.

#include <QObject>

#include "platform/user_interface.h"

namespace velmora::gui {

class TUiThreadDoor : public QObject, public TUiThread {
 public:
  explicit TUiThreadDoor(QObject* parent = nullptr) : QObject(parent) {}
  void Post(std::function<void()> work) override {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
  }
};

}  // namespace velmora::gui
