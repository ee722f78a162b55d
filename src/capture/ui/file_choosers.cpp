#include "capture/ui/file_choosers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "text/code_page.h"
#include "state/capture_state.h"
#include "capture/file_chooser.h"
#include "resources/capture_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

constexpr int kIdName = 1009;
constexpr int kIdFiles = 1000;

using ui::U;

// The list box holds Windows-1251 lines: names that have no such form cannot be shown or picked.
void FillList(ui::ListBox& box, const std::string& extension) {
    box.ClearLines();
    for (const auto& name : ListDataFiles(extension)) {
        if (auto line = Cp1251FromUtf8(name)) box.AddLine(std::move(*line));
    }
}

std::string NameOfLine(const std::string& line) { return Utf8FromCp1251(line); }

}  // namespace

// ---- Save ----

CSaveFileDlg::CSaveFileDlg(CaptureState& capture, QWidget* parent) : QDialog(parent), capture_(capture) {
    setWindowTitle(U(text::kSaveChooserTitle));
    name_ = ui::MakeEdit(this, kIdName);
    files_ = ui::WithId(new ui::ListBox(true, this), kIdFiles);
    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kSaveButton), U(text::kChooserCancel));

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(ui::MakeLabel(this, U(text::kFileNameCaption)));
    nameRow->addWidget(name_, 1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(nameRow);
    top->addWidget(files_, 1);
    top->addWidget(ui::MakeLabel(this, U(text::kDoubleClickFile)));
    top->addLayout(buttons.layout);

    connect(files_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index >= 0 && index < files_->Count()) name_->setText(ui::FromCp1251(files_->Text(index)));
    });
    connect(buttons.ok, &QPushButton::clicked, this, &CSaveFileDlg::OnSave);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CSaveFileDlg::showEvent(QShowEvent* event) {
    if (!filled_) {
        filled_ = true;
        FillList(*files_, extension_);
    }
    QDialog::showEvent(event);
}

void CSaveFileDlg::OnSave() {
    const QByteArray typed = name_->text().toUtf8();
    const auto name = CompleteFileName(std::string_view(typed.constData(), std::size_t(typed.size())), extension_);
    if (!name) {
        ui::ShowMessage(this, U(text::kBadFileName));
        return;
    }
    name_->setText(U(*name));
    if (NameExists(*name) &&
        ui::ShowMessage(this, U(OverwriteQuestion(*name)), ui::Buttons::OkCancel) != ui::Answer::Ok)
        return;
    auto file = DataFile::CreateForWriting(*name);
    if (!file) {
        ui::ShowMessage(this, U(text::kCreateFailed));
        return;
    }
    capture_.DataFileHandle = std::move(file);
    accept();
}

// ---- Open ----

COpenFileDlg::COpenFileDlg(CaptureState& capture, QWidget* parent) : QDialog(parent), capture_(capture) {
    setWindowTitle(U(text::kOpenChooserTitle));
    files_ = ui::WithId(new ui::ListBox(true, this), kIdFiles);
    // The OK button is there but hidden and disabled: a file is opened by a double click only.
    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kChooserOk), U(text::kChooserCancel));
    buttons.ok->setEnabled(false);
    buttons.ok->setVisible(false);

    auto* top = new QVBoxLayout(this);
    top->addWidget(files_, 1);
    top->addWidget(ui::MakeLabel(this, U(text::kDoubleClickFile)));
    top->addLayout(buttons.layout);

    connect(files_, &ui::ListBox::lineActivated, this, &COpenFileDlg::OnOpen);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void COpenFileDlg::showEvent(QShowEvent* event) {
    if (!filled_) {
        filled_ = true;
        FillList(*files_, extension_);
    }
    QDialog::showEvent(event);
}

void COpenFileDlg::OnOpen(int index) {
    if (index < 0 || index >= files_->Count()) return;
    auto file = DataFile::OpenForReading(NameOfLine(files_->Text(index)));
    if (!file) {
        ui::ShowMessage(this, U(text::kOpenFailed));
        return;
    }
    capture_.DataFileHandle = std::move(file);
    accept();
}

}  // namespace orv
