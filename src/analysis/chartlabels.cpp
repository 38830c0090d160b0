#include "analysis/chartlabels.h"

#include <array>
#include <cmath>

namespace vartemo::chartlabels {

QString TimeText(double ms) {
    if (!std::isfinite(ms))
        return QString();
    const double rounded = std::round(ms);
    // Beyond any chart's range the magnitude is clamped instead of overflowing.
    const double limit = 9.0e15;
    const auto magnitude = static_cast<quint64>(std::min(std::fabs(rounded), limit));
    const quint64 minutes = magnitude / 60'000;
    const auto seconds = static_cast<uint>(magnitude / 1000 % 60);
    const auto millis = static_cast<uint>(magnitude % 1000);
    return QStringLiteral("%1%2:%3:%4")
        .arg(rounded < 0 ? QStringLiteral("-") : QString())
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(millis, 3, 10, QLatin1Char('0'));
}

QString NumberText(double value) {
    if (!std::isfinite(value))
        return QString();
    const double thousandths = std::round(std::fabs(value) * 1000.0);
    const bool negative = value < 0 && thousandths > 0;
    const auto whole = static_cast<quint64>(std::floor(thousandths / 1000.0));
    auto fraction = static_cast<uint>(thousandths - static_cast<double>(whole) * 1000.0);
    QString digits = QString::number(whole);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u' ';
        grouped += digits[i];
    }
    if (fraction > 0) {
        QString decimals = QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0'));
        while (decimals.endsWith(u'0'))
            decimals.chop(1);
        grouped += u',' + decimals;
    }
    return negative ? u'-' + grouped : grouped;
}

QString ReadoutText(double timeMs, double lap) {
    return TimeText(timeMs) + QStringLiteral("  /  ") + NumberText(lap);
}

namespace {
QList<double> TicksWithStep(double min, double max, double step) {
    QList<double> ticks;
    for (double v = std::ceil(min / step) * step; v <= max + step * 1e-9; v += step)
        ticks.append(v);
    return ticks;
}

template <size_t N>
QList<double> TicksFromSteps(double min, double max, int maxCount, const std::array<double, N>& steps) {
    if (!(max >= min) || maxCount < 1 || !std::isfinite(min) || !std::isfinite(max))
        return {};
    const double span = max - min;
    for (double step : steps)
        if (span / step + 1 <= maxCount)
            return TicksWithStep(min, max, step);
    // Longer than every step: whole multiples of the last one.
    const double last = steps.back();
    const double factor = std::ceil(span / last / std::max(1, maxCount - 1));
    return TicksWithStep(min, max, last * factor);
}
} // namespace

QList<double> TimeTicks(double min, double max, int maxCount) {
    // Milliseconds, seconds and minutes in steps a reader counts easily.
    static constexpr std::array<double, 21> steps = {
        1, 2, 5, 10, 20, 50, 100, 200, 500,                       // ms
        1'000, 2'000, 5'000, 10'000, 15'000, 30'000,               // s
        60'000, 120'000, 300'000, 600'000, 1'800'000, 3'600'000};  // min
    return TicksFromSteps(min, max, maxCount, steps);
}

QList<double> LapTicks(double min, double max, int maxCount) {
    static constexpr std::array<double, 13> steps = {1, 2, 5, 10, 20, 50, 100, 200, 500,
                                                     1000, 2000, 5000, 10000};
    return TicksFromSteps(min, max, maxCount, steps);
}

} // namespace vartemo::chartlabels
