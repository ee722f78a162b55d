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
// per byte.
void DrawGridText(QPainter& painter, int x, int y, std::string_view cp1251);

}  // namespace orv::ui
