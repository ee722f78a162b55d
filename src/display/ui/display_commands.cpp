#include "display/ui/display_commands.h"

#include <QDialog>

#include "state/program_state.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "display/ui/CDisplayListDlg.h"
#include "display/ui/CDisplayParamDlg.h"
#include "display/ui/CParamFormatDlg.h"
#include "resources/display_strings.h"
#include "resources/ui/modal.h"

namespace orv {

bool RunDisplayList(QWidget* parent, ProgramState& state) {
    CDisplayListDlg dialog(state, parent);
    return ui::RunModal(dialog) == QDialog::Accepted;
}

bool EditDisplayEntry(QWidget* parent, ProgramState& state, int row, bool add) {
    const int used = UsedEntries(state.Display.DisplayTable);
    DisplayParamFields fields;
    if (add) {
        if (used >= kDisplayRows) {
            ui::ShowMessage(parent, QString::fromUtf8(text::kDisplayTableFull));
            return false;
        }
        row = used;  // a new entry always goes right after the last one
    } else {
        if (row < 0 || row >= used) return false;
        fields = FieldsOfEntry(state.Display.DisplayTable[std::size_t(row)]);
    }
    CDisplayParamDlg editor(parent);
    editor.SetFields(fields);
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return false;
    switch (AssignEntry(state.Display, row, *editor.Result())) {
        case AssignResult::Assigned: return true;
        case AssignResult::Duplicate: ui::ShowMessage(parent, QString::fromUtf8(text::kDisplayDuplicate)); return false;
        case AssignResult::Refused: return false;
    }
    return false;
}

bool ChangeEntryFormat(QWidget* parent, ProgramState& state, int row) {
    if (row < 0 || row >= UsedEntries(state.Display.DisplayTable)) return false;
    CParamFormatDlg dialog(state.Display, row, parent);
    return ui::RunModal(dialog) == QDialog::Accepted;
}

}  // namespace orv
