#include "resources/ui/save_file.h"

#include <QFileDialog>

#include "resources/ui/modal.h"

namespace orv::ui {
namespace {
ScopedSaveFileScript* g_saveScript = nullptr;  // installed by tests only
}  // namespace

ScopedSaveFileScript::ScopedSaveFileScript() : previous_(g_saveScript) { g_saveScript = this; }
ScopedSaveFileScript::~ScopedSaveFileScript() { g_saveScript = previous_; }

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                       const QString& defaultSuffix) {
    if (g_saveScript) {
        g_saveScript->captions << caption;
        g_saveScript->suggestedNames << suggestedName;
        if (g_saveScript->answers.empty()) return {};
        QString path = g_saveScript->answers.front();
        g_saveScript->answers.pop_front();
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
