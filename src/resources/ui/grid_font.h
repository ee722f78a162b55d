#pragma once
// The character grid of the tables and lists: every character cell is 7 pixels wide and rows are
// 16 pixels high. Text is placed cell by cell, so column c is at x = 7c whatever the font.

#include <QFont>
#include <string_view>

class QPainter;

namespace orv::ui {

inline constexpr int kCellWidth = 7;
inline constexpr int kRowHeight = 16;

// Liberation Mono at pixel size 12 (7-pixel advance), falling back to any fixed-pitch face.
QFont GridFont(bool underline = false);
// True when every character of `font` advances exactly one cell.
bool HasGridAdvance(const QFont& font);

// Draws Windows-1251 `text` with its first character cell at (x, y) (top of the row), one cell
// per byte. On the screen (an image, pixmap or widget drawn at its own scale) a line whose font
// keeps the grid is drawn whole; anywhere else (a printer, a scaled painter, another pixel ratio)
// each character is placed in its own cell, since the font's advance there need not be 7 pixels.
void DrawGridText(QPainter& painter, int x, int y, std::string_view cp1251);

// Where the underline of an underlined grid font lies in a row: its top, from the top of the row,
// and its thickness, in grid pixels. Drawing a row cell by cell without the underline and a rule
// there puts the rule where the screen has it.
struct GridRule {
    int top = 0;
    int thickness = 1;
};
GridRule GridUnderline(const QFont& font);

}  // namespace orv::ui
