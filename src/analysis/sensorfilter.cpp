#include "analysis/sensorfilter.h"

namespace vartemo {

namespace {
// The labels hold at most three characters of an identifier.
QString AsLabel(const QString& id) {
    return id.trimmed().left(3);
}
} // namespace

bool SensorFilter::shows(const QString& rawLabel) const {
    const QString label = rawLabel.trimmed();
    if (label == u"L")
        return true;
    for (int i = 0; i < kSensorCount; ++i) {
        const QString id = AsLabel(ids[size_t(i)]);
        if (!id.isEmpty() && id == label)
            return checked[size_t(i)];
    }
    bool matched = false;
    for (int i = 0; i < kSensorCount; ++i) {
        const QString id = AsLabel(ids[size_t(i)]);
        if (id.isEmpty() || !label.contains(id))
            continue;
        if (checked[size_t(i)])
            return true;
        matched = true;
    }
    return !matched;
}

} // namespace vartemo
