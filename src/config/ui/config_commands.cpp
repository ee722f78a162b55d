#include "config/ui/config_commands.h"

#include "config/ui/format_dialogs.h"
#include "config/ui/param_dialogs.h"
#include "resources/ui/modal.h"

namespace orv {

void RunFormatTable(QWidget* parent) {
    CFormatTableDlg dlg(parent);
    ui::RunModal(dlg);
}

void RunParamDict(QWidget* parent) {
    CParamDictDlg dlg(parent);
    ui::RunModal(dlg);
}

}  // namespace orv
