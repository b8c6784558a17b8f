#pragma once
// Runs a blocking call (the network, mostly) on a thread of its own while the user interface
// thread keeps processing its events, and gives its result. The window that waits should disable
// what must not be used meanwhile.

#include <QEventLoop>
#include <QMetaObject>
#include <functional>
#include <optional>
#include <thread>

namespace velmora::gui {

template <typename TResultType>
TResultType WaitForBackground(std::function<TResultType()> work) {
  std::optional<TResultType> result;
  QEventLoop loop;
  std::thread worker([&] {
    result.emplace(work());
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  // The worker has posted its last word: joining cannot wait for long.
  worker.join();
  return std::move(*result);
}

}  // namespace velmora::gui
