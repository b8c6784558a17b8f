// The shared widgets: the wait window and the way jobs are waited for, and the colour button.

#include <atomic>
#include <stdexcept>
#include <thread>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "setup_fixture.h"
#include "wait_until.h"
#include "widgets/color_button.h"
#include "widgets/job_wait.h"
#include "widgets/progress_form.h"

namespace velmora::testing {
namespace {

using gui::TProgressForm;

TEST(ProgressForm, WaitsForTheJobAboveTheOtherWindowsAndCannotBeClosed) {
  QWidget other;
  other.show();
  TProgressForm progress;
  EXPECT_EQ(progress.windowTitle(), QStringLiteral("Velmora"));
  EXPECT_EQ(progress.Message(), QStringLiteral("Loading saved actions..."));
  progress.SetMessage(QStringLiteral("Sincronizando"));

  std::atomic<bool> done{false};
  bool modalMeanwhile = false;
  bool stayedOpen = false;
  std::atomic<int> ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
    ++ticks;  // events go on while the job runs
    modalMeanwhile = QApplication::activeModalWidget() == &progress;
    progress.close();
    stayedOpen = progress.isVisible();
    if (ticks == 5) SaveScreenshot(progress, "progress_form");
  });
  ticker.start(20);
  // The job ends once the window has gone on with its events for a while.
  std::thread job([&] {
    WaitUntil([&] { return ticks >= 5; });
    done = true;
  });
  gui::WaitBehindProgress(progress, [&] { return done.load(); });
  job.join();

  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(modalMeanwhile) << "the other windows take no input meanwhile";
  EXPECT_TRUE(stayedOpen);
  EXPECT_FALSE(progress.isVisible()) << "hidden once the job is done";
}

TEST(ProgressForm, WorkRunsOffTheUiThreadAndItsFailureComesBack) {
  TProgressForm progress;
  const auto ui = std::this_thread::get_id();
  std::thread::id worker;
  gui::RunBehindProgress(progress, [&] { worker = std::this_thread::get_id(); });
  EXPECT_NE(worker, ui);
  EXPECT_THROW(gui::RunBehindProgress(progress, [] { throw std::runtime_error("no"); }), std::runtime_error);
}

TEST(ColorButton, FillsWithItsColourAndKeepsTeamColoursInTheirStoredForm) {
  EXPECT_EQ(gui::ColorFromValue(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(gui::ValueOfColor(QColor(0, 128, 255)), 0xFF8000);
  EXPECT_FALSE(gui::ColorFromValue(-1).isValid());
  EXPECT_EQ(gui::ValueOfColor(QColor()), -1);

  gui::TColorButton button(QStringLiteral("Color"));
  button.resize(120, 30);
  EXPECT_FALSE(button.HasBackColor());
  button.SetBackColor(QColor(0, 0, 200));
  button.SetTextColor(Qt::white);
  QImage picture = button.grab().toImage();
  SaveScreenshot(button, "color_button");
  EXPECT_EQ(picture.pixelColor(8, 15), QColor(0, 0, 200));

  button.setDown(true);
  picture = button.grab().toImage();
  EXPECT_EQ(picture.pixelColor(8, 15), QColor(0, 0, 200)) << "pressed: still filled, drawn flat";
  button.setDown(false);
  button.setEnabled(false);
  picture = button.grab().toImage();
  bool whiteText = false;
  for (int x = 0; x < picture.width(); ++x) {
    for (int y = 0; y < picture.height(); ++y) whiteText |= picture.pixelColor(x, y) == QColor(Qt::white);
  }
  EXPECT_FALSE(whiteText) << "a disabled caption is drawn embossed grey, not in the text colour";
}

}  // namespace
}  // namespace velmora::testing
