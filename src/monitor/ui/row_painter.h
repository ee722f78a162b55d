#pragma once
// The table pane's picture kept as character cells: one image of the rows, 109 cells wide (the 108
// columns of a parameter row and one more for the overhang of the last character) and 256 rows
// high, in document coordinates. Only the cells whose character or ink changed are copied again,
// so an update costs a comparison of 109 cells and a few small copies, and painting is a copy of
// the exposed part of the image.

#include <QImage>
#include <QRect>
#include <array>
#include <span>

#include "monitor/ui/table_painter.h"
#include "resources/ui/cell_grid.h"

namespace orv::ui {

class RowCache {
public:
    static constexpr int kCells = int(kParameterRowWidth) + 1;
    static constexpr int kWidth = kCells * kColumnPixels;
    static constexpr int kRows = kDisplayRows > kStreamRows ? kDisplayRows : kStreamRows;

    // `font` is the font the rows are drawn in (the pane's underlined grid font).
    explicit RowCache(const QFont& font) : grid_(font, kCells, kRows) { separatorsOf_.fill(-1); }

    // False when the font cannot be drawn cell by cell; the pane then draws directly.
    bool Usable() const { return grid_.Usable(); }

    // Brings row `row` (0..kRows-1) to show `paneRow` with the separators `separators` (pixel x
    // positions, black) drawn over it, as the table draws them over its rows. Returns the part of the
    // document whose pixels changed (empty when none).
    QRegion Update(int row, const PaneRow& paneRow, std::span<const int> separators);

    // The rows, row r at y = 16r; only rows brought up to date hold a picture.
    const QImage& Image() const { return grid_.Image(); }

private:
    CellGrid grid_;
    // The separators drawn over each row (their first x tells the set apart), -1 before any.
    std::array<int, kRows> separatorsOf_{};
};

}  // namespace orv::ui
