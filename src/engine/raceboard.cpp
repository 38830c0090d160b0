#include "engine/raceboard.h"

#include "engine/timetext.h"

namespace vartemo {

RaceBoard::RaceBoard(QObject* parent) : QObject(parent) {
    for (int k = 1; k <= kKartCount; ++k)
        slot(k).driver = DefaultDriverName(k);
}

QString RaceBoard::DefaultDriverName(int kart) {
    return QStringLiteral("kara%1").arg(kart);
}

QString RaceBoard::TrackLapLine(TimeMs lap) {
    return QStringLiteral("  L ") + FormatTimeText(lap);
}

QString RaceBoard::SplitLine(const QString& label, TimeMs split) {
    return label.left(3) + u' ' + FormatTimeText(split);
}

RaceBoard::Slot& RaceBoard::slot(int kart) {
    Q_ASSERT(kart >= 1 && kart <= kKartCount);
    return slots_[static_cast<size_t>(kart - 1)];
}

const RaceBoard::Slot& RaceBoard::slot(int kart) const {
    Q_ASSERT(kart >= 1 && kart <= kKartCount);
    return slots_[static_cast<size_t>(kart - 1)];
}

QStringList& RaceBoard::list(int kart, BoardList which) {
    return which == BoardList::Lap ? slot(kart).laps : slot(kart).track;
}

const QStringList& RaceBoard::lines(int kart, BoardList which) const {
    return which == BoardList::Lap ? slot(kart).laps : slot(kart).track;
}

void RaceBoard::append(int kart, BoardList which, const QString& line) {
    list(kart, which).append(line);
    emit lineAppended(kart, which, line);
}

void RaceBoard::AddLapLine(int kart, TimeMs lap) {
    append(kart, BoardList::Lap, FormatTimeText(lap));
}

void RaceBoard::AddTrackLapLine(int kart, TimeMs lap) {
    append(kart, BoardList::Track, TrackLapLine(lap));
}

void RaceBoard::AddSplitLine(int kart, const QString& label, TimeMs split) {
    append(kart, BoardList::Track, SplitLine(label, split));
}

void RaceBoard::ClearLists() {
    for (int k = 1; k <= kKartCount; ++k)
        for (BoardList which : {BoardList::Lap, BoardList::Track})
            clearList(k, which);
}

void RaceBoard::DeleteFirstLine() {
    for (int k = 1; k <= kKartCount; ++k)
        for (BoardList which : {BoardList::Lap, BoardList::Track})
            deleteLine(k, which, 0);
}

void RaceBoard::clearList(int kart, BoardList which) {
    QStringList& l = list(kart, which);
    if (l.isEmpty())
        return;
    l.clear();
    emit listReset(kart, which);
}

void RaceBoard::deleteLine(int kart, BoardList which, int row) {
    QStringList& l = list(kart, which);
    if (row < 0 || row >= l.size())
        return;
    l.removeAt(row);
    emit listReset(kart, which);
}

void RaceBoard::setLines(int kart, BoardList which, const QStringList& lines) {
    list(kart, which) = lines;
    emit listReset(kart, which);
}

QString RaceBoard::DriverName(int kart) const {
    return slot(kart).driver;
}

void RaceBoard::setDriverName(int kart, const QString& name) {
    slot(kart).driver = name;
    emit driverNameChanged(kart, name);
}

void RaceBoard::resetDriverNames() {
    for (int k = 1; k <= kKartCount; ++k)
        setDriverName(k, DefaultDriverName(k));
}

bool RaceBoard::isWoman(int kart) const {
    return slot(kart).woman;
}

void RaceBoard::setWoman(int kart, bool on) {
    if (slot(kart).woman == on)
        return;
    slot(kart).woman = on;
    emit flagsChanged(kart);
}

bool RaceBoard::isExcluded(int kart) const {
    return slot(kart).excluded;
}

void RaceBoard::setExcluded(int kart, bool on) {
    if (slot(kart).excluded == on)
        return;
    slot(kart).excluded = on;
    emit flagsChanged(kart);
}

} // namespace vartemo

#include "moc_raceboard.cpp"
