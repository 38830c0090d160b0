#include "app/commandline.h"
#include "app/czechtoolkit.h"
#include "app/journalreplay.h"
#include "app/ridejournalwiring.h"
#include "app/runtimepaths.h"
#include "app/singleinstance.h"
#include "app/terminationsignals.h"
#include "core/programfolder.h"
#include "app/station.h"
#include "sensors/datagramreceivetime.h"

#include <QApplication>
#include <QMessageBox>

using namespace vartemo;

int main(int argc, char* argv[]) {
    // Options first: --help and --version work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int exitCode = 0;
    const auto options = ParseCommandLine(arguments, &exitCode);
    if (!options)
        return exitCode;
    if (options->showPaths) {
        const QCoreApplication paths(argc, argv);
        return ShowRuntimePaths(options->home);
    }
    if (!options->replayJournal.isEmpty())
        return ReplayJournal(options->replayJournal);

    // Before anything else: the kernel then stamps the sensors' first datagrams.
    const ReceiveStampKeeper receiveStamps;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vartemo"));
    QApplication::setApplicationVersion(VersionText());
    // The toolkit's own dialogs speak Czech whatever the locale is.
    InstallCzechToolkit(app);
    // From here on a shutdown signal ends the station through its own end.
    QuitOnTerminationSignals();

    // One station per user: a second start raises the first and ends.
    SingleInstance instance(SingleInstance::runtimeFolder());
    if (!instance.claim())
        return 0;

    const ProgramFolder folder(ProgramFolder::resolve(options->home));
    QString error;
    if (!folder.ensure(&error)) {
        QMessageBox::critical(nullptr, QString(), error);
        return 1;
    }

    Station station(folder, options->simulatedPort, options->irRecordStreams);
    station.raceControl().setMinuteMs(options->minuteMs);
    station.setPrintToPdf(options->printToPdf);
    station.rideJournal().setGivenAnswer(options->rideAnswer);
    QObject::connect(&instance, &SingleInstance::restoreRequested, [&station] { station.Restore(); });
    // From the start lights to the STOP a nightly backup keeps away.
    instance.setRideQuery([&station] { return station.raceControl().phase() != RacePhase::Idle; });
    station.show();
    const int code = ExecEndingOnTerminationSignals();
    // The station's end may still take events: no question reaches it then.
    instance.setRideQuery({});
    return code;
}
