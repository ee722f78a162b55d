#include "monitor/ui/row_painter.h"

#include <array>

namespace orv::ui {

QRegion RowCache::Update(int row, const PaneRow& paneRow, std::span<const int> separators) {
    std::array<CellCode, kCells> cells{};
    const std::size_t n = std::min(paneRow.text.size(), paneRow.inks.size());
    for (std::size_t i = 0; i < n && paneRow.column + int(i) < kCells; ++i)
        cells[std::size_t(paneRow.column) + i] =
            CellOf(uint8_t(paneRow.text[i]), kInkRgb[std::size_t(paneRow.inks[i])]);
    // Other separators than those drawn over the row last time: every cell is copied again, which
    // takes the old ones away.
    const int kind = separators.empty() ? 0 : int(separators.size()) << 16 | separators.back();
    const bool otherSeparators = row >= 0 && row < kRows && separatorsOf_[std::size_t(row)] != kind;
    if (otherSeparators) grid_.Forget(row);
    QRegion changed = grid_.Update(row, cells);
    if (changed.isEmpty()) return changed;
    // The cells copied may have covered separators: those are drawn over the row again.
    const QRect copied = changed.boundingRect();
    for (int x : separators)
        if (otherSeparators || (x >= copied.left() && x <= copied.right())) grid_.PaintColumn(row, x, 0x000000);
    separatorsOf_[std::size_t(row)] = kind;
    if (otherSeparators) changed = QRegion(0, row * kRowPixels, kWidth, kRowPixels);
    return changed;
}

}  // namespace orv::ui
