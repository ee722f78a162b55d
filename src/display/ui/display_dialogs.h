#pragma once
// The dialogs of the displayed parameters: the editor of one displayed parameter, the format of
// one table row, the list of displayed parameters and the pick dialog it opens.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "display/display_line.h"
#include "display/list_rules.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace orv {

struct DisplayState;
struct ProgramState;
namespace ui {
class ListBox;
}

// "Характеристики отображаемого входного параметра": the parameter is picked from the dictionary
// by a double click (label, address and format label), the format may be picked from the formats
// or cleared, the channel is typed.
class CDisplayParamDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDisplayParamDlg(QWidget* parent = nullptr);

    void SetFields(const DisplayParamFields& fields);
    const std::optional<DisplayLineRecord>& Result() const { return result_; }

private:
    void OnApply();

    QLineEdit* label_;
    QLineEdit* channel_;
    QLineEdit* address_;
    QLineEdit* formatLabel_;
    ui::ListBox* params_;
    ui::ListBox* formats_;
    std::optional<DisplayLineRecord> result_;
};

// "Задание формата для параметра": picks the format of one table row; "Применить" sets it.
class CParamFormatDlg : public QDialog {
    Q_OBJECT
public:
    CParamFormatDlg(DisplayState& display, int row, QWidget* parent = nullptr);

private:
    void OnApply();

    DisplayState& display_;
    int row_;
    ui::ListBox* formats_;
};

// "Выбор входных параметров для отображения": one channel and any number of dictionary
// parameters, as many as the list (holding `listLines` lines) can still take.
class CParamPickDlg : public QDialog {
    Q_OBJECT
public:
    CParamPickDlg(const ProgramState& state, int listLines, QWidget* parent = nullptr);

    struct Pick {
        uint16_t channel = 0;
        std::vector<std::string> lines;  // parameter lines, in list order
    };
    const std::optional<Pick>& Result() const { return result_; }

private:
    void OnApply();

    int listLines_;
    QComboBox* channel_;
    ui::ListBox* params_;
    std::optional<Pick> result_;
};

// "Список отображаемых входных параметров": composes the list from the display table, saves and
// restores it as ".42i" files, and loads it into the table and the board ("Применить", enabled
// only while a board is selected).
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
