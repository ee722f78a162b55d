#pragma once
// The list of displayed parameters.

#include <QDialog>
#include <optional>
#include <string>

#include "display/list_rules.h"

class QPushButton;

namespace orv {
struct ProgramState;
namespace ui {
class ListBox;
}
}  // namespace orv

namespace orv {

// "Список отображаемых входных параметров": composes the list from the display table, saves and
// restores it as ".42i" files, and loads it into the table and the board ("Применить", enabled only
// while a board is selected).
class CDisplayListDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDisplayListDlg(ProgramState& state, QWidget* parent = nullptr);

private:
    void OnAdd();
    void OnInsert();
    void OnEdit();
    void OnDelete();
    void OnAddList();
    void OnSave();
    void OnRestore();
    void OnApply();
    // Runs the editor with `fields`; the record, or nullopt when it did not end with "Применить".
    std::optional<DisplayLineRecord> RunEditor(const DisplayParamFields& fields);
    void Show(const LineList& lines);
    void Refuse(const char* message);

    ProgramState& state_;
    ui::ListBox* list_;
    QPushButton* apply_;
    std::string lossyFile_;  // the last file restored with records left out: a save over it keeps a .bak
};

}  // namespace orv
