#include "monitor/shown_table.h"

#include "monitor/row_ink.h"
#include "monitor/table_rows.h"

namespace orv {

void TakeShownTable(const DisplayState& display, const AcquisitionState& acquisition, const BoardImage& image,
                    uint32_t nowMs, ShownTable& into) {
    const int rows = UsedEntries(display.DisplayTable);
    into.resize(std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        ShownRow& out = into[std::size_t(r)];
        out.entry = display.DisplayTable[std::size_t(r)];
        out.word = RowValue(display, image, r);
        out.maskCount = out.entry.maskMode == kMaskOn ? RowMaskCount(acquisition, out.entry) : 0;
        out.stale = RowIsStale(display, acquisition, r, nowMs);
    }
}

ShownTable TakeShownTable(const DisplayState& display, const AcquisitionState& acquisition, const BoardImage& image,
                          uint32_t nowMs) {
    ShownTable table;
    TakeShownTable(display, acquisition, image, nowMs, table);
    return table;
}

}  // namespace orv
