#pragma once
// The layout of the printed table: each page carries the title pane's texts and rules (module,
// refresh information and column heads, three rows), then as many table rows as fit, then the page
// number in the last row. Everything lies on the panes' own 7 x 16 pixel grid, and the grid is
// scaled as a whole so that its widest line (title or table) spans the page width.

#include <string>

#include "monitor/title_text.h"

namespace orv {

struct PrintLayout {
    double scale = 1.0;     // printer units per grid pixel
    int gridWidth = 0;      // grid pixels across the page
    int headHeight = 0;     // grid pixels of the title rows at the top of every page
    int rowsPerPage = 1;    // table rows on a page
    int pages = 1;
    int footY = 0;          // grid y of the row holding "стр. N из M"

    // Table rows of page `page` (0-based): first..first + count - 1.
    int FirstRow(int page) const { return page * rowsPerPage; }
    int RowsOn(int page, int rows) const;
    // Grid y at which table row `row` is printed on its page.
    int RowY(int row) const;
};

// Head rows on every page and the rows below the table rows (a blank row and the foot).
inline constexpr int kPrintHeadRows = 3;
inline constexpr int kPrintFootRows = 2;

// The grid width the printed page must hold: the title's texts and lines and the table's
// `tableWidth` pixels (its rows and the rule at the right of the last column).
int PrintGridWidth(const TitleDrawing& title, int tableWidth);

// Pages of `pageWidth` x `pageHeight` printer units holding `rows` table rows on a grid
// `gridWidth` pixels wide. At least one page, and one row a page however small the paper.
PrintLayout LayoutPrint(double pageWidth, double pageHeight, int gridWidth, int rows);

// "стр. N из M" (Windows-1251) for page `page` (0-based) of `pages`.
std::string PageFootText(int page, int pages);

}  // namespace orv
