#pragma once
// The configuration dialogs decide on a copy of their list box's lines (see config/table_rules.h)
// and then show the result.

#include "text/line_list.h"
#include "resources/ui/list_box.h"

namespace orv::ui {

// Makes the list box hold exactly the lines and selection of `lines`.
inline void ShowLines(ListBox& box, const LineList& lines) {
    box.ClearLines();
    for (const auto& line : lines.Lines()) box.InsertLine(box.Count(), line);
    box.Select(lines.Selection());
}

}  // namespace orv::ui
