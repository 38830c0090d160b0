#include "platform/processorload.h"

#include <QFile>
#include <QStringList>

namespace vartemo {

namespace {

struct CpuTimes {
    quint64 total = 0;
    quint64 idle = 0;
};

std::optional<CpuTimes> parseCpuLine(const QString& line) {
    const QStringList fields = line.simplified().split(u' ');
    if (fields.size() < 5 || fields[0] != u"cpu")
        return std::nullopt;
    CpuTimes t;
    // user nice system idle iowait irq softirq steal; guest time is already
    // counted in user.
    for (int i = 1; i < fields.size() && i <= 8; ++i) {
        bool ok = false;
        const quint64 v = fields[i].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
        t.total += v;
        if (i == 4 || i == 5)
            t.idle += v;
    }
    return t;
}

} // namespace

ProcStatProcessorLoad::ProcStatProcessorLoad(QString statPath) : path_(std::move(statPath)) {}

std::optional<int> ProcStatProcessorLoad::loadBetween(const QString& before, const QString& after) {
    const auto a = parseCpuLine(before);
    const auto b = parseCpuLine(after);
    if (!a || !b || b->total <= a->total || b->idle < a->idle)
        return std::nullopt;
    const quint64 total = b->total - a->total;
    const quint64 idle = std::min(b->idle - a->idle, total);
    return int(((total - idle) * 100 + total / 2) / total);
}

std::optional<int> ProcStatProcessorLoad::sample() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QString line = QString::fromLatin1(file.readLine(4096));
    std::optional<int> load;
    if (!previous_.isEmpty())
        load = loadBetween(previous_, line);
    previous_ = line;
    return load;
}

} // namespace vartemo
