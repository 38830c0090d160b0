#include "app/commandline.h"

#include <QCommandLineParser>
#include "core/version.h"

#include <cstdio>

namespace vartemo {

QString VersionText() {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kPatch)
        .arg(version::kBuild);
}

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
    const QCommandLineOption simulatedPort(
        QStringLiteral("simulated-port"),
        QStringLiteral("Use the simulated parallel port in FILE (made when missing) instead of\n"
                       "the real one; vartemo-port drives it."),
        QStringLiteral("FILE"));
    const QCommandLineOption printToPdf(
        QStringLiteral("print-to-pdf"),
        QStringLiteral("Print every sheet and diploma, automatic or confirmed in the printer "
                       "dialog, as one PDF file in DIR (named by the job and a running number) "
                       "instead of a printer job."),
        QStringLiteral("DIR"));
    // For trials of the station against the simulators: the lights-off delay
    // counts minutes of this many milliseconds.
    QCommandLineOption minuteMs(QStringLiteral("minute-ms"), QStringLiteral("Length of a minute of the delays."),
                                QStringLiteral("MS"));
    minuteMs.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption irRecordStream(
        QStringLiteral("ir-record-stream"),
        QStringLiteral("Read the infrared receivers' ports as streams of modem-status records "
                       "(vartemo-sim --ir writes them) instead of counting line changes."));
    const QCommandLineOption paths(
        QStringLiteral("paths"),
        QStringLiteral("Show the program folder, the help page, the toolkit's Czech translation and the "
                       "modules the station would use, and exit (1 when any of them is missing)."));
    const QCommandLineOption rideAnswer(
        QStringLiteral("ride-answer"),
        QStringLiteral("Answer the questions about a ride that is not closed without asking: "
                       "\"continue\" timing it, \"close\" it as STOP does (lap files, takings, "
                       "best twenty), or, for \"Konec\" during a ride, \"discard\" it (end without "
                       "saving). At start-up after an outage only continue and close are answers."),
        QStringLiteral("ANSWER"));
    const QCommandLineOption replayJournal(
        QStringLiteral("replay-journal"),
        QStringLiteral("Print the ride rebuilt from a ride journal (jizdy/*.vjz in the program "
                       "folder) as the lap and track lines the board showed, then exit."),
        QStringLiteral("FILE"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(home);
    parser.addOption(simulatedPort);
    parser.addOption(printToPdf);
    parser.addOption(minuteMs);
    parser.addOption(irRecordStream);
    parser.addOption(paths);
    parser.addOption(rideAnswer);
    parser.addOption(replayJournal);

    *exitCode = 0;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        *exitCode = 1;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        // The parser's own help names the binary from a running application,
        // which does not exist yet: the usage line is written here.
        std::printf("Usage: vartemo [options]\n%s", qPrintable(parser.helpText().section(u'\n', 1)));
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::printf("vartemo %s\n", qPrintable(VersionText()));
        return std::nullopt;
    }
    CommandLine line;
    line.home = parser.value(home);
    line.simulatedPort = parser.value(simulatedPort);
    line.printToPdf = parser.value(printToPdf);
    line.irRecordStreams = parser.isSet(irRecordStream);
    line.showPaths = parser.isSet(paths);
    line.replayJournal = parser.value(replayJournal);
    if (parser.isSet(rideAnswer)) {
        const auto answer = ParseRideAnswer(parser.value(rideAnswer));
        if (!answer) {
            std::fprintf(stderr, "--ride-answer takes continue, close or discard\n");
            *exitCode = 1;
            return std::nullopt;
        }
        line.rideAnswer = *answer;
    }
    if (parser.isSet(minuteMs)) {
        bool ok = false;
        line.minuteMs = parser.value(minuteMs).toInt(&ok);
        if (!ok || line.minuteMs < 1) {
            std::fprintf(stderr, "--minute-ms takes a positive number of milliseconds\n");
            *exitCode = 1;
            return std::nullopt;
        }
    }
    return line;
}

} // namespace vartemo
