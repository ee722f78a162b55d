#include "display/ui/CDisplayListDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "capture/ui/file_choosers.h"
#include "config/ui/list_sync.h"
#include "files/list_file.h"
#include "display/display_line_file.h"
#include "display/table_ops.h"
#include "display/ui/CDisplayParamDlg.h"
#include "display/ui/CParamPickDlg.h"
#include "resources/capture_strings.h"
#include "resources/display_strings.h"
#include "resources/file_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "state/program_state.h"

namespace orv {
namespace {

constexpr int kIdList = 1000;
constexpr int kIdRestore = 1003;
constexpr int kIdSave = 1004;
constexpr int kIdDelete = 1019;
constexpr int kIdAdd = 1020;
constexpr int kIdEdit = 1021;
constexpr int kIdInsert = 1022;
constexpr int kIdAddList = 1023;

constexpr const char* kListExtension = ".42i";

using ui::U;

}  // namespace

CDisplayListDlg::CDisplayListDlg(ProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle(U(text::kDisplayListTitle));
    list_ = ui::WithId(new ui::ListBox(false, this), kIdList);
    list_->setMinimumWidth(ui::kCellWidth * 46);

    auto* paramFrame = new QGroupBox(U(text::kDisplayListParamFrame), this);
    auto* add = ui::MakeButton(paramFrame, kIdAdd, U(text::kDisplayListAdd));
    auto* del = ui::MakeButton(paramFrame, kIdDelete, U(text::kDisplayListDelete));
    auto* edit = ui::MakeButton(paramFrame, kIdEdit, U(text::kDisplayListEdit));
    auto* insert = ui::MakeButton(paramFrame, kIdInsert, U(text::kDisplayListInsert));
    auto* paramLayout = new QVBoxLayout(paramFrame);
    paramLayout->addWidget(add);
    paramLayout->addWidget(del);
    paramLayout->addWidget(edit);
    paramLayout->addWidget(insert);

    auto* fileFrame = new QGroupBox(U(text::kDisplayListFileFrame1), this);
    auto* restore = ui::MakeButton(fileFrame, kIdRestore, U(text::kDisplayListRestore));
    auto* save = ui::MakeButton(fileFrame, kIdSave, U(text::kDisplayListSave));
    auto* fileLayout = new QVBoxLayout(fileFrame);
    fileLayout->addWidget(ui::MakeLabel(fileFrame, U(text::kDisplayListFileFrame2)));
    fileLayout->addWidget(restore);
    fileLayout->addWidget(save);

    auto* addList = ui::MakeButton(this, kIdAddList, U(text::kDisplayListAddList));
    apply_ = ui::MakeButton(this, ui::kIdOk, U(text::kDisplayApply));
    apply_->setDefault(true);
    auto* cancel = ui::MakeButton(this, ui::kIdCancel, U(text::kDisplayCancel));

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(
        new ui::ListHead(list_, {ui::FromCp1251(kDisplayLineHead1), ui::FromCp1251(kDisplayLineHead2)}, this));
    listColumn->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(paramFrame);
    side->addWidget(fileFrame);
    side->addWidget(addList);
    side->addStretch();
    side->addWidget(apply_);
    side->addWidget(cancel);
    auto* top = new QHBoxLayout(this);
    top->addLayout(listColumn, 1);
    top->addLayout(side);

    connect(add, &QPushButton::clicked, this, &CDisplayListDlg::OnAdd);
    connect(del, &QPushButton::clicked, this, &CDisplayListDlg::OnDelete);
    connect(edit, &QPushButton::clicked, this, &CDisplayListDlg::OnEdit);
    connect(insert, &QPushButton::clicked, this, &CDisplayListDlg::OnInsert);
    connect(restore, &QPushButton::clicked, this, &CDisplayListDlg::OnRestore);
    connect(save, &QPushButton::clicked, this, &CDisplayListDlg::OnSave);
    connect(addList, &QPushButton::clicked, this, &CDisplayListDlg::OnAddList);
    connect(apply_, &QPushButton::clicked, this, &CDisplayListDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    Show(DisplayLines(state_.Display.DisplayTable));
    apply_->setEnabled(state_.Shell.DeviceState != kNoDevice);
}

void CDisplayListDlg::Show(const LineList& lines) { ui::ShowLines(*list_, lines); }

void CDisplayListDlg::Refuse(const char* message) { ui::ShowMessage(this, U(message)); }

std::optional<DisplayLineRecord> CDisplayListDlg::RunEditor(const DisplayParamFields& fields) {
    CDisplayParamDlg editor(this);
    editor.SetFields(fields);
    if (ui::RunModal(editor) != QDialog::Accepted) return std::nullopt;
    return editor.Result();
}

void CDisplayListDlg::OnAdd() {
    if (ListFull(list_->Lines())) return Refuse(text::kDisplayListFull);
    const auto record = RunEditor({});
    if (!record) return;
    LineList lines = list_->Lines();
    if (const char* refusal = AddDisplayLine(lines, *record)) return Refuse(refusal);
    Show(lines);
}

void CDisplayListDlg::OnInsert() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) return Refuse(text::kDisplayPickParam);
    if (ListFull(list_->Lines())) return Refuse(text::kDisplayListFull);
    const auto record = RunEditor({});
    if (!record) return;
    LineList lines = list_->Lines();
    if (const char* refusal = InsertDisplayLine(lines, sel, *record)) return Refuse(refusal);
    Show(lines);
}

