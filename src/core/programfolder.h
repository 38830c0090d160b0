#pragma once

#include <QString>

namespace vartemo {

// The writable folder that holds every file the station keeps (vartemo.ini,
// vartemo.den, vysledky/, ...). Chosen by --home, else $VARTEMO_HOME, else
// $XDG_DATA_HOME/vartemo.
class ProgramFolder {
public:
    explicit ProgramFolder(QString root);

    // homeOption is the value of --home (empty when not given).
    static QString resolve(const QString& homeOption);

    const QString& root() const { return root_; }
    // Absolute path of a file or folder given relative to the program folder.
    QString path(const QString& relative) const;
    QString resultsFolder() const { return path(QStringLiteral("vysledky")); }
    // Where the operator keeps the printed pictures ("Načti logo" opens it),
    // and the print logo a fresh installation gets there: the one used while
    // the settings name none.
    QString logoFolder() const { return path(QStringLiteral("Logo")); }
    QString defaultLogo() const { return path(QStringLiteral("Logo/logo.png")); }

    // Creates the folder and what a fresh installation needs. Never overwrites
    // an existing file. Returns false (with *error) when the folder cannot be made.
    bool ensure(QString* error = nullptr) const;

private:
    QString root_;
};

} // namespace vartemo
