#include "platform/desktopentry.h"

namespace vartemo {

namespace {

// The escapes of a string value: what a line cannot hold, and the backslash.
QString EscapedString(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default: out += c; break;
        }
    }
    return out;
}

// One argument of Exec in double quotes; '%' would start a field code.
QString QuotedArgument(const QString& argument) {
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
        if (c == u'%')
            out += u'%';
    }
    return out + u'"';
}

} // namespace

QString DesktopEntryStartKeys(const QString& programPath, const QString& homeFolder) {
    const QString exec = QuotedArgument(programPath) + QStringLiteral(" --home ") + QuotedArgument(homeFolder);
    return QStringLiteral("Exec=") + EscapedString(exec) + QStringLiteral("\nPath=") + EscapedString(homeFolder) +
           u'\n';
}

} // namespace vartemo
