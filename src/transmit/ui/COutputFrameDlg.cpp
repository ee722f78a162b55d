#include "transmit/ui/COutputFrameDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/printf_forms.h"
#include "capture/ui/file_choosers.h"
#include "config/ui/list_sync.h"
#include "files/list_file.h"
#include "resources/capture_strings.h"
#include "resources/file_strings.h"
#include "resources/transmit_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "transmit/frame_line.h"
#include "transmit/frame_list.h"
#include "transmit/output_channel.h"
#include "transmit/ui/word_dialogs.h"

namespace orv {
namespace {

constexpr int kIdHeader = 1009;
constexpr int kIdList = 1000;
constexpr int kIdAdd = 1020;
constexpr int kIdDelete = 1019;
constexpr int kIdEdit = 1021;
constexpr int kIdInsert = 1022;
constexpr int kIdChangeCode = 1018;
constexpr int kIdRestore = 1003;
constexpr int kIdSave = 1004;
constexpr int kIdClear = 1006;
constexpr int kIdOneShot = 1002;
constexpr int kIdCyclic = 1005;
constexpr int kIdStart = 1023;
constexpr int kIdStop = 1025;

using ui::U;

}  // namespace

COutputFrameDlg::COutputFrameDlg(ProgramState& state, unsigned channel, QWidget* parent)
    : QDialog(parent), state_(state), current_(state.Transmit.CurrentEntry),
      channel_(channel >= 1 && channel <= unsigned(kOutputChannels) ? channel : 0) {
    setWindowTitle(U(text::kFrameTitle));
    header_ = ui::MakeEdit(this, kIdHeader, 0, true);
    list_ = ui::WithId(new ui::ListBox(false, this), kIdList);
    list_->setMinimumWidth(ui::kCellWidth * 100);
    list_->setMinimumHeight(ui::kRowHeight * 16);

    auto* param = new QGroupBox(U(text::kFrameGroupParam), this);
    auto* add = ui::MakeButton(param, kIdAdd, U(text::kFrameAdd));
    auto* del = ui::MakeButton(param, kIdDelete, U(text::kFrameDelete));
    auto* edit = ui::MakeButton(param, kIdEdit, U(text::kFrameEdit));
    auto* insert = ui::MakeButton(param, kIdInsert, U(text::kFrameInsert));
    auto* changeCode = ui::MakeButton(param, kIdChangeCode, U(text::kFrameChangeCode));
    auto* paramLayout = new QVBoxLayout(param);
    for (auto* b : {add, del, edit, insert, changeCode}) paramLayout->addWidget(b);

    auto* file = new QGroupBox(U(text::kFrameGroupList), this);
    auto* restore = ui::MakeButton(file, kIdRestore, U(text::kFrameRestore));
    auto* save = ui::MakeButton(file, kIdSave, U(text::kFrameSave));
    auto* clear = ui::MakeButton(file, kIdClear, U(text::kFrameClear));
    auto* fileLayout = new QVBoxLayout(file);
    for (auto* b : {restore, save, clear}) fileLayout->addWidget(b);

    auto* chan = new QGroupBox(U(text::kFrameGroupChannel), this);
    auto* modeBox = new QGroupBox(U(text::kFrameGroupMode), chan);
    oneShot_ = ui::WithId(new QRadioButton(U(text::kFrameOneShot), modeBox), kIdOneShot);
    cyclic_ = ui::WithId(new QRadioButton(U(text::kFrameCyclic), modeBox), kIdCyclic);
    auto* modes = new QButtonGroup(this);
    modes->addButton(oneShot_, 0);
    modes->addButton(cyclic_, 1);
    auto* modeLayout = new QVBoxLayout(modeBox);
    modeLayout->addWidget(oneShot_);
    modeLayout->addWidget(cyclic_);
    start_ = ui::MakeButton(chan, kIdStart, U(text::kFrameStart));
    stop_ = ui::MakeButton(chan, kIdStop, U(text::kFrameStop));
    auto* chanLayout = new QVBoxLayout(chan);
    chanLayout->addWidget(modeBox);
    chanLayout->addWidget(start_);
    chanLayout->addWidget(stop_);

    auto* exit = ui::MakeButton(this, ui::kIdOk, U(text::kFrameExit));
    auto* cancel = ui::MakeButton(this, ui::kIdCancel, U(text::kFrameCancel));
    cancel->hide();
    cancel->setEnabled(false);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(header_);
    listColumn->addWidget(new ui::ListHead(list_, {U(text::kFrameHeading1), U(text::kFrameHeading2)}, this));
    listColumn->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(param);
    side->addWidget(file);
    side->addWidget(chan);
    side->addStretch();
    side->addWidget(exit);
    side->addWidget(cancel);
    auto* top = new QHBoxLayout(this);
    top->addLayout(listColumn, 1);
    top->addLayout(side);

    connect(add, &QPushButton::clicked, this, &COutputFrameDlg::OnAdd);
    connect(del, &QPushButton::clicked, this, &COutputFrameDlg::OnDelete);
    connect(edit, &QPushButton::clicked, this, &COutputFrameDlg::OnEdit);
    connect(insert, &QPushButton::clicked, this, &COutputFrameDlg::OnInsert);
    connect(changeCode, &QPushButton::clicked, this, &COutputFrameDlg::OnChangeCode);
    connect(restore, &QPushButton::clicked, this, &COutputFrameDlg::OnRestore);
    connect(save, &QPushButton::clicked, this, &COutputFrameDlg::OnSave);
    connect(clear, &QPushButton::clicked, this, &COutputFrameDlg::OnClear);
    connect(start_, &QPushButton::clicked, this, &COutputFrameDlg::OnStart);
    connect(stop_, &QPushButton::clicked, this, &COutputFrameDlg::OnStop);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);

