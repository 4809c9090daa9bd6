#pragma once

#include <functional>

class QDialog;

namespace vantreel {

// Every dialog of the library is shown modally through ShowModal. A test
// answers it by script instead of a person: each script queued with
// QueueModalAnswer answers the next modal dialog shown (a dialog it opens in
// turn takes the next script).
//
// Once a test has scripted (ResetModalAnswers or QueueModalAnswer), a
// forgotten answer fails fast and never hangs, with no timer involved:
// - a dialog shown with no answer queued is not shown at all: it is counted
//   and ShowModal returns QDialog::Rejected at once;
// - a dialog its answer leaves open is counted and rejected as soon as the
//   answer has returned and the events it posted have been handled.
// Without a script (a real host) ShowModal is QDialog::exec.
int ShowModal(QDialog& dialog);

using ModalAnswer = std::function<void(QDialog& dialog)>;
void QueueModalAnswer(ModalAnswer answer);

// How many scripted dialogs had to be closed because their answer was missing
// or left them open, and how many queued answers are still waiting; a test
// checks both at its end.
int UnansweredModalDialogs();
int PendingModalAnswers();

// Forgets the queued answers and the count, and turns scripting on.
void ResetModalAnswers();
// The same; the argument is no longer used: unanswered dialogs are closed
// without a time limit. Kept so that callers written against it still build.
void ResetModalAnswers(int timeLimitMs);

}  // namespace vantreel
