#pragma once

#include "core/czechformats.h"
#include "logbook/logentries.h"

#include <QStringList>

// A season of a busy track: a run every forty lines, the others takings
// lines, alternately of Admin and of Petr.
inline QStringList SeasonLogLines(int lineCount) {
    QStringList lines;
    const QDateTime day(QDate(2026, 3, 1), QTime(8, 0));
    for (int i = 0; lines.size() < lineCount; ++i) {
        const QDateTime now = day.addSecs(qint64(i) * 600);
        lines << (i % 40 == 0 ? vartemo::ProgramStartEntry(now)
                              : QStringLiteral("\tKč %1 %2 %3 %4")
                                    .arg(100 + i % 400)
                                    .arg(i % 2 ? QStringLiteral("Admin") : QStringLiteral("Petr"))
                                    .arg(vartemo::czech::longTime(now.time()), vartemo::czech::shortDate(now.date())));
    }
    return lines;
}
