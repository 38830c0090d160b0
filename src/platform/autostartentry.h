#pragma once

#include <QString>

namespace vartemo {

// "Spustit po startu Windows": the launcher "vartemo_kestral.desktop" in the
// desktop's autostart folder starts the station at login, on the program
// folder it runs on now; no launcher means the station does not start with
// the system.
class AutostartEntry {
public:
    static const QString kLauncherName; // "vartemo_kestral.desktop"

    // The current user's: $XDG_CONFIG_HOME/autostart.
    AutostartEntry();
    explicit AutostartEntry(QString autostartFolder) : folder_(std::move(autostartFolder)) {}

    // On: writes the launcher for the program and its folder (--home); off:
    // removes it (nothing to remove counts as done).
    bool set(bool on, const QString& programPath, const QString& homeFolder);
    bool isSet() const;
    QString launcherPath() const;

private:
    QString folder_;
};

} // namespace vartemo
