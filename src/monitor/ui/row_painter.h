#pragma once
// The table pane's picture kept as character cells: one image of the rows, 109 cells wide (the 108
// columns of a parameter row and one more for the overhang of the last character) and 256 rows
// high, in document coordinates. A row is brought up to date cell by cell: only the cells whose
// character or ink changed (or whose neighbour reaching into them did) are copied again from the
// glyph atlas, so an update costs a comparison of 109 cells and a few small copies, and painting
// is one image copy of the exposed rows.

#include <QImage>
#include <QRect>
#include <array>
#include <vector>

#include "monitor/ui/table_painter.h"
#include "resources/ui/glyph_atlas.h"

namespace orv::ui {

class RowCache {
public:
    static constexpr int kCells = int(kParameterRowWidth) + 1;
    static constexpr int kWidth = kCells * kColumnPixels;
    static constexpr int kRows = kDisplayRows > kStreamRows ? kDisplayRows : kStreamRows;

    // `font` is the font the rows are drawn in (the pane's underlined grid font).
    explicit RowCache(const QFont& font);

    // False when the font cannot be drawn cell by cell; the pane then draws directly.
    bool Usable() const { return atlas_.Usable(); }

    // Brings row `row` (0..kRows-1) to show `paneRow`. Returns the document rectangle whose pixels
    // changed (empty when none).
    QRect Update(int row, const PaneRow& paneRow);

    // The rows, row r at y = 16r; only rows brought up to date hold a picture.
    const QImage& Image() const { return image_; }

private:
    using Cells = std::array<GridCell, kCells>;
    struct Line {
        bool known = false;
        Cells cells{};
    };

    GridGlyphAtlas atlas_;
    QImage image_;
    std::vector<Line> lines_;
};

}  // namespace orv::ui
