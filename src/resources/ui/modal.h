#pragma once
// Every message box and every modal dialog of the program goes through these two functions. In
// the program they block as usual; a test installs a script that answers them in order, so that
// no test ever blocks on a modal window.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

namespace orv::ui {

enum class Buttons { Ok, OkCancel, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Shows a message box with the program's caption and returns the button pressed (Esc gives
// Cancel, or Ok for an OK-only box).
Answer ShowMessage(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok);

// Runs a dialog modally and returns its result (QDialog::Accepted or Rejected).
int RunModal(QDialog& dialog);

// ---- Scripting, for tests ----
struct MessageRecord {
    QString text;
    Buttons buttons;
    Answer answer;
};

// While a script is installed (see ScopedScript), message boxes do not appear: each is recorded and
// answered with the next queued answer (or Ok/Cancel by default, per box kind, when the queue is
// empty: OK-only boxes get Ok, question boxes get Cancel). Modal dialogs are shown non-modally and
// handed to the next queued handler, which must accept() or reject() them; a dialog with no handler
// left is rejected and recorded as unexpected.
class Script {
public:
    void Answer(orv::ui::Answer a) { answers.push_back(a); }
    void OnDialog(std::function<void(QDialog&)> handler) { dialogs.push_back(std::move(handler)); }

    std::deque<orv::ui::Answer> answers;
    std::deque<std::function<void(QDialog&)>> dialogs;
    std::vector<MessageRecord> messages;
    // Called with each message as it is answered (after it was recorded), when set.
    std::function<void(const MessageRecord&)> onMessage;
    QStringList unexpectedDialogs;  // class names of dialogs nobody handled
    QStringList dialogClasses;     // class names of every dialog run, in order

    QStringList MessageTexts() const;
};

class ScopedScript {
public:
    ScopedScript();
    ~ScopedScript();
    ScopedScript(const ScopedScript&) = delete;
    ScopedScript& operator=(const ScopedScript&) = delete;
    Script& operator*() { return script_; }
    Script* operator->() { return &script_; }

private:
    Script script_;
    Script* previous_;
};

}  // namespace orv::ui
