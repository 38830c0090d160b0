#include "app/ridejournalwiring.h"

#include "engine/racecontrol.h"
#include "engine/tform1.h"
#include "engine/timetext.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace vartemo {

RideJournalWiring::RideJournalWiring(Parts parts)
    : parts_(std::move(parts)), journal_(parts_.folder) {
    parts_.race.setJournal(&journal_);
    // Before race control's own close handling: a ride must be settled first.
    parts_.mainWindow.installEventFilter(this);
}

void RideJournalWiring::setAside(const RideJournal::Unclosed& found, const QString& why) {
    const QString aside = journal_.setAside(found.path, QDateTime::currentDateTime());
    std::fprintf(stderr, "vartemo: ride journal %s: %s, set aside as %s\n", qPrintable(found.path),
                 qPrintable(why), qPrintable(aside));
    parts_.tell(QStringLiteral("Záznam nedokončené jízdy nelze celý přečíst: %1.\n%2")
                    .arg(why, aside.isEmpty()
                                  ? QStringLiteral("Soubor %1 nelze odložit.").arg(found.path)
                                  : QStringLiteral("Soubor byl odložen jako %1 ve složce %2.")
                                        .arg(aside, QDir::toNativeSeparators(journal_.folder()))));
}

QString RideJournalWiring::summary(const RebuiltRide& ride, qint64 outageMs) const {
    int laps = 0;
    for (const QStringList& l : ride.laps)
        laps += int(l.size());
    return QStringLiteral("Jízda zahájená %1 nebyla ukončena: stanice přestala pracovat.\n"
                          "Zaznamenaná kola: %2, poslední průjezd v čase jízdy %3.\n"
                          "Stanice nepracovala %4.")
        .arg(ride.start.startWall.toString(QStringLiteral("d.M.yyyy H:mm:ss")))
        .arg(laps)
        .arg(FormatTimeText(FloorToMs(ride.lastPassingUs)))
        .arg(OutageText(outageMs));
}

void RideJournalWiring::RecoverUnclosedRide() {
    // A ride this run began before the look came round is its own, not an outage's.
    if (journal_.isOpen())
        return;
    const std::optional<RideJournal::Unclosed> found = journal_.findUnclosed();
    if (!found)
        return;
    const journal::ReadResult& read = found->read;
    if (read.damage == journal::Damage::Empty) {
        // Made at a start that never reached the disk: nothing to lose.
        QFile::remove(found->path);
        return;
    }
    const QString why = !found->readError.isEmpty() ? found->readError : journal::DamageText(read.damage);
    QString error;
    const std::optional<RebuiltRide> ride =
        read.damage == journal::Damage::Foreign ? std::nullopt : RebuildRide(read.records, &error);
    if (!ride) {
        setAside(*found, error.isEmpty() ? why : error);
        return;
    }
    // A damaged end: the file is kept aside, the good records go on.
    if (read.damage != journal::Damage::None)
        setAside(*found, why + QStringLiteral(" (řádek %1); jízda se obnoví ze záznamů před ním").arg(read.badLine));
    const ResumePoint at =
        ResumeAfterOutage(*ride, parts_.clock.nowUs(), QDateTime::currentDateTime(), CurrentBootId());
    const QString time = QTime::currentTime().toString(QStringLiteral("H:mm:ss"));
    if (ride->closed) {
        // Closed, only the renaming did not happen.
        journal_.keepClosed(found->path, ride->start.startWall);
        return;
    }
    // Nothing may start a new ride over this one while it is settled.
    parts_.race.pauseStartWaiting();
    if (ride->stop) {
        parts_.race.CloseRecoveredRide(*ride, read.goodBytes, at);
        parts_.addLogEntry(time + QStringLiteral(" - dokončeno ukončení jízdy přerušené výpadkem stanice"));
        parts_.tell(QStringLiteral("Jízda byla právě ukončována, když stanice přestala pracovat.\n"
                                   "Ukončení jízdy bylo dokončeno."));
        return;
    }
    const RideAnswer answer = AskAboutUnclosedRide(&parts_.mainWindow, summary(*ride, at.outageMs), parts_.given);
    if (answer == RideAnswer::Continue) {
        parts_.race.ResumeRide(*ride, read.goodBytes, at);
        parts_.addLogEntry(time + QStringLiteral(" - jízda obnovena po výpadku stanice, výpadek ") +
                           OutageText(at.outageMs));
        parts_.tell(QStringLiteral("Jízda pokračuje. Stanice nepracovala %1;\n"
                                   "průjezdy z té doby chybí a kolo přes výpadek je delší.")
                        .arg(OutageText(at.outageMs)));
    } else {
        parts_.addLogEntry(time + QStringLiteral(" - nedokončená jízda ukončena po výpadku stanice"));
        parts_.race.CloseRecoveredRide(*ride, read.goodBytes, at);
    }
}

bool RideJournalWiring::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &parts_.mainWindow || event->type() != QEvent::Close ||
        parts_.race.phase() != RacePhase::Timing)
        return QObject::eventFilter(watched, event);
    // Ended from outside: no one to ask; the journal stays open for the next start.
    if (parts_.endingFromOutside && parts_.endingFromOutside())
        return false;
    switch (AskAboutRideAtEnd(&parts_.mainWindow, parts_.given)) {
    case RideAnswer::Ask:
    case RideAnswer::Continue:
        event->ignore();
        return true;
    case RideAnswer::Close:
        // The STOP may open windows of its own (the best twenty): it runs
        // outside this close, which is asked for again once it is done.
        event->ignore();
        parts_.race.StartButton1Click();
        QTimer::singleShot(0, &parts_.mainWindow, &QWidget::close);
        return true;
    case RideAnswer::Discard:
        parts_.race.AbandonRide();
        break;
    }
    return false;
}

} // namespace vartemo

#include "moc_ridejournalwiring.cpp"
