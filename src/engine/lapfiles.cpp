#include "engine/lapfiles.h"

#include "core/czechformats.h"
#include "core/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace vartemo::lapfiles {

namespace {

QString createError(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QList<FilterEntry> FilterEntries(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QList<FilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.append({parts[i], parts[i + 1]});
    return entries;
}

int InitialFilterIndex(const QString& buttonName) {
    // Uloz1 and Nacti1 are short; Uloz1_Draha and Nacti1_Draha are not.
    return buttonName.size() < 8 ? 0 : 1;
}

QString WithFilterExtension(const QString& path, const QString& pattern) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    const qsizetype dot = pattern.lastIndexOf(u'.');
    if (dot < 0 || pattern.mid(dot).contains(u'*'))
        return path;
    return path + pattern.mid(dot);
}

bool Save(const QString& path, const QStringList& lines, QString* error) {
    QString reason;
    if (textfile::writeLines(path, lines, &reason))
        return true;
    if (error)
        *error = createError(path, reason);
    return false;
}

std::optional<QStringList> Load(const QString& path, QString* error) {
    auto lines = textfile::readLines(path);
    if (!lines && error)
        *error = QStringLiteral("Cannot open file \"%1\".").arg(QDir::toNativeSeparators(path));
    return lines;
}

std::optional<DropTarget> TargetForDrop(const QString& controlName, const QString& fileName) {
    static const QRegularExpression listName(QStringLiteral("^(Kola|Draha)_mezicas([1-8])$"));
    const auto m = listName.match(controlName);
    if (!m.hasMatch())
        return std::nullopt;
    const BoardList list = m.captured(1) == QLatin1String("Kola") ? BoardList::Lap : BoardList::Track;
    const QString& wanted = list == BoardList::Lap ? kLapExtension : kTrackExtension;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || fileName.mid(dot) != wanted)
        return std::nullopt;
    return DropTarget{m.captured(2).toInt(), list};
}

QString TimeStamp(const QDateTime& when) {
    QString stamp = czech::dateTime(when);
    for (QChar& c : stamp) {
        if (c < u'0' || c > u'9')
            c = u'_';
    }
    return stamp;
}

QString FileNamePart(const QString& driverName) {
    QString part = driverName;
    part.replace(u'/', u'_');
    part.replace(QChar(u'\0'), u'_');
    return part;
}

QString AutoLapFileName(const QString& driverName, const QString& stamp) {
    return FileNamePart(driverName) + u'_' + stamp + kLapExtension;
}

QString AutoTrackFileName(const QString& driverName, const QString& stamp) {
    return FileNamePart(driverName) + QStringLiteral("_mezicasy_") + stamp + kTrackExtension;
}

QStringList AutoSaveResults(const RaceBoard& board, const QString& folder, bool trackListsShown,
                            const QDateTime& when) {
    QStringList errors;
    if (!QDir().mkpath(folder)) {
        errors << createError(folder, QStringLiteral("The folder cannot be created."));
        return errors;
    }
    const QDir dir(folder);
    const QString stamp = TimeStamp(when);
    auto saveAll = [&](BoardList which) {
        for (int k = 1; k <= kKartCount; ++k) {
            const QStringList& lines = board.lines(k, which);
            if (lines.isEmpty())
                continue;
            const QString name = which == BoardList::Lap
                                     ? AutoLapFileName(board.DriverName(k), stamp)
                                     : AutoTrackFileName(board.DriverName(k), stamp);
            QString error;
            if (!Save(dir.filePath(name), lines, &error))
                errors << error;
        }
    };
    saveAll(BoardList::Lap);
    if (trackListsShown)
        saveAll(BoardList::Track);
    return errors;
}

} // namespace vartemo::lapfiles
