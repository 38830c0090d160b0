#include "fleet/kartstatusfile.h"

#include "config/inifile.h"

#include <QDir>
#include <functional>
#include <optional>
#include <vector>

namespace vartemo {

namespace {

// One key of a kart's section: which field it holds, how it reads and writes.
struct KeyRow {
    enum class Kind { Integer, Flag, Text };
    QString key;
    Kind kind;
    std::function<int&(KartStatus&)> integer;   // Integer
    std::function<bool&(KartStatus&)> flag;     // Flag
    std::function<QString&(KartStatus&)> text;  // Text
    int fallback = 0;
    std::optional<FieldRange> range;            // clamped on loading
};

KeyRow integerKey(const QString& key, std::function<int&(KartStatus&)> field, int fallback,
                  std::optional<FieldRange> range) {
    return {key, KeyRow::Kind::Integer, std::move(field), {}, {}, fallback, range};
}
KeyRow flagKey(const QString& key, std::function<bool&(KartStatus&)> field) {
    return {key, KeyRow::Kind::Flag, {}, std::move(field), {}, 0, std::nullopt};
}
KeyRow textKey(const QString& key, std::function<QString&(KartStatus&)> field) {
    return {key, KeyRow::Kind::Text, {}, {}, std::move(field), 0, std::nullopt};
}

// The keys in the order a saved file holds them.
std::vector<KeyRow> buildKeyTable() {
    using namespace kartrange;
    std::vector<KeyRow> rows;
    rows.push_back(integerKey("PocatecniStavHod", [](KartStatus& k) -> int& { return k.initialHours; }, 0, kHours));
    rows.push_back(integerKey("PocatecniStavMin", [](KartStatus& k) -> int& { return k.initialMinutes; }, 0,
                              kInitialMinutes));
    for (int t = 0; t < kKartTasks; ++t)
        rows.push_back(flagKey(QStringLiteral("Ukol%1").arg(t + 1),
                               [t](KartStatus& k) -> bool& { return k.tasks[size_t(t)].enabled; }));
    rows.push_back(flagKey("Doplneni", [](KartStatus& k) -> bool& { return k.refuelNotice; }));
    // The counters are taken as they stand: no range.
    for (int t = 0; t < kKartTasks; ++t)
        rows.push_back(integerKey(QStringLiteral("Hlaseni%1").arg(t + 1),
                                  [t](KartStatus& k) -> int& { return k.tasks[size_t(t)].counter; }, 1,
                                  std::nullopt));
    for (int t = 0; t < kKartTasks; ++t) {
        rows.push_back(integerKey(QStringLiteral("UkolHodin%1").arg(t + 1),
                                  [t](KartStatus& k) -> int& { return k.tasks[size_t(t)].intervalHours; }, 0,
                                  kHours));
        rows.push_back(integerKey(QStringLiteral("UkolMinut%1").arg(t + 1),
                                  [t](KartStatus& k) -> int& { return k.tasks[size_t(t)].intervalMinutes; }, 0,
                                  kIntervalMinutes));
    }
    rows.push_back(integerKey("PrumernaSpotreba", [](KartStatus& k) -> int& { return k.consumption; }, 1,
                              kConsumption));
    rows.push_back(integerKey("ObsahNadrze", [](KartStatus& k) -> int& { return k.tank; }, 1, kTank));
    rows.push_back(integerKey("DoplneniPredem", [](KartStatus& k) -> int& { return k.refuelMargin; }, 1,
                              kRefuelMargin));
    rows.push_back(textKey("Najeto", [](KartStatus& k) -> QString& { return k.driven; }));
    for (int t = 0; t < kKartTasks; ++t)
        rows.push_back(textKey(QStringLiteral("Text%1").arg(t + 1),
                               [t](KartStatus& k) -> QString& { return k.tasks[size_t(t)].text; }));
    return rows;
}

const std::vector<KeyRow>& keyTable() {
    static const std::vector<KeyRow> rows = buildKeyTable();
    return rows;
}

} // namespace

QString KartSection(int kart) {
    return QStringLiteral("Motokara%1").arg(kart);
}

KartStatusRecords LoadKartStatus(const QString& path) {
    const IniFile ini = IniFile::fromFile(path);
    KartStatusRecords karts{};
    for (int k = 1; k <= kFleetKarts; ++k) {
        KartStatus& kart = karts[size_t(k - 1)];
        const QString section = KartSection(k);
        for (const KeyRow& row : keyTable()) {
            switch (row.kind) {
            case KeyRow::Kind::Integer: {
                const int value = ini.readInteger(section, row.key, row.fallback);
                row.integer(kart) = row.range ? row.range->clamp(value) : value;
                break;
            }
            case KeyRow::Kind::Flag:
                row.flag(kart) = ini.readBool(section, row.key, false);
                break;
            case KeyRow::Kind::Text:
                row.text(kart) = ini.readString(section, row.key, row.text(kart));
                break;
            }
        }
        for (KartTask& task : kart.tasks)
            WrapIntervalMinutes(task);
    }
    return karts;
}

bool SaveKartStatus(const QString& path, const KartStatusRecords& records, QString* error) {
    IniFile ini = IniFile::fromFile(path);
    KartStatusRecords karts = records; // the table's accessors take a mutable record
    for (int k = 1; k <= kFleetKarts; ++k) {
        KartStatus& kart = karts[size_t(k - 1)];
        const QString section = KartSection(k);
        for (const KeyRow& row : keyTable()) {
            switch (row.kind) {
            case KeyRow::Kind::Integer:
                ini.writeInteger(section, row.key, row.integer(kart));
                break;
            case KeyRow::Kind::Flag:
                ini.writeBool(section, row.key, row.flag(kart));
                break;
            case KeyRow::Kind::Text:
                ini.writeString(section, row.key, row.text(kart));
                break;
            }
        }
    }
    QString reason;
    if (ini.save(path, &reason))
        return true;
    if (error)
        *error = QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace vartemo
