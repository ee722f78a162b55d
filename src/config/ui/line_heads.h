#pragma once
// The two-line column heads over a list of format lines and over a list of dictionary lines.

class QWidget;

namespace orv::ui {

class ListBox;
class ListHead;

ListHead* FormatListHead(ListBox* list, QWidget* parent);
ListHead* ParamListHead(ListBox* list, QWidget* parent);

}  // namespace orv::ui
