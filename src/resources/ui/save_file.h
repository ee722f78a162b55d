#pragma once
// The platform's dialog that asks where to save one file. In the program it is modal as usual; a
// test installs a ScopedSaveFileScript, which answers every request with a queued path instead,
// so that no test ever blocks on the dialog.

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace orv::ui {

// Asks for the file to save, proposing `suggestedName` (in the current directory) and the files
// of `filter`; a name typed without an extension gets `defaultSuffix`. The chosen path, or an
// empty string when the engineer cancels.
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                       const QString& defaultSuffix);

// While installed, ChooseSaveFile shows nothing: it records the caption and suggested name and
// returns the next queued path (an empty string, i.e. cancelled, when none is left).
class ScopedSaveFileScript {
public:
    ScopedSaveFileScript();
    ~ScopedSaveFileScript();
    ScopedSaveFileScript(const ScopedSaveFileScript&) = delete;
    ScopedSaveFileScript& operator=(const ScopedSaveFileScript&) = delete;

    void Answer(const QString& path) { answers.push_back(path); }

    std::deque<QString> answers;
    QStringList captions;
    QStringList suggestedNames;

private:
    ScopedSaveFileScript* previous_;
};

}  // namespace orv::ui
