#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace vartemo {

// The archive attribute of the files a backup takes: a file's attribute is
// set when it changed (modification time or size) since it was last in a
// completed backup. Clearing it records the file's time and size in a list
// kept in the program folder, one "path TAB mtime-ms TAB size" line per file.
class ArchiveFlags {
public:
    static constexpr const char* kFileName = "zalohovano.lst";

    struct Stamp {
        QString path;
        qint64 mtimeMs = 0;
        qint64 size = 0;
    };

    // listPath: the record file; empty keeps no record (every file counts
    // as changed, nothing is recorded).
    explicit ArchiveFlags(QString listPath);

    bool isSet(const Stamp& current) const;
    // Clears the attribute of these files: adds or updates their lines and
    // writes the list atomically.
    bool clear(const std::vector<Stamp>& stamps, QString* error = nullptr);

private:
    void load();

    QString listPath_;
    QHash<QString, Stamp> recorded_;
};

} // namespace vartemo
