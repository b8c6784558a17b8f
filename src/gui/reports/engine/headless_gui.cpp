#include "reports/engine/headless_gui.h"

#include <QGuiApplication>

namespace velmora::report {

namespace {

// QGuiApplication keeps references to its arguments for its whole life, and takes out of them
// the options it reads.
int argumentCount = 3;
char programName[] = "velmora";
char platformOption[] = "-platform";
char platformName[] = "offscreen";
char* arguments[] = {programName, platformOption, platformName, nullptr};

}  // namespace

THeadlessGui::THeadlessGui() {
  if (QCoreApplication::instance()) return;
  argumentCount = 3;
  arguments[0] = programName;
  arguments[1] = platformOption;
  arguments[2] = platformName;
  Application_ = std::make_unique<QGuiApplication>(argumentCount, arguments);
}

THeadlessGui::~THeadlessGui() = default;

}  // namespace velmora::report
