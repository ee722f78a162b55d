#include "text/scanf_forms.h"
#include "display/ui/display_dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "state/program_state.h"
#include "capture/ui/file_choosers.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "config/ui/list_sync.h"
#include "display/display_line_file.h"
#include "display/table_ops.h"
#include "resources/capture_strings.h"
#include "resources/display_strings.h"
#include "resources/file_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "config/format_line.h"

namespace orv {
namespace {

// Editor.
constexpr int kIdEditParams = 1000;
constexpr int kIdEditFormats = 1011;
constexpr int kIdEditClearFormat = 1021;
constexpr int kIdEditAddress = 1022;
constexpr int kIdEditChannel = 1023;
constexpr int kIdEditFormatLabel = 1024;
constexpr int kIdEditLabel = 1025;
// Row format dialog.
constexpr int kIdFormatParam = 1009;
constexpr int kIdFormatList = 1011;
// List dialog.
constexpr int kIdList = 1000;
constexpr int kIdRestore = 1003;
constexpr int kIdSave = 1004;
constexpr int kIdDelete = 1019;
constexpr int kIdAdd = 1020;
constexpr int kIdEdit = 1021;
constexpr int kIdInsert = 1022;
constexpr int kIdAddList = 1023;
// Pick dialog.
constexpr int kIdPickParams = 1000;
constexpr int kIdPickChannel = 1002;

constexpr const char* kListExtension = ".42i";

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

QString ColumnText(const std::string& line, std::size_t col, std::size_t width) {
    return ui::FromCp1251(Columns(line, col, width));
}

ui::ListHead* ParamHead(ui::ListBox* list, QWidget* parent) {
    return new ui::ListHead(list, {ui::FromCp1251(kParamLineHead1), ui::FromCp1251(kParamLineHead2)}, parent);
}

ui::ListHead* FormatHead(ui::ListBox* list, QWidget* parent) {
    return new ui::ListHead(list, {ui::FromCp1251(kFormatLineHead1), ui::FromCp1251(kFormatLineHead2)}, parent);
}

QHBoxLayout* ApplyCancel(QDialog* dialog, QPushButton** applyOut = nullptr) {
    auto* ok = ui::MakeButton(dialog, ui::kIdOk, U(text::kDisplayApply));
    ok->setDefault(true);
    auto* cancel = ui::MakeButton(dialog, ui::kIdCancel, U(text::kDisplayCancel));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    if (applyOut) *applyOut = ok;
    return row;
}

}  // namespace

// ---- Displayed-parameter editor ----

CDisplayParamDlg::CDisplayParamDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kDisplayParamTitle));
    label_ = ui::MakeEdit(this, kIdEditLabel, 8, true);
    channel_ = ui::MakeEdit(this, kIdEditChannel, 2);
    address_ = ui::MakeEdit(this, kIdEditAddress, 3, true);
    formatLabel_ = ui::MakeEdit(this, kIdEditFormatLabel, 8, true);
    auto* clear = ui::MakeButton(this, kIdEditClearFormat, U(text::kDisplayClearFormat));
    params_ = ui::WithId(new ui::ListBox(true, this), kIdEditParams);
    params_->setMinimumWidth(ui::kCellWidth * 36);
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdEditFormats);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* form = new QFormLayout;
    form->addRow(ui::MakeLabel(this, U(text::kDisplayParamLabelCaption)), label_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayChannelCaption)), channel_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayAddressCaption)), address_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayFormatCaption)), formatLabel_);
    form->addRow(nullptr, clear);

    auto* paramColumn = new QVBoxLayout;
    paramColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayParamsHead)));
    paramColumn->addWidget(ParamHead(params_, this));
    paramColumn->addWidget(params_, 1);
    paramColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayDoubleClickParam)));
    auto* formatColumn = new QVBoxLayout;
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayFormatsHead)));
    formatColumn->addWidget(FormatHead(formats_, this));
    formatColumn->addWidget(formats_, 1);
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayDoubleClickFormat)));
    auto* lists = new QHBoxLayout;
    lists->addLayout(paramColumn);
    lists->addLayout(formatColumn);

    QPushButton* ok = nullptr;
    auto* buttons = ApplyCancel(this, &ok);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(lists, 1);
    top->addLayout(buttons);

    connect(clear, &QPushButton::clicked, this, [this] { formatLabel_->setText(QString(8, QLatin1Char(' '))); });
    connect(params_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= params_->Count()) return;
        const std::string& line = params_->Text(index);
        label_->setText(ColumnText(line, 0, 8));
        address_->setText(ColumnText(line, 15, 3));
        formatLabel_->setText(ColumnText(line, 24, 8));
    });
    connect(formats_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= formats_->Count()) return;
        formatLabel_->setText(ColumnText(formats_->Text(index), 0, 8));
    });
    connect(ok, &QPushButton::clicked, this, &CDisplayParamDlg::OnApply);

    ui::ShowLines(*params_, ParamLines(LoadParams()));
    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
}

