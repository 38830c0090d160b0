#include "analysis/kartseries.h"

#include "analysis/splitline.h"
#include "core/conversionerror.h"
#include "engine/timetext.h"

namespace vartemo {

KartPoints BuildKartPoints(const QStringList& lines, ChartKind kind, const SensorFilter* filter) {
    KartPoints result;
    result.points.reserve(lines.size() + 1);
    for (const QString& line : lines) {
        QString timeText = line;
        bool shown = true;
        if (kind == ChartKind::Splits) {
            const SplitLine split = SplitLine::Parse(line);
            timeText = split.time;
            shown = !filter || filter->shows(split.label);
        }
        TimeMs ms = 0;
        try {
            ms = ParseTimeText(timeText);
        } catch (const ConversionError& e) {
            result.error = e.message();
            break;
        }
        // The lead point comes from the first line, shown or not.
        if (result.points.isEmpty())
            result.points.append(QPointF(0, double(ms) - 1));
        if (shown)
            result.points.append(QPointF(double(result.points.size()), double(ms)));
    }
    return result;
}

} // namespace vartemo