    if (channel_ == 0) {
        header_->setText(U(text::kFrameNoBoardHeader));
        start_->setEnabled(false);
        stop_->setEnabled(false);
    } else {
        header_->setText(U(text::kFrameChannelHeader) + ui::FromCp1251(FormatDec(channel_, 2)) + QLatin1Char(' '));
        oneShot_->setChecked(true);
        for (auto& line : StoredFrameLines(Stored())) list_->AddLine(std::move(line));
    }
}

int COutputFrameDlg::ModeIndex() const {
    if (oneShot_->isChecked()) return kModeOneShot;
    if (cyclic_->isChecked()) return kModeCyclic;
    return -1;
}

void COutputFrameDlg::Show(const LineList& lines) { ui::ShowLines(*list_, lines); }

void COutputFrameDlg::Message(const char* utf8) { ui::ShowMessage(this, U(utf8)); }

void COutputFrameDlg::OnAdd() {
    LineList lines = list_->Lines();
    if (const char* full = CheckRoomForSlot(lines)) return Message(full);
    const ui::Answer answer = ui::ShowMessage(this, U(text::kAddQuestion), ui::Buttons::YesNoCancel);
    if (answer == ui::Answer::Yes) {
        COutputWordDlg editor(current_, this);
        if (ui::RunModal(editor) != QDialog::Accepted) return;
        AppendWordLine(lines, current_);
    } else if (answer == ui::Answer::No) {
        CPauseDlg pause(current_, this);
        if (ui::RunModal(pause) != QDialog::Accepted) return;
        AppendPauseLines(lines, current_.pause);
    } else {
        return;
    }
    Show(lines);
}

void COutputFrameDlg::OnInsert() {
    LineList lines = list_->Lines();
    const int sel = lines.Selection();
    if (sel == LineList::kNone) return Message(text::kPickParameter);
    if (const char* full = CheckRoomForSlot(lines)) return Message(full);
    const ui::Answer answer = ui::ShowMessage(this, U(text::kAddQuestion), ui::Buttons::YesNoCancel);
    if (answer == ui::Answer::Yes) {
        COutputWordDlg editor(current_, this);
        if (ui::RunModal(editor) != QDialog::Accepted) return;
        InsertWordLine(lines, sel, current_);
    } else if (answer == ui::Answer::No) {
        CPauseDlg pause(current_, this);
        if (ui::RunModal(pause) != QDialog::Accepted) return;
        if (const char* refusal = InsertPauseLines(lines, sel, current_.pause, current_)) return Message(refusal);
    } else {
        return;
    }
    Show(lines);
}

