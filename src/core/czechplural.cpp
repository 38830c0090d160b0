#include "core/czechplural.h"

namespace vartemo::czech {

QStringView pluralForm(qint64 count, QStringView one, QStringView twoToFour, QStringView other) {
    // A minus sign does not change the form ("-2 stupně").
    const qint64 magnitude = count < 0 ? -count : count;
    if (magnitude == 1)
        return one;
    if (magnitude >= 2 && magnitude <= 4)
        return twoToFour;
    return other;
}

QString counted(qint64 count, QStringView one, QStringView twoToFour, QStringView other) {
    return QString::number(count) + u' ' + pluralForm(count, one, twoToFour, other).toString();
}

} // namespace vartemo::czech
