#include "publishing/ftpendpoint.h"

#include "config/passwordcodec.h"

namespace vartemo {

FtpEndpoint::~FtpEndpoint() {
    WipeText(password);
    WipeText(proxyPassword);
}

HostAndPort SplitHostPort(const QString& text, int defaultPort) {
    const QString trimmed = text.trimmed();
    HostAndPort result{trimmed, defaultPort};
    QString portText;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0)
            return result;
        result.name = trimmed.mid(1, close - 1);
        if (trimmed.mid(close + 1).startsWith(u':'))
            portText = trimmed.mid(close + 2);
    } else if (trimmed.count(u':') == 1) {
        const qsizetype colon = trimmed.indexOf(u':');
        result.name = trimmed.left(colon);
        portText = trimmed.mid(colon + 1);
    }
    if (!portText.isEmpty()) {
        bool ok = false;
        const int port = portText.toInt(&ok);
        result.port = ok && port >= 1 && port <= 65535 ? port : 0;
    }
    return result;
}

} // namespace vartemo
