#include "monitor/ui/row_painter.h"

#include <cstring>

namespace orv::ui {

RowCache::RowCache(const QFont& font)
    : atlas_(font), image_(kWidth, kRows * kRowPixels, QImage::Format_RGB32), lines_(std::size_t(kRows)) {
    image_.fill(Qt::white);
}

QRect RowCache::Update(int row, const PaneRow& paneRow) {
    if (row < 0 || row >= kRows) return {};
    Cells cells{};
    const std::size_t n = std::min(paneRow.text.size(), paneRow.inks.size());
    for (std::size_t i = 0; i < n && paneRow.column + int(i) < kCells; ++i)
        cells[std::size_t(paneRow.column) + i] = {int16_t(uint8_t(paneRow.text[i])),
                                                   kInkRgb[std::size_t(paneRow.inks[i])]};
    Line& line = lines_[std::size_t(row)];
    if (line.known && line.cells == cells) return {};

    // A cell is copied again when it or a neighbour changed (a neighbour may reach into it).
    auto at = [](const Cells& c, int i) { return i < 0 || i >= kCells ? GridCell{} : c[std::size_t(i)]; };
    int firstChanged = kCells, lastChanged = -1;
    uchar* const top = image_.bits() + qsizetype(row) * kRowPixels * image_.bytesPerLine();
    for (int c = 0; c < kCells; ++c) {
        if (line.known && at(line.cells, c - 1) == at(cells, c - 1) && at(line.cells, c) == at(cells, c) &&
            at(line.cells, c + 1) == at(cells, c + 1))
            continue;
        const GridGlyphAtlas::CellImage& cell = atlas_.Cell(at(cells, c - 1), at(cells, c), at(cells, c + 1));
        for (int y = 0; y < kRowPixels; ++y)
            std::memcpy(reinterpret_cast<uint32_t*>(top + qsizetype(y) * image_.bytesPerLine()) + c * kColumnPixels,
                        &cell[std::size_t(y * kColumnPixels)], kColumnPixels * sizeof(uint32_t));
        firstChanged = std::min(firstChanged, c);
        lastChanged = c;
    }
    line.known = true;
    line.cells = cells;
    if (lastChanged < 0) return {};
    return QRect(firstChanged * kColumnPixels, row * kRowPixels, (lastChanged - firstChanged + 1) * kColumnPixels,
                 kRowPixels);
}

}  // namespace orv::ui
