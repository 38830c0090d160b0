#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace vartemo {

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Vartemo Kestral - the timing station of a go-kart track.\n\n"
        "Every file the station keeps lives in the program folder: --home DIR,\n"
        "else $VARTEMO_HOME, else $XDG_DATA_HOME/vartemo (~/.local/share/vartemo).\n"
        "The first start creates it."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Use DIR as the program folder."),
                                  QStringLiteral("DIR"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(home);

    *exitCode = 0;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        *exitCode = 1;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::printf("vartemo %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return std::nullopt;
    }
    CommandLine line;
    line.home = parser.value(home);
    return line;
}

} // namespace vartemo
