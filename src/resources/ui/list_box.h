#pragma once
// A list box over a LineList: the lines are Windows-1251 text kept by the LineList (which sorts
// and searches them as the Windows list box does); the widget shows them in the fixed-pitch grid
// font. Selection follows the LineList: deleting the selected line leaves no selection. Nothing is
// selected until the engineer clicks or moves in the list (or the program selects a line): focus
// alone chooses nothing. Lines are never elided.

#include <QListWidget>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_list.h"

namespace orv::ui {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(bool sorted, QWidget* parent = nullptr);

    const LineList& Lines() const { return lines_; }
    int Count() const { return lines_.Count(); }
    const std::string& Text(int index) const { return lines_.At(index); }

    int AddLine(std::string line);
    int InsertLine(int index, std::string line);
    void ReplaceLine(int index, std::string line);
    void DeleteLine(int index);
    void ClearLines();
    // Case-insensitive prefix search from after `start`, wrapping (does not select).
    int FindPrefix(std::string_view prefix, int start = LineList::kNone) const {
        return lines_.FindPrefix(prefix, start);
    }

    int Selection() const { return lines_.Selection(); }
    void Select(int index);

    // Multiple selection (off by default): any set of lines may be selected. Selection() then
    // names the current line only; adding or deleting lines leaves the selected set to the widget.
    void SetMultipleSelection(bool on);
    bool MultipleSelection() const { return selectionMode() == QAbstractItemView::MultiSelection; }
    // Indexes of the selected lines, in list order.
    std::vector<int> SelectedLines() const;
    void SetLineSelected(int index, bool selected);

signals:
    // A double click on a line (index), after the line was selected.
    void lineActivated(int index);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void SyncSelection();

    LineList lines_;
    bool syncing_ = false;
};

// The column head of a list box: lines of grid-font text that stand over the list's columns and
// scroll sideways with it, so that a head always names the column under it. A text holding "\n"
// is several lines, each drawn on its own row from the list's first column.
class ListHead : public QWidget {
    Q_OBJECT
public:
    ListHead(ListBox* list, const QStringList& lines, QWidget* parent);

    ListBox* List() const { return list_; }
    // The rows drawn, top to bottom.
    const QStringList& HeadLines() const { return lines_; }
    // The x, in this widget, where the first character cell of the list's lines is drawn now.
    int TextX() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ListBox* list_;
    QStringList lines_;
};

}  // namespace orv::ui
