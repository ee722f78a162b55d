#include "resources/ui/save_file.h"

#include <QFileDialog>

#include "resources/ui/modal.h"
#include "resources/ui/test_hooks.h"

namespace orv::ui {
ScopedSaveFileScript::ScopedSaveFileScript() : previous_(TestHooks().saveFile) { TestHooks().saveFile = this; }
ScopedSaveFileScript::~ScopedSaveFileScript() { TestHooks().saveFile = previous_; }

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                       const QString& defaultSuffix) {
    if (ScopedSaveFileScript* script = TestHooks().saveFile) {
        script->captions << caption;
        script->suggestedNames << suggestedName;
        if (script->answers.empty()) return {};
        QString path = script->answers.front();
        script->answers.pop_front();
        return path;
    }
    QFileDialog dialog(parent, caption, suggestedName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (RunModal(dialog) != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

}  // namespace orv::ui
