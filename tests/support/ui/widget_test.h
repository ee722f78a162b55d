#pragma once
// Helpers for widget tests: find controls by id, type into them, press buttons.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/ui/dialog_base.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"

namespace orv::test {

template <typename W>
W* Find(const QWidget& dialog, int id) {
    W* w = ui::Control<W>(dialog, id);
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}

inline void Press(const QWidget& dialog, int id) {
    if (auto* b = Find<QAbstractButton>(dialog, id)) b->click();
}

inline void Type(const QWidget& dialog, int id, const QString& text) {
    if (auto* e = Find<QLineEdit>(dialog, id)) {
        e->clear();
        QTest::keyClicks(e, text);
    }
}

inline QString TextOf(const QWidget& dialog, int id) {
    auto* e = Find<QLineEdit>(dialog, id);
    return e ? e->text() : QString();
}

// Selects line `index` of list box `id` and double-clicks it.
void DoubleClick(const QWidget& dialog, int id, int index);

// Shows `window`, waits (at most two seconds) until it is the active window and gives `widget` the
// keyboard focus as Tab would: what a dialog meets when the engineer works in it. False when the
// window did not become active or the widget did not get the focus.
bool ShowAndFocus(QWidget& window, QWidget* widget);

// The head over list box `id` of `dialog` (nullptr, with a failure, when there is none).
ui::ListHead* HeadOver(const QWidget& dialog, int id);

// What a list head shows, read from its pixels: one string per row of the grid (16 pixels from
// the head's top), one character per 7-pixel cell from the cell over the list's first column on:
// '#' where the cell holds ink, ' ' where it holds none. `columns` cells are read.
std::vector<std::string> InkCells(ui::ListHead& head, int columns);

// The ink pattern a text is expected to leave: '#' for every cell of a character other than a
// blank, padded with blanks to `columns`.
std::string InkOf(const QString& text, int columns);

}  // namespace orv::test
