#include "backup/fileselection.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace vartemo {

namespace {

const QString kRecurseSwitch = QStringLiteral(" /s");

class Selection {
public:
    explicit Selection(const std::function<bool(const QString&)>& excluded) : excluded_(excluded) {}

    void addMask(QString mask) {
        const bool recurse = mask.endsWith(kRecurseSwitch);
        if (recurse)
            mask.chop(kRecurseSwitch.size());
        const QFileInfo info(mask.trimmed());
        addFolder(info.absolutePath(), info.fileName(), recurse);
    }

    QStringList files;

private:
    void addFolder(const QString& folder, const QString& pattern, bool recurse) {
        const QDir dir(folder);
        // DOS's "*.*" is every name; QDir's would want a dot.
        const QString filter = pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
        const auto entries = dir.entryInfoList({filter},
                                               QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive,
                                               QDir::Name);
        for (const QFileInfo& entry : entries)
            add(entry);
        if (!recurse)
            return;
        const auto subfolders = dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                                  QDir::Name);
        for (const QFileInfo& sub : subfolders)
            addFolder(sub.absoluteFilePath(), pattern, true);
    }

    void add(const QFileInfo& entry) {
        // System brings sockets, pipes and broken links along with hidden files.
        if (!entry.isFile())
            return;
        const QString path = QDir::cleanPath(entry.absoluteFilePath());
        if (seen_.contains(path) || excluded_(entry.canonicalFilePath()))
            return;
        seen_.insert(path);
        files << path;
    }

    const std::function<bool(const QString&)>& excluded_;
    QSet<QString> seen_;
};

} // namespace

QStringList SelectFiles(const QStringList& masks, const std::function<bool(const QString&)>& excluded) {
    Selection selection(excluded);
    for (const QString& mask : masks)
        if (!mask.trimmed().isEmpty())
            selection.addMask(mask);
    return selection.files;
}

} // namespace vartemo
