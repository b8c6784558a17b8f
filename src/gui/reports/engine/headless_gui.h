#pragma once
// What fonts and pictures need when no program window exists (the command line): an application
// object on the "offscreen" platform, made only when the process has none.

#include <memory>

class QGuiApplication;

namespace velmora::report {

class THeadlessGui {
 public:
  THeadlessGui();
  ~THeadlessGui();
  THeadlessGui(const THeadlessGui&) = delete;
  THeadlessGui& operator=(const THeadlessGui&) = delete;

 private:
  std::unique_ptr<QGuiApplication> Application_;
};

}  // namespace velmora::report
