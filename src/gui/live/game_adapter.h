#pragma once
// The open game's door to the user interface thread: the sender's thread posts its work here, and
// the work dies with the adapter when the live window goes.

#include <QObject>

#include "platform/user_interface.h"

namespace velmora::gui {

class TGameAdapter final : public QObject, public TUiThread {
 public:
  explicit TGameAdapter(QObject* parent = nullptr) : QObject(parent) {}
  void Post(std::function<void()> work) override {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
  }
};

}  // namespace velmora::gui
