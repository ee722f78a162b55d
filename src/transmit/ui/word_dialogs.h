#pragma once
// The output word editors. Each hands its result back through the program's CurrentEntry:
//   COutputWordDlg  address, parameter label, word, pause 0, format label and format
//   CPauseDlg       pause = the length 0..255 (0 when cancelled)
//   CCodeChangeDlg  word = the new code with CurrentEntry's address
// The caller uses CurrentEntry only after the dialog ended with Accepted.

#include <QDialog>
#include <string>

#include "state/frame_entry.h"
#include "transmit/frame_line.h"

class QLineEdit;

namespace orv {

namespace ui {
class ListBox;
}

// "Характеристики выходного параметра": parameter picked from the dictionary, code typed in hex,
// format picked from the format table; both lists are read from their files at every opening.
class COutputWordDlg : public QDialog {
    Q_OBJECT
public:
    explicit COutputWordDlg(FrameEntry& current, QWidget* parent = nullptr);

    // Prefilled texts of an edit (Windows-1251, cut out of the frame line).
    void SetTexts(const FrameLineTexts& texts);

private:
    void OnParamPicked(int index);
    void OnFormatPicked(int index);
    void OnCheck();
    void OnApply();
    std::string Cp(const QLineEdit* edit) const;
    void SelectFormatLine(int index);

    FrameEntry& current_;
    QLineEdit* label_;
    QLineEdit* address_;
    QLineEdit* formatLabel_;
    QLineEdit* code_;
    QLineEdit* decimal_;
    QLineEdit* m_;
    ui::ListBox* params_;
    ui::ListBox* formats_;
};

// "Длительность паузы".
class CPauseDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPauseDlg(FrameEntry& current, QWidget* parent = nullptr);
    void reject() override;  // the pause field becomes 0

private:
    void OnApply();

    FrameEntry& current_;
    QLineEdit* length_;
};

// "Изменение кода выходного параметра": opened after the caller parsed the line into
// CurrentEntry, with the line's code and format label texts.
class CCodeChangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCodeChangeDlg(FrameEntry& current, QWidget* parent = nullptr);
    void SetTexts(const std::string& code, const std::string& formatLabel);

private:
    void OnUpdate();
    void OnApply();

    FrameEntry& current_;
    std::string formatLabel_;
    QLineEdit* code_;
    QLineEdit* decimal_;
    QLineEdit* m_;
};

}  // namespace orv
