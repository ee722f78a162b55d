#include "resources/ui/glyph_atlas.h"

#include <QImage>
#include <QPainter>
#include <cstring>
#include <string>

namespace orv::ui {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// Draws the present cells of `cells` into `image` (cell i at x = 7i): each run of neighbouring
// cells of one ink is one DrawGridText, runs left to right, as a line of text is drawn.
void DrawCells(QImage& image, const QFont& font, const GridCell* cells, int count) {
    QPainter painter(&image);
    painter.setFont(font);
    for (int i = 0; i < count;) {
        if (cells[i].byte < 0) {
            ++i;
            continue;
        }
        std::string run;
        int j = i;
        for (; j < count && cells[j].byte >= 0 && cells[j].rgb == cells[i].rgb; ++j) run += char(cells[j].byte);
        painter.setPen(QColor::fromRgb(QRgb(0xFF000000u | cells[i].rgb)));
        DrawGridText(painter, kCellWidth * i, 0, run);
        i = j;
    }
}

}  // namespace

GridGlyphAtlas::GridGlyphAtlas(const QFont& font) : font_(font) {
    // Each character alone in the middle of five cells: where does it leave ink?
    QImage probe(5 * kCellWidth, kRowHeight, QImage::Format_RGB32);
    for (int b = 0; b < 256; ++b) {
        probe.fill(kWhite);
        const GridCell cells[5] = {{}, {}, {int16_t(b), 0}, {}, {}};
        DrawCells(probe, font_, cells, 5);
        for (int y = 0; y < kRowHeight; ++y) {
            const auto* line = reinterpret_cast<const uint32_t*>(probe.constScanLine(y));
            for (int x = 0; x < 5 * kCellWidth; ++x) {
                if (line[x] == kWhite) continue;
                const int cell = x / kCellWidth;
                if (cell == 1) reachesLeft_[std::size_t(b)] = true;
                if (cell == 3) reachesRight_[std::size_t(b)] = true;
                if (cell == 0 || cell == 4) usable_ = false;
            }
        }
    }
}

int GridGlyphAtlas::InkIndex(uint32_t rgb) {
    for (std::size_t i = 0; i < inks_.size(); ++i)
        if (inks_[i] == rgb) return int(i);
    inks_.push_back(rgb);
    alone_.emplace_back();
    alone_.back().fill(nullptr);
    return int(inks_.size() - 1);
}

const GridGlyphAtlas::CellImage& GridGlyphAtlas::Cell(GridCell left, GridCell centre, GridCell right) {
    // Only a neighbour that reaches into the cell matters.
    if (left.byte >= 0 && !reachesRight_[std::size_t(left.byte)]) left = {};
    if (right.byte >= 0 && !reachesLeft_[std::size_t(right.byte)]) right = {};
    const int ink = InkIndex(centre.byte >= 0 ? centre.rgb : 0);
    if (left.byte < 0 && right.byte < 0) {
        const CellImage*& cell = alone_[std::size_t(ink)][centre.byte < 0 ? 256 : std::size_t(centre.byte)];
        if (!cell) cell = &Render({GridCell{}, centre, GridCell{}});
        return *cell;
    }
    auto part = [this](const GridCell& c) -> uint64_t {
        return c.byte < 0 ? 0 : (uint64_t(InkIndex(c.rgb)) << 9 | 0x100 | uint64_t(c.byte));
    };
    // 21 bits per cell: the ink index leaves room for far more colours than any pane uses.
    const uint64_t key = part(left) << 42 | part(centre) << 21 | part(right);
    const CellImage*& cell = withNeighbours_[key];
    if (!cell) cell = &Render({left, centre, right});
    return *cell;
}

const GridGlyphAtlas::CellImage& GridGlyphAtlas::Render(const std::array<GridCell, 3>& cells) {
    QImage scratch(3 * kCellWidth, kRowHeight, QImage::Format_RGB32);
    scratch.fill(kWhite);
    DrawCells(scratch, font_, cells.data(), 3);
    CellImage& out = cells_.emplace_back();
    for (int y = 0; y < kRowHeight; ++y)
        std::memcpy(&out[std::size_t(y * kCellWidth)],
                    reinterpret_cast<const uint32_t*>(scratch.constScanLine(y)) + kCellWidth,
                    kCellWidth * sizeof(uint32_t));
    return out;
}

}  // namespace orv::ui