void CDisplayListDlg::OnEdit() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) return Refuse(text::kDisplayPickParam);
    const auto record = RunEditor(FieldsOfDisplayLine(list_->Text(sel)));
    if (!record) return;
    LineList lines = list_->Lines();
    if (const char* refusal = ReplaceDisplayLine(lines, sel, *record)) return Refuse(refusal);
    Show(lines);
}

void CDisplayListDlg::OnDelete() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) return Refuse(text::kDisplayPickParam);
    if (ui::ShowMessage(this, U(text::kDisplayDeleteQuestion), ui::Buttons::OkCancel) != ui::Answer::Ok) return;
    LineList lines = list_->Lines();
    DeleteDisplayLine(lines, sel);
    Show(lines);
}

void CDisplayListDlg::OnAddList() {
    if (ListFull(list_->Lines())) return Refuse(text::kDisplayListFull);
    CParamPickDlg pick(state_, list_->Count(), this);
    if (ui::RunModal(pick) != QDialog::Accepted || !pick.Result()) return;
    LineList lines = list_->Lines();
    // Each duplicate is told when the loop meets it, over the list as it stands at that moment.
    AddPickedLines(lines, pick.Result()->channel, pick.Result()->lines,
                   [this](const LineList& now, const std::string& message) {
                       Show(now);
                       ui::ShowMessage(this, U(message));
                   });
    Show(lines);
}

void CDisplayListDlg::OnSave() {
    CSaveFileDlg chooser(state_.Capture, this);
    chooser.SetExtension(kListExtension);
    if (ui::RunModal(chooser) != QDialog::Accepted || !state_.Capture.DataFileHandle) return;
    const std::vector<uint8_t> bytes = EncodeDisplayLines(RecordsOfLines(list_->Lines()));
    // A file that could not be written whole is not left in place of the old one.
    if (!SaveListFile(std::move(state_.Capture.DataFileHandle), bytes, lossyFile_))
        ui::ShowMessage(this, U(text::kCreateFailed));
}

void CDisplayListDlg::OnRestore() {
    COpenFileDlg chooser(state_.Capture, this);
    chooser.SetExtension(kListExtension);
    if (ui::RunModal(chooser) != QDialog::Accepted || !state_.Capture.DataFileHandle) return;
    // The reader the --list option uses too: damaged records (and a trailing partial one) are left
    // out and counted; the list holds at most 256 lines.
    RestoredList restored = RestoreListFile(std::move(state_.Capture.DataFileHandle), RestoreDisplayList, lossyFile_);
    LineList lines(false);
    for (auto& line : restored.lines) lines.Add(std::move(line));
    Show(lines);
    for (const auto& m : restored.messages) ui::ShowMessage(this, U(m.c_str()));
}

void CDisplayListDlg::OnApply() {
    if (state_.Shell.DeviceState == kNoDevice) return;  // no board to load into
    std::vector<std::string> lines = list_->Lines().Lines();
    if (const char* refusal = LoadDisplayList(lines, state_.Display, state_.Acquisition, state_.Board))
        return Refuse(refusal);
    accept();
}

}  // namespace orv
