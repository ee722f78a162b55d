#pragma once
// The data file choosers. The caller gives the extension, runs the chooser modally and, when it
// ends with Accepted, finds the chosen file open in CaptureState::DataFileHandle (for writing from
// the save chooser, for reading from the open chooser), writes or reads its records and closes it:
//
//   CSaveFileDlg dlg(state.Capture, parent);
//   dlg.SetExtension(".42i");
//   if (ui::RunModal(dlg) == QDialog::Accepted) { ... state.Capture.DataFileHandle->Write(...) ... }
//
// Any other ending leaves DataFileHandle as it was and must not be used.

#include <QDialog>
#include <string>

class QLineEdit;
class QShowEvent;

namespace orv {

struct CaptureState;
namespace ui {
class ListBox;
}

// "Сохранение данных в файле": a typed or picked name, completed with the extension.
class CSaveFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSaveFileDlg(CaptureState& capture, QWidget* parent = nullptr);

    // ".42i" or ".42o"; set before the dialog is shown (the list is filled when it is shown).
    void SetExtension(std::string extension) { extension_ = std::move(extension); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnSave();

    CaptureState& capture_;
    std::string extension_;
    QLineEdit* name_;
    ui::ListBox* files_;
    bool filled_ = false;
};

// "Чтение данных из файла": a double click on a listed file opens it.
class COpenFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit COpenFileDlg(CaptureState& capture, QWidget* parent = nullptr);

    void SetExtension(std::string extension) { extension_ = std::move(extension); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnOpen(int index);

    CaptureState& capture_;
    std::string extension_;
    ui::ListBox* files_;
    bool filled_ = false;
};

}  // namespace orv
