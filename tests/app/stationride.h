#pragma once

// A whole station in the test process for the printing tests: a ride of
// eight named karts closed by STOP, the PDF text of a print, and message
// boxes closed as they open.

#include "app/station.h"
#include "core/textfile.h"
#include "support/pdftext.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace vartemo::testing {

// Closes each modal window as it opens (the message boxes, the best-twenty
// window after a ride that entered a row) and keeps the boxes' texts.
struct MessageCloser {
    QStringList texts;
    QTimer timer;
    MessageCloser() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                texts << box->text();
            dialog->reject();
        });
        timer.start(20);
    }
};

struct StationRide : ::testing::Test {
    QTemporaryDir home;
    QTemporaryDir pdfs;

    void writeIni(const QString& text) {
        QFile f(home.filePath(QStringLiteral("vartemo.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringEncoder("windows-1250").encode(text)); // the file's code page
    }
    // A ride of eight named karts with three laps each, closed by STOP.
    static void ride(Station& station) {
        RaceControl& race = station.raceControl();
        for (int k = 1; k <= kKartCount; ++k)
            station.board().setDriverName(k, QStringLiteral("Řidič%1").arg(k));
        race.StartButton1Click();
        ASSERT_EQ(race.phase(), RacePhase::Timing);
        for (int k = 1; k <= kKartCount; ++k)
            station.board().setLines(k, BoardList::Lap, {"00:41:100", "00:40:200", QStringLiteral("00:39:%1").arg(k, 3, 10, QLatin1Char('0'))});
        race.StartButton1Click();
        ASSERT_EQ(race.phase(), RacePhase::Idle);
    }
    QStringList logBook() const {
        return textfile::readLines(home.filePath(QStringLiteral("vartemo.den"))).value_or(QStringList());
    }
};

} // namespace vartemo::testing
