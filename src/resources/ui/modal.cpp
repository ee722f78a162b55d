#include "resources/ui/modal.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include "resources/ui/test_hooks.h"

namespace orv::ui {
namespace {
Answer DefaultAnswer(Buttons buttons) { return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel; }
}  // namespace

QStringList Script::MessageTexts() const {
    QStringList texts;
    for (const auto& m : messages) texts << m.text;
    return texts;
}

ScopedScript::ScopedScript() : previous_(TestHooks().script) { TestHooks().script = &script_; }
ScopedScript::~ScopedScript() { TestHooks().script = previous_; }

Answer ShowMessage(QWidget* parent, const QString& text, Buttons buttons) {
    if (Script* script = TestHooks().script) {
        Answer a = DefaultAnswer(buttons);
        if (!script->answers.empty()) {
            a = script->answers.front();
            script->answers.pop_front();
        }
        script->messages.push_back({text, buttons, a});
        if (script->onMessage) script->onMessage(script->messages.back());
        return a;
    }
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Orvmon"));
    box.setText(text);
    switch (buttons) {
        case Buttons::Ok:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNoCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    // Button captions as the Russian system gives them (Qt's own Russian texts differ).
    if (auto* b = box.button(QMessageBox::Ok)) b->setText(QStringLiteral("OK"));
    if (auto* b = box.button(QMessageBox::Cancel)) b->setText(QString::fromUtf8("Отмена"));
    if (auto* b = box.button(QMessageBox::Yes)) b->setText(QString::fromUtf8("Да"));
    if (auto* b = box.button(QMessageBox::No)) b->setText(QString::fromUtf8("Нет"));
    switch (box.exec()) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: return DefaultAnswer(buttons);  // closed with Esc or the close box
    }
}

int RunModal(QDialog& dialog) {
    Script* script = TestHooks().script;
    if (!script) return dialog.exec();
    script->dialogClasses << QString::fromLatin1(dialog.metaObject()->className());
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (script->dialogs.empty()) {
        script->unexpectedDialogs << QString::fromLatin1(dialog.metaObject()->className());
        dialog.reject();
    } else {
        auto handler = std::move(script->dialogs.front());
        script->dialogs.pop_front();
        handler(dialog);
        if (dialog.isVisible()) dialog.reject();  // the handler left it open: treat as cancelled
    }
    return dialog.result();
}

}  // namespace orv::ui
