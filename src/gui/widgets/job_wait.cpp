#include "widgets/job_wait.h"

#include <atomic>
#include <exception>
#include <thread>

#include <QEventLoop>
#include <QTimer>

#include "widgets/progress_form.h"

namespace velmora::gui {

void WaitBehindProgress(TProgressForm& progress, const std::function<bool()>& finished) {
  if (finished()) return;
  // Application-modal rather than disabling the other windows: a question that the job asks is a
  // child of those windows and would be disabled with them.
  progress.setWindowModality(Qt::ApplicationModal);
  progress.show();
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (finished()) loop.quit();
  });
  poll.start();
  loop.exec();
  progress.hide();
}

void RunBehindProgress(TProgressForm& progress, std::function<void()> work) {
  std::atomic<bool> done{false};
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
  });
  WaitBehindProgress(progress, [&] { return done.load(); });
  worker.join();  // it has finished already
  if (failure) std::rethrow_exception(failure);
}

}  // namespace velmora::gui
