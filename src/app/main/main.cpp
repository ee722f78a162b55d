// Orvmon: a bench tool for ARINC 429 lines on an Orvel interface board.
#include <cstdio>

#include "app/ui/COrvmonApp.h"
#include "app/ui/main_command_line.h"

namespace {

int Print(const orv::ui::CommandLine& commandLine) {
    std::fputs(commandLine.output.toLocal8Bit().constData(), *commandLine.exitCode == 0 ? stdout : stderr);
    return *commandLine.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before the window system is reached, so that they work
    // without a display.
    const QStringList arguments = orv::ui::ArgumentsOf(argc, argv);
    if (orv::ui::AsksForHelpOrVersion(arguments)) return Print(orv::ui::ParseCommandLine(arguments));

    orv::ui::COrvmonApp app(argc, argv);
    // The application has taken its own options (-platform, -style, ...) out of argc and argv; the
    // rest is read from the bytes, since QCoreApplication::arguments() would mangle a file name
    // that is not valid UTF-8.
    const orv::ui::CommandLine commandLine = orv::ui::ParseCommandLine(orv::ui::ArgumentsOf(argc, argv));
    if (commandLine.exitCode) return Print(commandLine);
    return app.Run(commandLine.options);
}
