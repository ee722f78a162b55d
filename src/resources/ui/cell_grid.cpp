#include "resources/ui/cell_grid.h"

#include <algorithm>
#include <cstring>

namespace orv::ui {
namespace {

GridCell ToGridCell(CellCode code) {
    return code == 0 ? GridCell{} : GridCell{int16_t(code & 0xFF), uint32_t(code >> 8) & 0xFFFFFF};
}

}  // namespace

CellGrid::CellGrid(const QFont& font, int columns, int rows)
    : atlas_(font),
      columns_(columns),
      rows_(rows),
      image_(columns * kCellWidth, rows * kRowHeight, QImage::Format_RGB32),
      codes_(std::size_t(columns) * std::size_t(rows), 0),
      known_(std::size_t(rows), 0),
      changed_(std::size_t(columns) + 2, 0) {
    image_.fill(Qt::white);
}

QRegion CellGrid::Update(int row, std::span<const CellCode> cells) {
    if (row < 0 || row >= rows_ || cells.size() != std::size_t(columns_)) return {};
    CellCode* old = codes_.data() + std::size_t(row) * std::size_t(columns_);
    const bool known = known_[std::size_t(row)] != 0;
    if (known && std::equal(cells.begin(), cells.end(), old)) return {};

    // changed_[c + 1] tells whether cell c changed; a cell is copied again when it or a neighbour
    // changed (a neighbour may reach into it).
    for (int c = 0; c < columns_; ++c) changed_[std::size_t(c) + 1] = !known || old[c] != cells[std::size_t(c)];
    auto at = [&](int c) { return c < 0 || c >= columns_ ? GridCell{} : ToGridCell(cells[std::size_t(c)]); };
    uchar* const top = image_.bits() + qsizetype(row) * kRowHeight * image_.bytesPerLine();
    const qsizetype stride = image_.bytesPerLine();
    QRegion region;
    int runStart = -1, runEnd = -1;  // the cells copied, in runs (gaps of a cell or two are joined)
    auto closeRun = [&] {
        if (runStart >= 0)
            region += QRect(runStart * kCellWidth, row * kRowHeight, (runEnd - runStart + 1) * kCellWidth, kRowHeight);
    };
    for (int c = 0; c < columns_; ++c) {
        if (!changed_[std::size_t(c)] && !changed_[std::size_t(c) + 1] && !changed_[std::size_t(c) + 2]) continue;
        const GridGlyphAtlas::CellImage& cell = atlas_.Cell(at(c - 1), at(c), at(c + 1));
        for (int y = 0; y < kRowHeight; ++y)
            std::memcpy(reinterpret_cast<uint32_t*>(top + y * stride) + c * kCellWidth, &cell[std::size_t(y * kCellWidth)],
                        kCellWidth * sizeof(uint32_t));
        if (runStart < 0 || c > runEnd + 3) {
            closeRun();
            runStart = c;
        }
        runEnd = c;
    }
    closeRun();
    std::copy(cells.begin(), cells.end(), old);
    known_[std::size_t(row)] = 1;
    return region;
}

void CellGrid::Forget(int row) {
    if (row >= 0 && row < rows_) known_[std::size_t(row)] = 0;
}

void CellGrid::PaintColumn(int row, int x, uint32_t rgb) {
    if (row < 0 || row >= rows_ || x < 0 || x >= image_.width()) return;
    const qsizetype stride = image_.bytesPerLine();
    uchar* at = image_.bits() + qsizetype(row) * kRowHeight * stride + qsizetype(x) * 4;
    for (int y = 0; y < kRowHeight; ++y, at += stride) *reinterpret_cast<uint32_t*>(at) = 0xFF000000u | rgb;
}

}  // namespace orv::ui
