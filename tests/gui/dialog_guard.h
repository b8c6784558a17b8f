#pragma once
// No GUI test may hang in a modal loop that nobody answers. A test that acts on a dialog waits for
// it with WhenShown: the dialog is then the test's, and one that does not come fails the test. Any
// other modal window is closed a few seconds after it appears, and fails the test; so does every
// dialog still shown when a test ends.

#include <functional>
#include <string>

class QWidget;

namespace velmora::testing {

// A test waits for a modal window that `matches` accepts; the id is for ClaimDialog or ForgetDialog.
int ExpectDialog(std::function<bool(QWidget&)> matches);
// The awaited window has come: it is the test's for as long as it stays open.
void ClaimDialog(int expectation, QWidget& dialog);
// It did not come.
void ForgetDialog(int expectation);
// What the failure of an unanswered window also says (the questions a test scripted, say); none
// to say nothing more. Forgotten at the end of each test.
void SetDialogDiagnostics(std::function<std::string()> describe);

// Starts watching; once, after the application is made and before the tests run.
void InstallDialogGuard();

}  // namespace velmora::testing
