#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vartemo {

// The saved lap-time files as the settings' results editor sees them: the
// selected file's lines, corrected line by line and written back only to the
// file they came from (or to a new one). The lines are plain text; the
// editor does not check them.
class ResultsFileEditor {
public:
    // Files larger than this are described, not loaded.
    static constexpr qint64 kMaxLoadBytes = 1024 * 1024;

    // The info labels lbJmeno, lbVelikost, lbpocetvysledku, Datum_Cas.
    struct Labels {
        QString name = QStringLiteral("vyberte soubor");
        QString size = QStringLiteral("0 Bytu");
        QString count = QStringLiteral("0");
        QString date;
    };

    // The tree's selection changed to path (also after saving and deleting).
    // A folder or a missing path gives the "vyberte soubor" state; a file
    // that is not a regular one or is too large is described but not loaded.
    // Returns what the operator must be told (empty when nothing).
    QString select(const QString& path);

    const QString& selectedPath() const { return selected_; }
    // The file the lines came from; empty when none was loaded.
    const QString& loadedPath() const { return loaded_; }
    const Labels& labels() const { return labels_; }
    const QStringList& lines() const { return lines_; }

    // Editing the list; nothing is written until saved. A row outside the
    // list changes nothing, except that inserting there appends.
    void replaceLine(int row, const QString& text);
    void insertLine(int row, const QString& text);
    void deleteLine(int row);

    // "Ulož změny": the lines over the file they came from. When the file
    // changed since it was loaded nothing is written and the file is loaded
    // again. Returns the message for the operator (empty: saved).
    QString saveChanges();
    // "Uložit jako ...": the lines to a new file, which is then the selected
    // and loaded one. Returns the message (empty: saved).
    QString saveAs(const QString& path);
    // "Smazat soubor": deletes the selected file. Returns the message.
    QString deleteSelected();

    // "Kara_" and the date and time with every non-digit made "_".
    static QString DefaultSaveName(const QDateTime& when);

    static QString StaleFileMessage();

private:
    struct Stamp {
        qint64 size = -1;
        qint64 mtimeNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    static bool StampOf(const QString& path, Stamp* stamp);
    void clear();

    QString selected_;
    QString loaded_;
    Stamp loadedStamp_;
    Labels labels_;
    QStringList lines_;
};

} // namespace vartemo
