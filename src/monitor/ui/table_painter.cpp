#include "monitor/ui/table_painter.h"

#include <QPainter>

#include "resources/ui/grid_font.h"

namespace orv::ui {

namespace {
PaneRow RowOfPane(const ProgramState& state, TableContent content, int row, const InkSource& inks,
                  uint32_t nowMs, const ShownTable* shown, std::vector<RowTextMemo>* memo) {
    PaneRow out;
    if (content == TableContent::Parameters) {
        // The frozen row serves only while its entry is the one in the table (not edited or
        // reloaded since the refresh that froze it).
        const ShownRow* s = shown && std::size_t(row) < shown->size() ? &(*shown)[std::size_t(row)] : nullptr;
        if (s && s->entry == state.Display.DisplayTable[std::size_t(row)]) {
            if (memo) {
                if (memo->size() <= std::size_t(row)) memo->resize(std::size_t(row) + 1);
                RowTextMemo& m = (*memo)[std::size_t(row)];
                if (!m.valid || m.word != s->word || m.maskCount != s->maskCount || !(m.entry == s->entry)) {
                    m.text = ParameterRowText(s->entry, s->word, s->maskCount);
                    m.entry = s->entry;
                    m.word = s->word;
                    m.maskCount = s->maskCount;
                    m.valid = true;
                }
                out.text = m.text;
            } else {
                out.text = ParameterRowText(s->entry, s->word, s->maskCount);
            }
        } else {
            out.text = ParameterRowText(state.Display, state.Acquisition, state.Board.BoardImage, row);
        }
        out.inks = inks ? inks(state.Display, state.Acquisition, row, nowMs)
                        : ParameterRowInks(state.Display, state.Acquisition, row, nowMs);
    } else {
        out.column = kStreamRowX / kColumnPixels;
        out.text = StreamRowText(row, StreamWord(state.Board.BoardImage, state.Capture.StreamAddress, row));
        out.inks.fill(Ink::Black);
    }
    return out;
}
}  // namespace

PaneRow RowOfPane(const ProgramState& state, TableContent content, int row, const InkSource& inks,
                  uint32_t nowMs, const ShownTable* shown) {
    return RowOfPane(state, content, row, inks, nowMs, shown, nullptr);
}

PaneRow RowOfPane(const ProgramState& state, TableContent content, int row, const InkSource& inks,
                  uint32_t nowMs, const ShownTable* shown, std::vector<RowTextMemo>& memo) {
    return RowOfPane(state, content, row, inks, nowMs, shown, &memo);
}

RowSpan RowsIn(const ProgramState& state, TableContent content, const QRect& area) {
    if (content != TableContent::Parameters && content != TableContent::Stream) return {};
    const int rows = DrawnRows(content, state.Display.DisplayTable);
    return {std::max(0, area.top() / kRowPixels), std::min(rows - 1, area.bottom() / kRowPixels)};
}

void DrawPaneRow(QPainter& painter, int row, const PaneRow& paneRow) {
    const std::string_view text = paneRow.text;
    const std::size_t n = std::min(text.size(), paneRow.inks.size());
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i;
        while (j < n && paneRow.inks[j] == paneRow.inks[i]) ++j;
        painter.setPen(QColor::fromRgb(QRgb(0xFF000000u | kInkRgb[std::size_t(paneRow.inks[i])])));
        DrawGridText(painter, kColumnPixels * (paneRow.column + int(i)), kRowPixels * row, text.substr(i, j - i));
        i = j;
    }
}

void DrawSeparators(QPainter& painter, const ProgramState& state, TableContent content) {
    painter.setPen(Qt::black);
    const int bottom = SeparatorBottom(content, state.Display.DisplayTable);
    if (content == TableContent::Parameters) {
        for (int x : kParameterSeparators) painter.drawLine(x, 0, x, bottom);
    } else {
        for (int x : kStreamSeparators) painter.drawLine(x, 0, x, bottom);
    }
}

void DrawSeparators(QPainter& painter, TableContent content, int bottom, const QRect& area) {
    const int top = std::max(0, area.top());
    bottom = std::min(bottom, area.bottom());
    if (top > bottom) return;
    painter.setPen(Qt::black);
    auto draw = [&](int x) {
        if (x >= area.left() && x <= area.right()) painter.drawLine(x, top, x, bottom);
    };
    if (content == TableContent::Parameters) {
        for (int x : kParameterSeparators) draw(x);
    } else {
        for (int x : kStreamSeparators) draw(x);
    }
}

void DrawTableArea(QPainter& painter, const ProgramState& state, const QRect& area, const InkSource& inks,
               uint32_t nowMs, const ShownTable* shown) {
    const TableContent content = ContentOf(state.Acquisition.AcquisitionMode, state.Display.DisplayListReady);
    if (content != TableContent::Parameters && content != TableContent::Stream) return;
    painter.save();
    painter.setFont(GridFont(true));
    // Only the rows that reach into the area are built.
    const RowSpan span = RowsIn(state, content, area);
    for (int r = span.first; r <= span.last; ++r) DrawPaneRow(painter, r, RowOfPane(state, content, r, inks, nowMs, shown));
    DrawSeparators(painter, state, content);
    painter.restore();
}

}  // namespace orv::ui
