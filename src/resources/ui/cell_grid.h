#pragma once
// An image of character cells, `columns` by `rows`, each cell copied from a glyph atlas. A row is
// brought to a new line of cells by copying only the cells that changed (or whose neighbour, which
// may reach into them, changed), so the image always has exactly the pixels of the lines drawn
// whole with DrawGridText on white, one DrawGridText per run of one ink.

#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <span>
#include <vector>

#include "resources/ui/glyph_atlas.h"

namespace orv::ui {

// One cell: 0 when empty, otherwise the character and its ink (CellOf).
using CellCode = uint64_t;
constexpr CellCode CellOf(uint8_t cp1251, uint32_t rgb) {
    return uint64_t(1) << 32 | uint64_t(rgb & 0xFFFFFF) << 8 | cp1251;
}

class CellGrid {
public:
    CellGrid(const QFont& font, int columns, int rows);

    // False when the font cannot be drawn cell by cell (draw directly then).
    bool Usable() const { return atlas_.Usable(); }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

    // Brings row `row` to `cells` (Columns() of them). Returns the part of the image whose pixels
    // changed (runs of cells), empty when none.
    QRegion Update(int row, std::span<const CellCode> cells);

    // Forgets what row `row` shows: its next Update copies every cell again.
    void Forget(int row);
    // Sets pixel column `x` of row `row` to `rgb` over the cells (a vertical rule); a later copy of
    // the cell under it overwrites it.
    void PaintColumn(int row, int x, uint32_t rgb);

    // Cell (c, r) at x = 7c, y = 16r; rows never updated are white.
    const QImage& Image() const { return image_; }

private:
    GridGlyphAtlas atlas_;
    int columns_;
    int rows_;
    QImage image_;
    std::vector<CellCode> codes_;  // rows_ x columns_
    std::vector<uint8_t> known_;
    std::vector<uint8_t> changed_;
};

}  // namespace orv::ui