void CDisplayParamDlg::SetFields(const DisplayParamFields& fields) {
    label_->setText(ui::FromCp1251(TrimRightBlanks(fields.paramLabel.value_or(std::string()))));
    channel_->setText(fields.channel ? ui::FromCp1251(*fields.channel) : QString());
    address_->setText(fields.address ? ui::FromCp1251(*fields.address) : QString());
    formatLabel_->setText(ui::FromCp1251(TrimRightBlanks(fields.formatLabel.value_or(std::string()))));
}

void CDisplayParamDlg::OnApply() {
    const DisplayParamCheck check =
        CheckDisplayParamFields({ui::ToCp1251(label_->text()), ui::ToCp1251(channel_->text()),
                                 ui::ToCp1251(address_->text()), ui::ToCp1251(formatLabel_->text())});
    if (!check.ok()) {
        ui::ShowMessage(this, U(check.error));
        return;
    }
    result_ = check.record;
    accept();
}

// ---- Format of one row ----

CParamFormatDlg::CParamFormatDlg(DisplayState& display, int row, QWidget* parent)
    : QDialog(parent), display_(display), row_(row) {
    setWindowTitle(U(text::kParamFormatTitle));
    auto* param = ui::MakeEdit(this, kIdFormatParam, 0, true);
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdFormatList);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* paramRow = new QHBoxLayout;
    paramRow->addWidget(ui::MakeLabel(this, U(text::kParamFormatParamCaption)));
    paramRow->addWidget(param, 1);
    QPushButton* ok = nullptr;
    auto* buttons = ApplyCancel(this, &ok);
    auto* top = new QVBoxLayout(this);
    top->addLayout(paramRow);
    top->addWidget(FormatHead(formats_, this));
    top->addWidget(formats_, 1);
    top->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CParamFormatDlg::OnApply);

    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
    if (row_ >= 0 && row_ < kDisplayRows) {
        const DisplayEntry& e = display_.DisplayTable[std::size_t(row_)];
        param->setText(ui::FromCp1251(e.paramLabel.View()));
        formats_->Select(formats_->FindPrefix(e.formatLabel.View()));
    }
}

void CParamFormatDlg::OnApply() {
    const int sel = formats_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kDisplayPickFormat));
        return;
    }
    SetEntryFormat(display_, row_, ParseFormatLine(formats_->Text(sel)));
    accept();
}

// ---- Pick dialog ----

