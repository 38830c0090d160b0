#include "logbook/programlog.h"

#include "core/czechformats.h"
#include "core/textfile.h"

#include <QFileInfo>

namespace vartemo {

QString StatusLine(int code, bool ok) {
    return QStringLiteral("Status\t%1\t%2").arg(code, 6, 10, QChar(u'0')).arg(ok ? u"OK" : u"Error");
}

ProgramLog::ProgramLog(QString filePath) : path_(std::move(filePath)) {}

void ProgramLog::setLine(StartupLine line, const QString& text) {
    lines_[static_cast<size_t>(line) - 1] = text;
}

QString ProgramLog::line(StartupLine line) const {
    return lines_[static_cast<size_t>(line) - 1];
}

void ProgramLog::setStart(const QDateTime& when) {
    setLine(StartupLine::Start, QStringLiteral("[ Start ") + czech::dateTime(when) + QStringLiteral(" ]"));
}

bool ProgramLog::addError(const QDateTime& when, const QString& text, QString* error) {
    const QString line = QStringLiteral("Error\t") + czech::dateTime(when) + u'\t' + text.simplified();
    if (!written_) {
        errors_ << line;
        return true;
    }
    return textfile::appendLines(path_, {line}, error);
}

QStringList ProgramLog::block(const QDateTime& end) const {
    QStringList out(lines_.begin(), lines_.end());
    out += systemInfo_;
    out += errors_;
    out.append(QStringLiteral("[ End ") + czech::dateTime(end) + QStringLiteral(" ]"));
    out.append(QString());
    return out;
}

bool ProgramLog::WriteProgramLog(const QDateTime& end, QString* error) {
    const QStringList lines = block(end);
    const QFileInfo info(path_);
    written_ = info.exists() && info.size() > kMaxBytes ? textfile::writeLines(path_, lines, error)
                                                         : textfile::appendLines(path_, lines, error);
    return written_;
}

} // namespace vartemo
