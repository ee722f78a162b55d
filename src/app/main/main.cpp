// Orvmon: a bench tool for ARINC 429 lines on an Orvel interface board.
#include <QCommandLineParser>
#include <QFile>

#include "app/ui/COrvmonApp.h"

int main(int argc, char** argv) {
    orv::ui::COrvmonApp app(argc, argv);
    QCommandLineParser options;
    const QCommandLineOption scenario(QStringLiteral("scenario"),
                                      QStringLiteral("Play the scenario FILE on the virtual boards."),
                                      QStringLiteral("FILE"));
    options.addOption(scenario);
    options.process(QCoreApplication::arguments());
    if (options.isSet(scenario)) app.PlayScenario(QFile::encodeName(options.value(scenario)).toStdString());
    return app.Run();
}
