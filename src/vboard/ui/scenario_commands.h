#pragma once
// Start-up and menu commands of the virtual boards that need widgets.

#include <string>

class QWidget;

namespace orv {
class VirtualBoardProvider;
}

namespace orv::ui {

// Plays the scenario file at `path` on the virtual boards. A file that cannot be played is
// reported in a message box naming the file, the line and the reason; the boards then keep
// what they played before (the built-in flight at start-up). Returns whether the file plays.
bool PlayScenarioFile(VirtualBoardProvider& boards, const std::string& path, QWidget* parent);

// Opens the counters window of the virtual boards beside `parent`, or raises the one that is
// open.
void ShowBoardCounters(VirtualBoardProvider& boards, QWidget* parent);

}  // namespace orv::ui
