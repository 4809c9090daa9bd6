#pragma once

#include <functional>

class QDialog;

namespace vantreel {

// Every dialog of the library is shown modally through ShowModal. A test
// answers it by script instead of a person: each script queued with
// QueueModalAnswer answers the next modal dialog shown (a dialog it opens in
// turn takes the next script). A dialog its script leaves open is closed
// after the time limit and the miss is counted, so a forgotten answer fails
// instead of hanging.
int ShowModal(QDialog& dialog);

using ModalAnswer = std::function<void(QDialog& dialog)>;
void QueueModalAnswer(ModalAnswer answer);

// How many scripted dialogs had to be closed by the time limit, and how many
// queued answers are still waiting; a test checks both at its end.
int UnansweredModalDialogs();
int PendingModalAnswers();
void ResetModalAnswers(int timeLimitMs = 5000);

}  // namespace vantreel
