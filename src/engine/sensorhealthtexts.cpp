#include "engine/sensorhealthtexts.h"

#include "core/czechplural.h"

#include <QStringList>
#include <algorithm>

namespace vartemo {

namespace {

QString Passings(qint64 n) {
    return czech::counted(n, u"průjezd", u"průjezdy", u"průjezdů");
}

QString Rejected(qint64 n) {
    return czech::counted(n, u"odmítnutý vstup", u"odmítnuté vstupy", u"odmítnutých vstupů");
}

// "5 průjezdů, 2 odmítnuté vstupy (neznámý kód 2)"
QString Figures(const SourceCounts& c) {
    static const char16_t* const kinds[kRejectionKinds] = {u"vadný rámec", u"neznámý kód",
                                                           u"neznámá adresa", u"příliš dlouhá dávka"};
    QString text = Passings(c.passings) + QStringLiteral(", ") + Rejected(c.rejectedTotal());
    QStringList why;
    for (int i = 0; i < kRejectionKinds; ++i)
        if (c.rejected[size_t(i)] > 0)
            why << QStringLiteral("%1 %2").arg(QString::fromUtf16(kinds[i])).arg(c.rejected[size_t(i)]);
    if (!why.isEmpty())
        text += QStringLiteral(" (") + why.join(QStringLiteral(", ")) + u')';
    return text;
}

} // namespace

QString SourceName(const SourceHealth& s) {
    switch (s.kind) {
    case SourceKind::Contact: return QStringLiteral("Čidlo %1").arg(s.number);
    case SourceKind::Serial: return QStringLiteral("Přijímač COM");
    case SourceKind::Infrared: return QStringLiteral("Infra přijímač %1").arg(s.number);
    case SourceKind::Network:
        return s.address == QLatin1String("*") ? QStringLiteral("Snímače dalších adres")
                                                : QStringLiteral("Snímač %1").arg(s.address);
    }
    return {};
}

QString SourceLabel(const SourceHealth& s) {
    switch (s.kind) {
    case SourceKind::Contact: return QString::number(s.number);
    case SourceKind::Serial: return QStringLiteral("COM");
    case SourceKind::Infrared: return QStringLiteral("IR%1").arg(s.number);
    case SourceKind::Network: {
        const qsizetype dot = s.address.lastIndexOf(u'.');
        return dot < 0 ? s.address : s.address.mid(dot);
    }
    }
    return {};
}

QString StuckContactText(int input) {
    return QStringLiteral("Čidlo %1 trvale sepnuto").arg(input);
}

QString AgoText(TimeUs elapsed) {
    const qint64 s = std::max<qint64>(elapsed / 1'000'000, 0);
    if (s < 120)
        return QStringLiteral("před %1 s").arg(s);
    if (s < 2 * 3600)
        return QStringLiteral("před %1 min").arg(s / 60);
    return QStringLiteral("před %1 h").arg(s / 3600);
}

QString SourceTooltip(const SensorHealth& health, int slot, TimeUs now) {
    const SourceHealth& s = health.source(slot);
    QStringList lines{SourceName(s)};
    if (const QString failure = health.failureOf(slot); !failure.isEmpty())
        lines << QStringLiteral("Nelze otevřít: ") + failure;
    if (s.stuck)
        lines << StuckContactText(s.number);
    lines << (s.lastHeard ? QStringLiteral("Naposledy slyšen ") + AgoText(now - *s.lastHeard)
                          : QStringLiteral("Dosud neslyšen"));
    lines << QStringLiteral("Jízda: ") + Figures(s.ride);
    lines << QStringLiteral("Od spuštění: ") + Figures(s.sinceStart);
    if (s.kind == SourceKind::Serial || s.kind == SourceKind::Infrared) {
        int count = 0;
        const auto listed = health.listedUnknownCodes(&count);
        QStringList codes;
        for (int i = 0; i < count; ++i)
            if (listed[size_t(i)]->kind == s.kind)
                codes << QStringLiteral("%1 (%2×)").arg(listed[size_t(i)]->code).arg(listed[size_t(i)]->rideCount);
        if (!codes.isEmpty())
            lines << QStringLiteral("Neznámé kódy v jízdě: ") + codes.join(QStringLiteral(", "));
    }
    return lines.join(u'\n');
}

} // namespace vartemo
