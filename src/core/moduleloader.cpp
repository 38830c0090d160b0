#include "core/moduleloader.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <map>
#include <mutex>

namespace vartemo::modules {

namespace {

std::mutex& LoadedLock() {
    static std::mutex lock;
    return lock;
}

// The libraries loaded so far; a module that failed is looked for again at
// its next use.
std::map<QString, std::unique_ptr<QLibrary>>& LoadedModules() {
    static std::map<QString, std::unique_ptr<QLibrary>> loaded;
    return loaded;
}

QString FileName(const QString& module) {
    return module + QStringLiteral(".so");
}

std::mutex& FoldersLock() {
    static std::mutex lock;
    return lock;
}

QStringList& ChosenFolders() {
    static QStringList folders;
    return folders;
}

} // namespace

void SetSearchFolders(const QStringList& folders) {
    std::scoped_lock guard(LoadedLock(), FoldersLock());
    ChosenFolders() = folders;
    // Looked for again in the new folders; what was loaded stays in memory
    // (a QLibrary does not unload at its end).
    LoadedModules().clear();
}

QStringList SearchFolders() {
    {
        std::lock_guard guard(FoldersLock());
        if (!ChosenFolders().isEmpty())
            return ChosenFolders();
    }
    // The program's own file, whether or not an application object exists yet.
    const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return {programFolder, QDir::cleanPath(programFolder + u'/' + QStringLiteral(VARTEMO_MODULE_FOLDER_FROM_PROGRAM))};
}

QString Find(const QString& module) {
    for (const QString& folder : SearchFolders()) {
        const QFileInfo file(QDir(folder), FileName(module));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

EntryFunction Entry(const QString& module, const char* entry, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    std::lock_guard guard(LoadedLock());
    std::unique_ptr<QLibrary>& library = LoadedModules()[module];
    if (!library) {
        const QString file = Find(module);
        if (file.isEmpty())
            return fail(QStringLiteral("Modul %1 nebyl nalezen (hledáno v %2)")
                            .arg(FileName(module), SearchFolders().join(QStringLiteral(", "))));
        auto candidate = std::make_unique<QLibrary>(file);
        if (!candidate->load())
            return fail(QStringLiteral("Modul %1 nelze načíst: %2").arg(file, candidate->errorString()));
        library = std::move(candidate);
    }
    const EntryFunction function = library->resolve(entry);
    if (!function)
        return fail(QStringLiteral("Modul %1 nemá vstup %2").arg(library->fileName(), QString::fromLatin1(entry)));
    return function;
}

} // namespace vartemo::modules