void COutputFrameDlg::OnDelete() {
    LineList lines = list_->Lines();
    const int sel = lines.Selection();
    if (sel == LineList::kNone) return Message(text::kPickParameter);
    if (ui::ShowMessage(this, U(text::kDeleteQuestion), ui::Buttons::OkCancel) != ui::Answer::Ok) return;
    DeleteFrameLine(lines, sel, current_);
    Show(lines);
}

void COutputFrameDlg::OnClear() { list_->ClearLines(); }

void COutputFrameDlg::OnEdit() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) return Message(text::kPickParameter);
    const std::string line = list_->Text(sel);
    if (IsPauseLine(line)) return Message(text::kPauseOnlyDelete);
    COutputWordDlg editor(current_, this);
    editor.SetTexts(TextsOfFrameLine(line));
    if (ui::RunModal(editor) != QDialog::Accepted) return;
    current_.number = uint16_t(sel);
    const std::string edited = RenderFrameLine(current_);
    list_->ReplaceLine(sel, edited);
    // The stored frame follows the edit at that index; lines past the 256 slots are never sent.
    if (channel_ != 0 && sel < kFrameSlots) ParseFrameLine(edited, Stored()[std::size_t(sel)]);
}

void COutputFrameDlg::OnChangeCode() {
    if (channel_ == 0 || state_.Shell.DeviceState == kNoDevice) return Message(text::kNoDeviceForCode);
    const int sel = list_->Selection();
    if (sel == LineList::kNone) return Message(text::kPickParameter);
    const std::string line = list_->Text(sel);
    if (IsPauseLine(line)) return Message(text::kPauseOnlyDelete);
    ParseFrameLine(line, current_);
    const FrameLineTexts texts = TextsOfFrameLine(line);
    CCodeChangeDlg dlg(current_, this);
    dlg.SetTexts(texts.code, texts.formatLabel);
    if (ui::RunModal(dlg) == QDialog::Accepted) {
        if (const char* refusal = ChangeRunningCode(state_.Board.Link, Stored(), channel_, sel, current_.word))
            Message(refusal);
        else
            list_->ReplaceLine(sel, RenderFrameLine(current_));
    }
    list_->Select(sel);
}

void COutputFrameDlg::OnSave() {
    if (list_->Count() <= 0) return Message(text::kNoParameters);
    CSaveFileDlg chooser(state_.Capture, this);
    chooser.SetExtension(text::kFrameExtension);
    if (ui::RunModal(chooser) != QDialog::Accepted || !state_.Capture.DataFileHandle) return;
    const std::vector<uint8_t> bytes = FrameFileBytes(list_->Lines(), current_);
    // A file that could not be written whole (a full disk) is not left in place of the old one,
    // and the engineer is told, as the display list's save does.
    if (!SaveListFile(std::move(state_.Capture.DataFileHandle), bytes, lossyFile_)) Message(text::kCreateFailed);
}

void COutputFrameDlg::OnRestore() {
    COpenFileDlg chooser(state_.Capture, this);
    chooser.SetExtension(text::kFrameExtension);
    if (ui::RunModal(chooser) != QDialog::Accepted || !state_.Capture.DataFileHandle) return;
    RestoredList restored = RestoreListFile(
        std::move(state_.Capture.DataFileHandle),
        [this](std::span<const uint8_t> bytes, bool whole, std::string_view name) {
            return RestoreFrameList(bytes, whole, name, current_);
        },
        lossyFile_);
    list_->ClearLines();
    for (auto& line : restored.lines) list_->InsertLine(list_->Count(), std::move(line));
    for (const auto& m : restored.messages) ui::ShowMessage(this, U(m.c_str()));
}

void COutputFrameDlg::OnStart() {
    if (channel_ == 0) return;
    if (const char* refusal = StartOutputFrame(state_.Board.Link, Stored(), current_, list_->Lines().Lines(), channel_,
                                               ModeIndex()))
        Message(refusal);
}

void COutputFrameDlg::OnStop() {
    if (channel_ != 0) StopOutputFrame(state_.Board.Link, channel_);
}

}  // namespace orv
