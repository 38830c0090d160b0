#include "platform/comportname.h"

#include <QRegularExpression>

namespace vartemo {

QString ComPortDevicePath(const QString& portName) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(portName.trimmed());
    if (m.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(m.captured(1).toInt() - 1);
    return portName.trimmed();
}

} // namespace vartemo
