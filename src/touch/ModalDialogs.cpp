#include "touch/ModalDialogs.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <deque>

namespace vantreel {
namespace {

struct ModalScript {
    std::deque<ModalAnswer> answers;
    int unanswered = 0;
    bool scripted = false;
    int showings = 0;  // scripted dialogs shown so far
};

constexpr const char* kShowingProperty = "vantreelModalShowing";

ModalScript& Script() {
    static ModalScript script;
    return script;
}

}  // namespace

int ShowModal(QDialog& dialog) {
    ModalScript& script = Script();
    if (!script.scripted) {
        return dialog.exec();
    }
    if (script.answers.empty()) {
        // Nobody is there to answer: fail at once instead of waiting forever.
        ++script.unanswered;
        dialog.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    ModalAnswer answer = std::move(script.answers.front());
    script.answers.pop_front();
    QPointer<QDialog> guarded(&dialog);
    // A dialog object may be shown again (a public class keeps its form): the
    // check belongs to this showing only.
    const int showing = ++script.showings;
    // Both run inside exec's event loop: the answer once the dialog is shown,
    // then the check, queued behind whatever the answer posted.
    QTimer::singleShot(0, &dialog, [guarded, answer, showing] {
        if (!guarded) {
            return;
        }
        answer(*guarded);
        if (!guarded) {
            return;
        }
        QTimer::singleShot(0, guarded, [guarded, showing] {
            if (guarded && guarded->isVisible() &&
                guarded->property(kShowingProperty).toInt() == showing) {
                ++Script().unanswered;
                guarded->reject();
            }
        });
    });
    dialog.setProperty(kShowingProperty, showing);
    return dialog.exec();
}

void QueueModalAnswer(ModalAnswer answer) {
    Script().scripted = true;
    Script().answers.push_back(std::move(answer));
}

int UnansweredModalDialogs() {
    return Script().unanswered;
}

int PendingModalAnswers() {
    return static_cast<int>(Script().answers.size());
}

void ResetModalAnswers() {
    Script().answers.clear();
    Script().unanswered = 0;
    Script().scripted = true;
}

void ResetModalAnswers(int /*timeLimitMs*/) {
    ResetModalAnswers();
}

}  // namespace vantreel
