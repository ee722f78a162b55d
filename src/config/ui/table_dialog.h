#pragma once
// What the decimal format table and the parameter dictionary have in common: a sorted list of one
// settings file's records beside a frame of add, edit and delete buttons; "Применить" rewrites the
// file from the list, and only when its reading allows it.

#include <QDialog>
#include <QStringList>
#include <optional>
#include <vector>

#include "files/file_replacement.h"
#include "files/settings_guard.h"
#include "resources/ui/modal.h"
#include "text/line_list.h"

namespace orv {

namespace ui {
class ListBox;
}

class TableDialog : public QDialog {
    Q_OBJECT
protected:
    enum class Action { Add, Edit, Delete };
    struct FrameButton {
        Action action;
        int id;
        const char* text;
    };
    // The texts and controls of one table dialog.
    struct Layout {
        const char* title;
        int listId;
        int listWidthCells;
        bool scrollSideways;  // the list scrolls sideways when its lines are wider than it
        QStringList heads;
        const char* frameTitle;
        std::vector<FrameButton> buttons;  // in their order in the frame
        const char* pickMessage;           // "edit" or "delete" with no line selected
        const char* deleteQuestion;
    };
    // The result of the editor over the list: what to tell, and with which buttons.
    struct Edited {
        const char* refusal = nullptr;
        ui::Buttons buttons = ui::Buttons::Ok;
    };

    TableDialog(QWidget* parent, const Layout& layout);

    // Shows the lines read from the file and keeps what the reading allows the save to do; what
    // the reading found is told before the dialog shows, over the window that opened it.
    void ShowRead(const LineList& lines, SettingsFileGuard file);

    // Runs the editor on line `row` (LineList::kNone: a new line) and puts its record into
    // `lines`; nullopt when the editor was cancelled.
    virtual std::optional<Edited> RunEditor(LineList& lines, int row) = 0;
    // Rewrites the file from the lines.
    virtual SaveError Store(const LineList& lines, bool keepBackup) = 0;

    ui::ListBox* list_;

private:
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnApply();

    const char* pickMessage_;
    const char* deleteQuestion_;
    SettingsFileGuard file_;  // what the reading of the file allows the save to do
};

}  // namespace orv
