#include "platform/mixer.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cmath>

namespace vartemo {

namespace {
constexpr long kLevelTop = 65535;
const char* const kLineKeys[kMixerLineCount] = {"Master", "Wave", "Bass", "Treble"};
constexpr int kMaxChannels = 32;

QString Join(const auto& numbers) {
    QStringList parts;
    for (auto n : numbers)
        parts << QString::number(n);
    return parts.join(u',');
}

template <typename T> std::optional<std::vector<T>> Split(const QString& text) {
    std::vector<T> out;
    if (text.isEmpty())
        return out;
    const QStringList parts = text.split(u',');
    if (parts.size() > kMaxChannels)
        return std::nullopt;
    for (const QString& part : parts) {
        bool ok = false;
        const long long n = part.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        out.push_back(T(n));
    }
    return out;
}
} // namespace

long ScaleToElement(int level, long minimum, long maximum) {
    const long clamped = std::clamp<long>(level, 0, kLevelTop);
    return minimum + std::lround(double(clamped) * double(maximum - minimum) / double(kLevelTop));
}

int ScaleFromElement(long value, long minimum, long maximum) {
    if (maximum <= minimum)
        return 0;
    const long clamped = std::clamp(value, minimum, maximum);
    return int(std::lround(double(clamped - minimum) * double(kLevelTop) / double(maximum - minimum)));
}

// One line per element: "Master=12,12;1,1" (volumes; switches), absent elements left out.
bool WriteMixerValues(const QString& path, const MixerValues& values) {
    QByteArray text;
    for (int i = 0; i < kMixerLineCount; ++i) {
        const MixerElementValues& e = values[size_t(i)];
        if (!e.present)
            continue;
        text += QStringLiteral("%1=%2;%3\n").arg(QLatin1String(kLineKeys[i]), Join(e.volumes), Join(e.switches)).toLatin1();
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

std::optional<MixerValues> ReadMixerValues(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096)
        return std::nullopt;
    MixerValues values;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty())
            continue;
        const QString key = line.section(u'=', 0, 0);
        const QString volumes = line.section(u'=', 1).section(u';', 0, 0);
        const QString switches = line.section(u'=', 1).section(u';', 1);
        int index = -1;
        for (int i = 0; i < kMixerLineCount; ++i)
            if (key == QLatin1String(kLineKeys[i]))
                index = i;
        const auto v = Split<long>(volumes);
        const auto s = Split<int>(switches);
        if (index < 0 || !v || !s)
            return std::nullopt;
        values[size_t(index)] = MixerElementValues{true, *v, *s};
    }
    return values;
}

} // namespace vartemo
