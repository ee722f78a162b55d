#include "monitor/ui/row_painter.h"

#include <array>

namespace orv::ui {

QRegion RowCache::Update(int row, const PaneRow& paneRow) {
    std::array<CellCode, kCells> cells{};
    const std::size_t n = std::min(paneRow.text.size(), paneRow.inks.size());
    for (std::size_t i = 0; i < n && paneRow.column + int(i) < kCells; ++i)
        cells[std::size_t(paneRow.column) + i] =
            CellOf(uint8_t(paneRow.text[i]), kInkRgb[std::size_t(paneRow.inks[i])]);
    return grid_.Update(row, cells);
}

}  // namespace orv::ui
