#pragma once
// The game clock's one-second beat. The live window takes it from outside so that tests can beat
// it by hand instead of waiting.

#include <QObject>
#include <QTimer>
#include <functional>

namespace velmora::gui {

class TClockTimer {
 public:
  virtual ~TClockTimer() = default;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
  // Called once a second while running.
  void SetHandler(std::function<void()> handler) { Handler_ = std::move(handler); }

 protected:
  void Beat() {
    if (Handler_) Handler_();
  }

 private:
  std::function<void()> Handler_;
};

class TSecondTimer final : public TClockTimer {
 public:
  TSecondTimer() {
    Timer_.setInterval(1000);
    Timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&Timer_, &QTimer::timeout, &Timer_, [this] { Beat(); });
  }
  void Start() override { Timer_.start(); }
  void Stop() override { Timer_.stop(); }
  bool Running() const override { return Timer_.isActive(); }

 private:
  QTimer Timer_;
};

}  // namespace velmora::gui
