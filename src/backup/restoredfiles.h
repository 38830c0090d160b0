#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

namespace vartemo {

// A stored name is an absolute path with no empty, "." or ".." part and no
// NUL byte; anything else marks a damaged archive.
bool IsSafeStoredName(const QByteArray& name);

// The files of one restore, all or nothing: each is written to a temporary
// file beside its target and only after the whole archive has been read are
// they flushed to the disk once, dated and renamed over their targets. On
// an error or a stop the temporaries and the folders made for them go.
class RestoredFiles {
public:
    // root: the folder no target may lead out of ("/" for the stored places).
    explicit RestoredFiles(QString root);
    ~RestoredFiles();
    RestoredFiles(const RestoredFiles&) = delete;
    RestoredFiles& operator=(const RestoredFiles&) = delete;

    // The folder a target below root goes to, made as needed. Every folder on
    // the way must stay within root's real path; a link that leads out of it
    // fails. relativeFolder: "" or a path relative to root.
    bool makeFolder(const QString& relativeFolder, QString* realFolder);

    // A new temporary file for target (in folder) to write the content to;
    // the file stays open as current() until the next one starts.
    bool start(const QString& folder, const QString& target, quint32 dosDate);
    QFile* current() { return current_.isOpen() ? &current_ : nullptr; }
    // The current file continues after a part switch.
    bool reopenCurrent();
    void closeCurrent() { current_.close(); }

    // Flush, date and rename every file. False (with the failing target) when
    // one cannot be put in place; the rest are then dropped.
    bool commit(QString* failedTarget);
    void rollback();
    int count() const { return int(files_.size()); }

private:
    struct Pending {
        QString temporary;
        QString target;
        quint32 dosDate;
        unsigned mode;
    };
    std::vector<Pending> files_;
    QStringList madeFolders_;
    QString root_;
    QString realRoot_;
    QFile current_;
};

} // namespace vartemo
