#include "core/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace vartemo {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                    file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

bool writeFileIfMissing(const QString& path, const std::function<std::optional<QByteArray>()>& make) {
    if (QFileInfo::exists(path))
        return true;
    const std::optional<QByteArray> bytes = make();
    return bytes && QDir().mkpath(QFileInfo(path).absolutePath()) && writeFileAtomically(path, *bytes);
}

} // namespace vartemo
