#include "config/ui/table_dialog.h"

#include "config/table_rules.h"
#include "config/ui/list_sync.h"
#include "resources/config_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/text_codec.h"

namespace orv {

using ui::U;

TableDialog::TableDialog(QWidget* parent, const Layout& layout)
    : QDialog(parent), pickMessage_(layout.pickMessage), deleteQuestion_(layout.deleteQuestion) {
    setWindowTitle(U(layout.title));
    list_ = ui::WithId(new ui::ListBox(true, this), layout.listId);
    if (layout.scrollSideways) list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setMinimumWidth(ui::kCellWidth * layout.listWidthCells);

    std::vector<ui::DialogButton> buttons;
    for (const FrameButton& b : layout.buttons) {
        switch (b.action) {
            case Action::Add: buttons.push_back({b.id, U(b.text), [this] { OnAdd(); }}); break;
            case Action::Edit: buttons.push_back({b.id, U(b.text), [this] { OnEdit(); }}); break;
            case Action::Delete: buttons.push_back({b.id, U(b.text), [this] { OnDelete(); }}); break;
        }
    }
    ui::LayOutTableDialog(*this, list_, layout.heads, U(layout.frameTitle), buttons,
                          {ui::kIdOk, U(text::kApply), [this] { OnApply(); }}, U(text::kCancel));
}

void TableDialog::ShowRead(const LineList& lines, SettingsFileGuard file) {
    ui::ShowLines(*list_, lines);
    file_ = std::move(file);
    if (!file_.openMessage.empty())
        ui::ShowMessage(parentWidget() ? parentWidget() : this, U(file_.openMessage.c_str()));
}

void TableDialog::OnAdd() {
    LineList lines = list_->Lines();
    const std::optional<Edited> edited = RunEditor(lines, LineList::kNone);
    if (!edited) return;
    ui::ShowLines(*list_, lines);
    if (edited->refusal) ui::ShowMessage(this, U(edited->refusal), edited->buttons);
}

void TableDialog::OnEdit() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(pickMessage_));
        return;
    }
    LineList lines = list_->Lines();
    const std::optional<Edited> edited = RunEditor(lines, sel);
    if (!edited) return;
    ui::ShowLines(*list_, lines);
    if (edited->refusal) ui::ShowMessage(this, U(edited->refusal), edited->buttons);
}

void TableDialog::OnDelete() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(pickMessage_));
        return;
    }
    if (ui::ShowMessage(this, U(deleteQuestion_), ui::Buttons::OkCancel) != ui::Answer::Ok) return;
    LineList lines = list_->Lines();
    DeleteAndSelectNext(lines, sel);
    ui::ShowLines(*list_, lines);
}

void TableDialog::OnApply() {
    // A file that was not read is not saved over, and one that cannot be written is left as it
    // was; the dialog then stays open with the list, so the engineer's edits are not lost unseen.
    if (const std::string refusal = file_.SaveRefusal(); !refusal.empty())
        return void(ui::ShowMessage(this, U(refusal)));
    if (Store(list_->Lines(), file_.keepBackup) != SaveError::None)
        return void(ui::ShowMessage(this, U(file_.SaveFailure())));
    accept();
}

}  // namespace orv
