#pragma once
// How a window waits for a long job without blocking: the progress window is shown above every
// other window of the program (they take no input meanwhile) and events keep being processed,
// while the job runs on a thread of its own. A job may ask the operator questions meanwhile.

#include <functional>

namespace velmora::gui {

class TProgressForm;

// Shows `progress` and processes events until `finished` gives true, looking every 50 ms; then
// hides it.
void WaitBehindProgress(TProgressForm& progress, const std::function<bool()>& finished);

// Runs `work` on a thread of its own behind `progress` and returns once it is done. An exception
// of the work is raised again here.
void RunBehindProgress(TProgressForm& progress, std::function<void()> work);

}  // namespace velmora::gui