CParamPickDlg::CParamPickDlg(const ProgramState& state, int listLines, QWidget* parent)
    : QDialog(parent), listLines_(listLines) {
    setWindowTitle(U(text::kParamPickTitle));
    channel_ = ui::WithId(new QComboBox(this), kIdPickChannel);
    channel_->setEditable(true);
    channel_->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& item : ChannelItems(state.Shell.DeviceState != -1, state.Board.InputChannelCount))
        channel_->addItem(ui::FromCp1251(item));  // "%2d" items come in sorted order
    channel_->setCurrentIndex(channel_->count() > 0 ? 0 : -1);
    params_ = ui::WithId(new ui::ListBox(true, this), kIdPickParams);
    params_->SetMultipleSelection(true);
    params_->setMinimumWidth(ui::kCellWidth * 36);

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(ui::MakeLabel(this, U(text::kParamPickChannelCaption)));
    channelRow->addWidget(channel_);
    channelRow->addStretch();
    QPushButton* ok = nullptr;
    auto* buttons = ApplyCancel(this, &ok);
    auto* top = new QVBoxLayout(this);
    top->addLayout(channelRow);
    top->addWidget(ParamHead(params_, this));
    top->addWidget(params_, 1);
    top->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CParamPickDlg::OnApply);

    ui::ShowLines(*params_, ParamLines(LoadParams()));
}

void CParamPickDlg::OnApply() {
    // The channel is the one the box names, chosen or typed; a text that names none of its
    // channels is refused rather than read as some other channel.
    const std::optional<uint16_t> channel =
        PickedChannel(ui::ToCp1251(channel_->currentText()).value_or(std::string()), unsigned(channel_->count()));
    if (!channel) {
        ui::ShowMessage(this, U(text::kDisplayBadChannel));
        return;
    }
    const std::vector<int> selected = params_->SelectedLines();
    if (auto refusal = PickLimitMessage(listLines_, int(selected.size()))) {
        ui::ShowMessage(this, U(*refusal));
        return;
    }
    Pick pick;
    pick.channel = *channel;
    for (int index : selected) pick.lines.push_back(params_->Text(index));
    result_ = std::move(pick);
    accept();
}

// ---- List dialog ----

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
    apply_->setEnabled(state_.Shell.DeviceState != -1);
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
    std::unique_ptr<DataFile> file = std::move(state_.Capture.DataFileHandle);
    file->KeepBackup(!lossyFile_.empty() && file->Path() == lossyFile_);
    const auto records = RecordsOfLines(list_->Lines());
    const std::vector<uint8_t> bytes = EncodeDisplayLines(records);
    const bool written = file->Write(bytes);
    // A file that could not be written whole is not left in place of the old one.
    if (!written) file->Discard();
    if (!written || !file->Close()) ui::ShowMessage(this, U(text::kCreateFailed));
    else if (file->Path() == lossyFile_) lossyFile_.clear();
}

void CDisplayListDlg::OnRestore() {
    COpenFileDlg chooser(state_.Capture, this);
    chooser.SetExtension(kListExtension);
    if (ui::RunModal(chooser) != QDialog::Accepted || !state_.Capture.DataFileHandle) return;
    std::unique_ptr<DataFile> file = std::move(state_.Capture.DataFileHandle);
    std::vector<uint8_t> bytes;
    const bool whole = file->ReadAll(bytes);
    file->Close();
    // The reader the --list option uses too: damaged records (and a trailing partial one) are
    // left out and counted; the list holds at most 256 lines.
    RestoredDisplayList restored = RestoreDisplayList(bytes, whole, file->Path());
    LineList lines(false);
    for (auto& line : restored.lines) lines.Add(std::move(line));
    Show(lines);
    lossyFile_ = restored.lossy ? file->Path() : std::string();
    if (!restored.message.empty()) ui::ShowMessage(this, U(restored.message.c_str()));
}

void CDisplayListDlg::OnApply() {
    if (state_.Shell.DeviceState == -1) return;  // no board to load into
    std::vector<std::string> lines = list_->Lines().Lines();
    if (const char* refusal = LoadDisplayList(lines, state_.Display, state_.Acquisition, state_.Board))
        return Refuse(refusal);
    accept();
}

}  // namespace orv
