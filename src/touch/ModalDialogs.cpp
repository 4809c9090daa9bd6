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
    int timeLimitMs = 5000;
};

ModalScript& Script() {
    static ModalScript script;
    return script;
}

}  // namespace

int ShowModal(QDialog& dialog) {
    ModalScript& script = Script();
    if (script.answers.empty()) {
        return dialog.exec();
    }
    ModalAnswer answer = std::move(script.answers.front());
    script.answers.pop_front();
    QPointer<QDialog> guarded(&dialog);
    QTimer::singleShot(0, &dialog, [guarded, answer] {
        if (guarded) {
            answer(*guarded);
        }
    });
    QTimer::singleShot(script.timeLimitMs, &dialog, [guarded] {
        if (guarded && guarded->isVisible()) {
            ++Script().unanswered;
            guarded->reject();
        }
    });
    return dialog.exec();
}

void QueueModalAnswer(ModalAnswer answer) {
    Script().answers.push_back(std::move(answer));
}

int UnansweredModalDialogs() {
    return Script().unanswered;
}

int PendingModalAnswers() {
    return static_cast<int>(Script().answers.size());
}

void ResetModalAnswers(int timeLimitMs) {
    Script().answers.clear();
    Script().unanswered = 0;
    Script().timeLimitMs = timeLimitMs;
}

}  // namespace vantreel
