#include "app/journalreplay.h"

#include "engine/riderebuild.h"

#include <QFile>

#include <cstdio>

namespace vartemo {

int ReplayJournal(const QString& path) {
    QFile file(path);
    if (file.size() > journal::kMaxJournalBytes || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vartemo: %s: %s\n", qPrintable(path),
                     qPrintable(file.exists() ? QStringLiteral("nelze přečíst") : QStringLiteral("soubor neexistuje")));
        return 1;
    }
    const journal::ReadResult read = journal::ParseJournal(file.readAll());
    QString error;
    const auto ride = read.damage == journal::Damage::Foreign ? std::nullopt : RebuildRide(read.records, &error);
    if (!ride) {
        std::fprintf(stderr, "vartemo: %s: %s\n", qPrintable(path),
                     qPrintable(error.isEmpty() ? journal::DamageText(read.damage) : error));
        return 1;
    }
    if (read.damage != journal::Damage::None)
        std::fprintf(stderr, "vartemo: %s: %s (řádek %d), vypsáno vše před ním\n", qPrintable(path),
                     qPrintable(journal::DamageText(read.damage)), read.badLine);
    for (const QString& line : ReplayText(*ride))
        std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

} // namespace vartemo
