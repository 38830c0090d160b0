#include "backup/restoredfiles.h"

#include "backup/dosdate.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vartemo {

bool IsSafeStoredName(const QByteArray& name) {
    if (!name.startsWith('/') || name.contains('\0'))
        return false;
    // Every part between two slashes (and after the last) must be a real name.
    for (qsizetype start = 1; start <= name.size();) {
        qsizetype end = name.indexOf('/', start);
        if (end < 0)
            end = name.size();
        const QByteArrayView part(name.constData() + start, end - start);
        if (part.isEmpty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

unsigned NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool Within(const QString& path, const QString& root) {
    return root == QStringLiteral("/") || path == root || path.startsWith(root + u'/');
}

} // namespace

RestoredFiles::RestoredFiles(QString root) : root_(std::move(root)) {}

RestoredFiles::~RestoredFiles() {
    rollback();
}

bool RestoredFiles::makeFolder(const QString& relativeFolder, QString* realFolder) {
    if (realRoot_.isEmpty()) {
        if (!QDir().mkpath(root_))
            return false;
        realRoot_ = QFileInfo(root_).canonicalFilePath();
        if (realRoot_.isEmpty())
            return false;
    }
    QString folder = realRoot_;
    for (const QString& part : relativeFolder.split(u'/', Qt::SkipEmptyParts)) {
        const QString next = folder == QStringLiteral("/") ? u'/' + part : folder + u'/' + part;
        struct stat st {};
        if (::lstat(Native(next).constData(), &st) != 0) {
            if (::mkdir(Native(next).constData(), 0777) != 0)
                return false;
            madeFolders_ << next;
            folder = next;
            continue;
        }
        // An existing folder or link: where it really leads must stay inside.
        const QString real = QFileInfo(next).canonicalFilePath();
        if (real.isEmpty() || !QFileInfo(real).isDir() || !Within(real, realRoot_))
            return false;
        folder = real;
    }
    *realFolder = folder;
    return true;
}

bool RestoredFiles::start(const QString& folder, const QString& target, quint32 dosDate) {
    current_.close();
    struct stat st {};
    unsigned mode = NewFileMode();
    if (::lstat(Native(target).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return false;
        if (S_ISREG(st.st_mode))
            mode = st.st_mode & 07777;
    }
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".vartemo-obnova-XXXXXX")));
    temporary.setAutoRemove(false);
    if (!temporary.open())
        return false;
    files_.push_back({temporary.fileName(), target, dosDate, mode});
    temporary.close();
    current_.setFileName(files_.back().temporary);
    return current_.open(QIODevice::WriteOnly);
}

bool RestoredFiles::reopenCurrent() {
    if (files_.empty())
        return false;
    current_.setFileName(files_.back().temporary);
    return current_.open(QIODevice::WriteOnly | QIODevice::Append);
}

bool RestoredFiles::commit(QString* failedTarget) {
    current_.close();
    // One flush per file system for all the files, not one per file.
    QSet<dev_t> synced;
    for (const Pending& file : files_) {
        struct stat st {};
        if (::stat(Native(file.temporary).constData(), &st) != 0 || synced.contains(st.st_dev))
            continue;
        const int fd = ::open(Native(file.temporary).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
        synced.insert(st.st_dev);
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const Pending& file = files_[i];
        const QByteArray temporary = Native(file.temporary);
        ::chmod(temporary.constData(), file.mode);
        const QDateTime date = dosdate::ToDateTime(file.dosDate);
        if (date.isValid()) {
            const qint64 ms = date.toMSecsSinceEpoch();
            const timespec times[2] = {{0, UTIME_NOW}, {time_t(ms / 1000), long(ms % 1000) * 1000000L}};
            ::utimensat(AT_FDCWD, temporary.constData(), times, 0);
        }
        // rename replaces a link at the target itself, never what it points to.
        if (std::rename(temporary.constData(), Native(file.target).constData()) != 0) {
            *failedTarget = file.target;
            files_.erase(files_.begin(), files_.begin() + qsizetype(i));
            rollback();
            return false;
        }
    }
    files_.clear();
    madeFolders_.clear();
    return true;
}

void RestoredFiles::rollback() {
    current_.close();
    for (const Pending& file : files_)
        QFile::remove(file.temporary);
    files_.clear();
    for (auto it = madeFolders_.crbegin(); it != madeFolders_.crend(); ++it)
        ::rmdir(Native(*it).constData());
    madeFolders_.clear();
}

} // namespace vartemo
