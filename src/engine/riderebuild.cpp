#include "engine/riderebuild.h"

#include "engine/timetext.h"

#include <QFile>

namespace vartemo {

using journal::Record;

namespace {

constexpr char kWallFormat[] = "yyyy-MM-ddTHH:mm:ss.zzz";

QString WallText(const QDateTime& wall) {
    return wall.toString(QString::fromLatin1(kWallFormat));
}

QDateTime WallOf(const QString& text) {
    return QDateTime::fromString(text, QString::fromLatin1(kWallFormat));
}

QString Bits(const std::array<bool, kKartCount>& bits) {
    QString text;
    for (bool b : bits)
        text += b ? u'1' : u'0';
    return text;
}

std::array<bool, kKartCount> BitsOf(const QString& text) {
    std::array<bool, kKartCount> bits{};
    for (int i = 0; i < kKartCount && i < text.size(); ++i)
        bits[size_t(i)] = text[i] == u'1';
    return bits;
}

QString Key(const char* stem, int kart) {
    return QString::fromLatin1(stem) + QString::number(kart);
}

QByteArray KeyBytes(const char* stem, int kart) {
    return Key(stem, kart).toLatin1();
}

const std::array<std::pair<StopStep, const char*>, 4> kStepNames = {{
    {StopStep::OperatingTimes, "operating"},
    {StopStep::BestTwenty, "besttwenty"},
    {StopStep::Print, "print"},
    {StopStep::Price, "price"},
}};

// A kart number in a record, 0 when it is not 1..8.
int KartOf(const Record& r) {
    const qint64 k = r.number("kart");
    return k >= 1 && k <= kKartCount ? int(k) : 0;
}

size_t idx(int kart) {
    return size_t(kart - 1);
}

} // namespace

QString StopStepName(StopStep step) {
    for (const auto& [s, name] : kStepNames)
        if (s == step)
            return QString::fromLatin1(name);
    return {};
}

namespace riderecords {

Record Start(const RideSettings& s) {
    Record r("START");
    r.add("wall", WallText(s.startWall)).add("origin", s.originUs).add("boot", s.bootId);
    r.add("unit", s.countsMinutes ? QStringLiteral("min") : QStringLiteral("laps")).add("length", s.length);
    r.add("minlap", s.minLapMs).add("lapsensor", s.lapSensor);
    for (int k = 1; k <= kKartCount; ++k) {
        r.add(KeyBytes("corr", k), s.correctionMs[idx(k)]);
        r.add(KeyBytes("code", k), s.firstCode[idx(k)]);
        r.add(KeyBytes("code2_", k), s.secondCode[idx(k)]);
        r.add(KeyBytes("name", k), s.drivers.names[idx(k)]);
    }
    r.add("woman", Bits(s.drivers.woman)).add("out", Bits(s.drivers.excluded));
    return r;
}

Record Lap(int kart, TimeUs stampUs, TimeUs raceUs, TimeMs lap, const QString& line) {
    return Record("LAP").add("kart", kart).add("sensor", QStringLiteral("L")).add("stamp", stampUs)
        .add("t", raceUs).add("ms", lap).add("line", line);
}

Record Split(int kart, const QString& label, TimeUs stampUs, TimeUs raceUs, TimeMs split,
             const QString& line) {
    return Record("SPLIT").add("kart", kart).add("sensor", label).add("stamp", stampUs)
        .add("t", raceUs).add("ms", split).add("line", line);
}

Record List(int kart, BoardList list, const QStringList& lines) {
    return Record("LIST").add("kart", kart)
        .add("list", list == BoardList::Lap ? QStringLiteral("lap") : QStringLiteral("track"))
        .add("lines", lines.join(u'\n')).add("count", lines.size());
}

Record Flags(int kart, bool woman, bool excluded) {
    return Record("FLAGS").add("kart", kart).add("woman", woman ? 1 : 0).add("out", excluded ? 1 : 0);
}

Record Name(int kart, const QString& name) {
    return Record("NAME").add("kart", kart).add("name", name);
}

Record Length(bool countsMinutes, int length) {
    return Record("LENGTH").add("unit", countsMinutes ? QStringLiteral("min") : QStringLiteral("laps"))
        .add("length", length);
}

Record Resume(const QDateTime& wall, const QString& bootId, TimeUs originUs, TimeUs raceUs,
              qint64 outageMs) {
    return Record("RESUME").add("wall", WallText(wall)).add("boot", bootId).add("origin", originUs)
        .add("t", raceUs).add("outage", outageMs);
}

Record Stop(const QDateTime& wall, int minutes, int seconds) {
    return Record("STOP").add("wall", WallText(wall)).add("min", minutes).add("sec", seconds);
}

Record Done(StopStep step) {
    return Record("DONE").add("step", StopStepName(step));
}

Record Close(const QDateTime& wall) {
    return Record("CLOSE").add("wall", WallText(wall));
}

Record Abandon(const QDateTime& wall) {
    return Record("ABANDON").add("wall", WallText(wall));
}

} // namespace riderecords

std::optional<RebuiltRide> RebuildRide(const QList<Record>& records, QString* error) {
    std::optional<RebuiltRide> ride;
    for (const Record& r : records) {
        if (r.type == "START") {
            if (ride)
                break; // a second ride never follows in one journal
            RideSettings s;
            s.startWall = WallOf(r.value("wall"));
            s.originUs = r.number("origin");
            s.bootId = r.value("boot");
            s.countsMinutes = r.value("unit") != QStringLiteral("laps");
            s.length = int(r.number("length"));
            s.minLapMs = int(r.number("minlap"));
            s.lapSensor = r.value("lapsensor");
            for (int k = 1; k <= kKartCount; ++k) {
                s.correctionMs[idx(k)] = int(r.number(KeyBytes("corr", k)));
                s.firstCode[idx(k)] = r.value(KeyBytes("code", k));
                s.secondCode[idx(k)] = r.value(KeyBytes("code2_", k));
                s.drivers.names[idx(k)] = r.value(KeyBytes("name", k));
            }
            s.drivers.woman = BitsOf(r.value("woman"));
            s.drivers.excluded = BitsOf(r.value("out"));
            ride.emplace();
            ride->start = s;
            ride->drivers = s.drivers;
            ride->countsMinutes = s.countsMinutes;
            ride->length = s.length;
            ride->originUs = s.originUs;
            ride->bootId = s.bootId;
            continue;
        }
        if (!ride)
            continue;
        RebuiltRide& x = *ride;
        // After its STOP began, a ride's board is what the STOP found.
        const bool stopping = x.stop.has_value();
        const int kart = KartOf(r);
        if (r.type == "LAP" || r.type == "SPLIT") {
            if (!kart || stopping)
                continue;
            const TimeUs t = r.number("t");
            const TimeMs ms = r.number("ms");
            if (r.type == "LAP") {
                x.laps[idx(kart)] << FormatTimeText(ms);
                x.track[idx(kart)] << RaceBoard::TrackLapLine(ms);
                x.lapMark[idx(kart)] = t;
            } else {
                x.track[idx(kart)] << RaceBoard::SplitLine(r.value("sensor"), ms);
                x.splitMark[idx(kart)] = t;
            }
            ++x.passings;
            x.lastPassingUs = std::max(x.lastPassingUs, t);
            x.lastAliveUs = std::max(x.lastAliveUs, t);
        } else if (r.type == "LIST" && kart && !stopping) {
            const QString text = r.value("lines");
            const QStringList lines = r.number("count") == 0 ? QStringList() : text.split(u'\n');
            (r.value("list") == QStringLiteral("lap") ? x.laps : x.track)[idx(kart)] = lines;
        } else if (r.type == "FLAGS" && kart && !stopping) {
            x.drivers.woman[idx(kart)] = r.number("woman") != 0;
            x.drivers.excluded[idx(kart)] = r.number("out") != 0;
        } else if (r.type == "NAME" && kart && !stopping) {
            x.drivers.names[idx(kart)] = r.value("name");
        } else if (r.type == "LENGTH" && !stopping) {
            x.countsMinutes = r.value("unit") != QStringLiteral("laps");
            x.length = int(r.number("length"));
        } else if (r.type == "RESUME") {
            x.originUs = r.number("origin");
            x.bootId = r.value("boot");
            x.outagesMs << r.number("outage");
            x.lastAliveUs = std::max(x.lastAliveUs, r.number("t"));
        } else if (r.type == "STOP" && !stopping) {
            x.stop = RideStop{WallOf(r.value("wall")), int(r.number("min")), int(r.number("sec")), {}};
        } else if (r.type == "DONE" && stopping) {
            for (const auto& [step, name] : kStepNames)
                if (r.value("step") == QLatin1String(name))
                    x.stop->done.insert(step);
        } else if (r.type == "CLOSE") {
            x.closed = true;
        } else if (r.type == "ABANDON") {
            x.closed = x.abandoned = true;
        }
    }
    if (!ride && error)
        *error = QStringLiteral("záznam neobsahuje začátek jízdy");
    return ride;
}

ResumePoint ResumeAfterOutage(const RebuiltRide& ride, TimeUs nowUs, const QDateTime& nowWall,
                              const QString& bootId) {
    ResumePoint p;
    if (!bootId.isEmpty() && bootId == ride.bootId) {
        p.originUs = ride.originUs;
    } else {
        // Another boot: the monotonic clock began anew; the wall clock bridges.
        p.originUs = nowUs - ride.start.startWall.msecsTo(nowWall) * 1000;
    }
    p.outageMs = std::max<qint64>(0, FloorToMs(nowUs - p.originUs - ride.lastAliveUs));
    return p;
}

QString OutageText(qint64 ms) {
    const qint64 s = ms / 1000;
    const QString minSec = QStringLiteral("%1 min %2 s").arg(s / 60 % 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return s >= 3600 ? QStringLiteral("%1 h ").arg(s / 3600) + minSec : minSec;
}

QStringList ReplayText(const RebuiltRide& ride) {
    QStringList out;
    out << QStringLiteral("# jízda %1, %2 %3%4")
               .arg(ride.start.startWall.toString(QStringLiteral("d.M.yyyy H:mm:ss")))
               .arg(ride.length)
               .arg(ride.countsMinutes ? QStringLiteral("minut") : QStringLiteral("kol"))
               .arg(ride.abandoned ? QStringLiteral(", ukončena bez uložení")
                    : ride.closed  ? QStringLiteral(", ukončena")
                                   : QStringLiteral(", neukončena"));
    for (qint64 outage : ride.outagesMs)
        out << QStringLiteral("# výpadek stanice %1").arg(OutageText(outage));
    for (int k = 1; k <= kKartCount; ++k) {
        if (ride.laps[idx(k)].isEmpty() && ride.track[idx(k)].isEmpty())
            continue;
        out << QStringLiteral("motokára %1: %2").arg(k).arg(ride.drivers.names[idx(k)]);
        out << ride.laps[idx(k)];
        if (!ride.track[idx(k)].isEmpty()) {
            out << QStringLiteral("dráha %1:").arg(k);
            out << ride.track[idx(k)];
        }
    }
    return out;
}

QString CurrentBootId() {
    QFile f(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll().trimmed());
}

} // namespace vartemo
