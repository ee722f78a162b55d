#include "config/ui/line_heads.h"

#include "config/format_line.h"
#include "config/param_line.h"
#include "resources/ui/list_box.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {

ListHead* FormatListHead(ListBox* list, QWidget* parent) {
    return new ListHead(list, {FromCp1251(kFormatLineHead1), FromCp1251(kFormatLineHead2)}, parent);
}

ListHead* ParamListHead(ListBox* list, QWidget* parent) {
    return new ListHead(list, {FromCp1251(kParamLineHead1), FromCp1251(kParamLineHead2)}, parent);
}

}  // namespace orv::ui
