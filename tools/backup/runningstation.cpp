#include "runningstation.h"

#include "app/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <csignal>

namespace vartemo {

namespace {

QList<QByteArray> NulSeparated(const QString& procFile) {
    QFile f(procFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> items = f.readAll().split('\0');
    if (!items.isEmpty() && items.back().isEmpty())
        items.pop_back();
    return items;
}

// What ProgramFolder::resolve gave in the station's process.
QString FolderOf(const QString& proc, const QList<QByteArray>& args) {
    QString home;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "--home" && i + 1 < args.size())
            home = QFile::decodeName(args[i + 1]);
        else if (args[i].startsWith("--home="))
            home = QFile::decodeName(args[i].mid(7));
    }
    QString folder;
    if (!home.isEmpty()) {
        folder = home;
    } else {
        QHash<QByteArray, QString> env;
        for (const QByteArray& item : NulSeparated(proc + QStringLiteral("environ"))) {
            const qsizetype eq = item.indexOf('=');
            if (eq > 0)
                env.insert(item.left(eq), QFile::decodeName(item.mid(eq + 1)));
        }
        if (env.isEmpty())
            return {};
        if (!env.value("VARTEMO_HOME").isEmpty())
            folder = env.value("VARTEMO_HOME");
        else if (!env.value("XDG_DATA_HOME").isEmpty())
            folder = env.value("XDG_DATA_HOME") + QStringLiteral("/vartemo");
        else
            folder = env.value("HOME") + QStringLiteral("/.local/share/vartemo");
    }
    if (QDir::isRelativePath(folder))
        folder = QDir(QFileInfo(proc + QStringLiteral("cwd")).symLinkTarget()).filePath(folder);
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

QString RunningStationFolder() {
    // Read without taking the lock: a station starting now must not find it taken.
    QLockFile lock(QDir(SingleInstance::runtimeFolder()).filePath(SingleInstance::kLockFileName));
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return {};
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QList<QByteArray> args = NulSeparated(proc + QStringLiteral("cmdline"));
    // A lock left by a killed station whose number another process now has.
    if (args.isEmpty() || !args[0].endsWith("vartemo"))
        return {};
    const QString folder = FolderOf(proc, args);
    return folder.isEmpty() ? QStringLiteral("?") : folder;
}

} // namespace vartemo
