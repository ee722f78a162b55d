#pragma once
// Character cells drawn once and reused: the 7 x 16 pixels that DrawGridText leaves in one cell of
// the grid, on white, for a Windows-1251 character in a colour. Copying such cells costs next to
// nothing, while laying out and drawing text costs tens of microseconds a line.
//
// Most glyphs stay inside their cell, but the font advances 7.2 pixels and is drawn 7 apart, so a
// few reach a pixel into the next cell (and a very few into the previous one). A cell's pixels
// therefore also depend on a neighbour that reaches into it; the atlas draws such a cell with that
// neighbour, in the order a line of text draws them (left to right, each run of one colour with
// its underline), so that a line built from cells has exactly the pixels of the line drawn whole.

#include <QFont>
#include <array>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "resources/ui/grid_font.h"

namespace orv::ui {

struct GridCell {
    int16_t byte = -1;  // the Windows-1251 character, -1 for an empty cell (nothing drawn there)
    uint32_t rgb = 0;   // its ink, 0xRRGGBB
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

class GridGlyphAtlas {
public:
    static constexpr int kCellPixels = kCellWidth * kRowHeight;
    using CellImage = std::array<uint32_t, kCellPixels>;  // 0xFFRRGGBB pixels, row by row

    explicit GridGlyphAtlas(const QFont& font);
    GridGlyphAtlas(const GridGlyphAtlas&) = delete;
    GridGlyphAtlas& operator=(const GridGlyphAtlas&) = delete;

    const QFont& Font() const { return font_; }
    // False when some glyph reaches further than the next cell: cells cannot be drawn apart then.
    bool Usable() const { return usable_; }

    // The pixels of cell `centre` with `left` and `right` beside it. The reference stays valid as
    // long as the atlas lives.
    const CellImage& Cell(GridCell left, GridCell centre, GridCell right);

private:
    int InkIndex(uint32_t rgb);
    const CellImage& Render(const std::array<GridCell, 3>& cells);

    QFont font_;
    bool usable_ = true;
    std::array<bool, 256> reachesLeft_{};
    std::array<bool, 256> reachesRight_{};
    std::vector<uint32_t> inks_;
    std::deque<CellImage> cells_;
    // Cells that no neighbour reaches into, per ink and character (index 256: the empty cell).
    std::vector<std::array<const CellImage*, 257>> alone_;
    // Cells with a neighbour reaching in, by packed key.
    std::unordered_map<uint64_t, const CellImage*> withNeighbours_;
};

}  // namespace orv::ui
