#pragma once
// The program's command line: the options it takes and what the start does with them.

#include <QString>
#include <QStringList>
#include <optional>

#include "app/main_options.h"

namespace orv::ui {

class CMainFrame;

struct CommandLine {
    StartOptions options;
    // Set when the program ends at once: --help, --version, or a malformed command line.
    std::optional<int> exitCode;
    QString output;  // what to print then (on stdout for exit code 0, stderr otherwise)
};

// The program's arguments as ParseCommandLine takes them: each one's bytes travel without loss
// (ArgumentText), so the values of the options come back as exactly the bytes given.
QStringList ArgumentsOf(int argc, const char* const* argv);

// Parses the arguments (the program name first). Every option is declared here, in one place.
CommandLine ParseCommandLine(const QStringList& arguments);

// True when the arguments hold -h, --help, --help-all, -v or --version.
bool AsksForHelpOrVersion(const QStringList& arguments);

// Applies the options once the main window is shown: every message goes through ShowMessage with
// the window as parent, and the program goes on without the step that failed.
void ApplyCommandLine(CMainFrame& frame, const StartOptions& options);

}  // namespace orv::ui
