#include "analysis/resultsfileeditor.h"

#include "core/czechformats.h"
#include "core/czechplural.h"
#include "core/textfile.h"
#include "engine/lapfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vartemo {

namespace {

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

qint64 MtimeNs(const struct stat& st) {
    return qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

// Reads a regular file of at most limit bytes. Opened without blocking, so
// that a pipe or a device never holds the station up; only then is it
// looked at, so what is read is what was checked.
struct ReadResult {
    enum Kind { Read, Missing, NotRegular, TooLarge, Failed } kind = Failed;
    QByteArray bytes;
    struct stat st {};
    int error = 0;
};

ReadResult ReadRegularFile(const QString& path, qint64 limit) {
    ReadResult r;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        r.error = errno;
        r.kind = errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
        return r;
    }
    if (::fstat(fd, &r.st) != 0) {
        r.error = errno;
        ::close(fd);
        return r;
    }
    if (!S_ISREG(r.st.st_mode)) {
        r.kind = ReadResult::NotRegular;
        ::close(fd);
        return r;
    }
    if (r.st.st_size > limit) {
        r.kind = ReadResult::TooLarge;
        ::close(fd);
        return r;
    }
    // One byte more than the limit tells a file that grew since fstat.
    r.bytes.resize(qsizetype(limit) + 1);
    qsizetype got = 0;
    while (got < r.bytes.size()) {
        const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(r.bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            r.error = errno;
            ::close(fd);
            return r;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    if (got > limit) {
        r.kind = ReadResult::TooLarge;
        return r;
    }
    r.bytes.resize(got);
    r.kind = ReadResult::Read;
    return r;
}

QString SizeText(qint64 bytes) {
    return QStringLiteral("%1 Bytu").arg(bytes);
}

QString DateText(const struct stat& st) {
    return czech::dateTime(QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec));
}

} // namespace

void ResultsFileEditor::clear() {
    loaded_.clear();
    loadedStamp_ = {};
    labels_ = {};
    lines_.clear();
}

QString ResultsFileEditor::select(const QString& chosen) {
    const QString path = chosen; // chosen may be one of the members cleared below
    selected_ = path;
    clear();
    if (path.isEmpty() || QFileInfo(path).isDir())
        return {};
    const ReadResult r = ReadRegularFile(path, kMaxLoadBytes);
    const QString name = QFileInfo(path).fileName();
    switch (r.kind) {
    case ReadResult::Missing:
        return {};
    case ReadResult::Failed:
        return QStringLiteral("Soubor %1 nelze přečíst: %2").arg(name, Reason(r.error));
    case ReadResult::NotRegular:
        return QStringLiteral("%1 není obyčejný soubor, editor ho neotevře.").arg(name);
    case ReadResult::TooLarge:
        labels_.name = name;
        labels_.size = SizeText(r.st.st_size);
        labels_.date = DateText(r.st);
        return QStringLiteral("Soubor %1 má %2. Editor otevírá soubory do %3, tento soubor proto nenačetl.")
            .arg(name, czech::counted(r.st.st_size, u"bajt", u"bajty", u"bajtů"),
                 czech::counted(kMaxLoadBytes, u"bajt", u"bajty", u"bajtů"));
    case ReadResult::Read:
        break;
    }
    lines_ = textfile::splitLines(textfile::decode(r.bytes));
    loaded_ = path;
    loadedStamp_ = {qint64(r.st.st_size), MtimeNs(r.st)};
    labels_.name = name;
    labels_.size = SizeText(r.st.st_size);
    labels_.count = QString::number(lines_.size());
    labels_.date = DateText(r.st);
    return {};
}

void ResultsFileEditor::replaceLine(int row, const QString& text) {
    if (row >= 0 && row < lines_.size())
        lines_[row] = text;
}

void ResultsFileEditor::insertLine(int row, const QString& text) {
    if (row >= 0 && row < lines_.size())
        lines_.insert(row, text);
    else
        lines_.append(text);
}

void ResultsFileEditor::deleteLine(int row) {
    if (row >= 0 && row < lines_.size())
        lines_.removeAt(row);
}

bool ResultsFileEditor::StampOf(const QString& path, Stamp* stamp) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *stamp = {qint64(st.st_size), MtimeNs(st)};
    return true;
}

QString ResultsFileEditor::StaleFileMessage() {
    return QStringLiteral("Soubor se od načtení změnil (jiný program jej přepsal nebo se ještě "
                          "kopíroval). Změny nebyly uloženy, soubor je načten znovu.");
}

QString ResultsFileEditor::saveChanges() {
    if (loaded_.isEmpty())
        return {};
    Stamp now;
    if (!StampOf(loaded_, &now) || !(now == loadedStamp_)) {
        const QString path = loaded_;
        const QString problem = select(path);
        return problem.isEmpty() ? StaleFileMessage() : StaleFileMessage() + u'\n' + problem;
    }
    QString error;
    if (!lapfiles::Save(loaded_, lines_, &error))
        return error;
    return select(loaded_);
}

QString ResultsFileEditor::saveAs(const QString& path) {
    QString error;
    if (!lapfiles::Save(path, lines_, &error))
        return error;
    return select(path);
}

QString ResultsFileEditor::deleteSelected() {
    if (selected_.isEmpty() || !QFileInfo(selected_).isFile())
        return {};
    QFile file(selected_);
    QString message;
    if (!file.remove())
        message = QStringLiteral("Soubor %1 nelze smazat: %2").arg(QFileInfo(selected_).fileName(), file.errorString());
    const QString path = selected_;
    const QString more = select(path);
    return message.isEmpty() ? more : message;
}

QString ResultsFileEditor::DefaultSaveName(const QDateTime& when) {
    QString text = QStringLiteral("Kara_") + czech::dateTime(when);
    for (qsizetype i = 5; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9')
            text[i] = u'_';
    return text;
}

} // namespace vartemo
