#include "core/conversionerror.h"

#include <limits>

namespace vartemo {

namespace {
std::string describe(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString();
}
} // namespace

ConversionError::ConversionError(const QString& text) : std::runtime_error(describe(text)), text_(text) {}

QString ConversionError::message() const {
    return QString::fromStdString(what());
}

qint64 StrToInt64(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    // Only plain decimal digits with an optional sign: QString::toLongLong would
    // also take "0x" prefixes and blanks in the middle in some locales.
    int i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool digits = i < t.size();
    for (int j = i; j < t.size(); ++j)
        digits = digits && t[j] >= u'0' && t[j] <= u'9';
    const qint64 value = digits ? t.toLongLong(&ok, 10) : 0;
    if (!ok)
        throw ConversionError(text);
    return value;
}

int StrToInt(const QString& text) {
    const qint64 value = StrToInt64(text);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw ConversionError(text);
    return static_cast<int>(value);
}

} // namespace vartemo
