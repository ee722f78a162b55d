#include "monitor/print_layout.h"

#include <algorithm>
#include <cmath>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "monitor/table_rows.h"
#include "resources/monitor_strings.h"

namespace orv {

int PrintLayout::RowsOn(int page, int rows) const {
    return std::clamp(rows - FirstRow(page), 0, rowsPerPage);
}

int PrintLayout::RowY(int row) const { return headHeight + kRowPixels * (row % rowsPerPage); }

int PrintGridWidth(const TitleDrawing& title, int tableWidth) {
    int width = tableWidth;
    for (const PlacedText& t : title.texts) width = std::max(width, t.x + kColumnPixels * int(t.text.size()));
    for (const PlacedLine& l : title.lines) width = std::max({width, l.x1 + 1, l.x2 + 1});
    return width;
}

PrintLayout LayoutPrint(double pageWidth, double pageHeight, int gridWidth, int rows) {
    PrintLayout layout;
    layout.gridWidth = std::max(1, gridWidth);
    layout.scale = pageWidth > 0 ? pageWidth / layout.gridWidth : 1.0;
    layout.headHeight = kPrintHeadRows * kRowPixels;
    const int gridRows = int(std::floor(pageHeight / layout.scale / kRowPixels + 1e-9));
    layout.rowsPerPage = std::max(1, gridRows - kPrintHeadRows - kPrintFootRows);
    layout.pages = std::max(1, (std::max(0, rows) + layout.rowsPerPage - 1) / layout.rowsPerPage);
    layout.footY = layout.headHeight + kRowPixels * (layout.rowsPerPage + kPrintFootRows - 1);
    return layout;
}

std::string PageFootText(int page, int pages) {
    return Cp1251(text::kPrintPagePrefix) + FormatDec(page + 1, 0) + Cp1251(text::kPrintPageOf) + FormatDec(pages, 0);
}

}  // namespace orv
