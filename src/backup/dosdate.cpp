#include "backup/dosdate.h"

#include <limits>

namespace vartemo::dosdate {

namespace {
constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2107;

quint32 Pack(const QDate& d, const QTime& t) {
    return quint32(d.year() - kFirstYear) << 25 | quint32(d.month()) << 21 | quint32(d.day()) << 16 |
           quint32(t.hour()) << 11 | quint32(t.minute()) << 5 | quint32(t.second() / 2);
}
} // namespace

quint32 FromDateTime(const QDateTime& dateTime) {
    const QDateTime local = dateTime.toLocalTime();
    const QDate date = local.date();
    if (!local.isValid() || date.year() < kFirstYear)
        return Pack(QDate(kFirstYear, 1, 1), QTime(0, 0));
    if (date.year() > kLastYear)
        return Pack(QDate(kLastYear, 12, 31), QTime(23, 59, 58));
    return Pack(date, local.time());
}

quint32 FromMsecsSinceEpoch(qint64 ms) {
    return FromDateTime(QDateTime::fromMSecsSinceEpoch(ms));
}

QDateTime ToDateTime(quint32 packed) {
    const QDate date(int(packed >> 25) + kFirstYear, int(packed >> 21 & 0xF), int(packed >> 16 & 0x1F));
    const QTime time(int(packed >> 11 & 0x1F), int(packed >> 5 & 0x3F), int(packed & 0x1F) * 2);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QString ToText(quint32 packed) {
    return QString::number(qint32(packed));
}

std::optional<quint32> FromText(QStringView text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return quint32(value);
}

} // namespace vartemo::dosdate
