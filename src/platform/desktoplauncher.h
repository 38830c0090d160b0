#pragma once

#include <QString>

namespace vartemo {

// "Vytvoř zástupce na ploše": the launcher "Vartemo v. 2.3 Kestrál.desktop"
// on the user's desktop, starting the station on its program folder.
class DesktopLauncher {
public:
    static const QString kFileName; // "Vartemo v. 2.3 Kestrál.desktop"
    static const QString kTitle;    // "Vartemo v. 2.3 Kestrál"

    // The desktop folder as `xdg-user-dir DESKTOP` names it (the user-dirs
    // file), else $HOME/Desktop.
    static QString DesktopFolder();

    explicit DesktopLauncher(QString desktopFolder) : folder_(std::move(desktopFolder)) {}

    // Writes (or replaces) the launcher; false with *error when it cannot.
    bool write(const QString& programPath, const QString& homeFolder, QString* error = nullptr) const;
    QString path() const;

private:
    QString folder_;
};

} // namespace vartemo
