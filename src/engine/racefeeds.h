#pragma once

#include "engine/raceboard.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace vartemo {

// What race control hands to the other subsystems of the station at START,
// on the race clock and at STOP. Each subsystem connects its own entries; an
// empty entry is a subsystem that is not there, and is skipped.
struct RaceFeeds {
    // Kart fleet: whole minutes driven in this ride per kart (index kart-1),
    // added to the operating times; then the fuel estimate, the refuel check
    // and the saving of the kart status, in that order. Returns the messages
    // for the operator (a driven time that cannot be read, a file that cannot
    // be written), shown with the STOP's others once the STOP is done.
    std::function<QStringList(const std::array<int, kKartCount>& minutes)> addOperatingMinutes;
    // Best-twenty insertion of every kart not marked "Bez účasti", then the
    // commit of both tables.
    std::function<void()> insertBestTwenty;
    // The lap sheet printed without the printer dialog; what went wrong is
    // shown after the stop with its other messages.
    std::function<QStringList()> autoPrint;
    // Log book: a line under the entry of this program run, and the name of
    // the operator logged in.
    std::function<void(const QString& line)> addLogEntry;
    std::function<QString()> currentOperator;
    // Due check of the service tasks.
    std::function<void()> checkTasks;
    // Screen saver: false switches it off for the ride, true back on.
    std::function<void(bool enabled)> setScreenSaver;
    // End-of-race sound: loaded and prepared at START, played at the end.
    // Playback errors are the player's to swallow.
    std::function<void()> prepareEndSound;
    std::function<void()> playEndSound;
    // TV display: the driver names of the race view (index kart-1), the race
    // clock, the race length and its unit label.
    std::function<void(const std::array<QString, kKartCount>& names)> showTvDriverNames;
    std::function<void(int minutes, int seconds, int millis)> showTvClock;
    std::function<void(int length)> setTvRaceLength;
    std::function<void(const QString& label)> setTvLengthLabel;
    // First showing of the main window: the processor-load monitor, the
    // light bit masks into the settings dialog, the start-up block of the
    // program log.
    std::function<void()> firstShow;
    // Closing of the main window after the timers are off: operating times
    // to the kart status file, the automatic FTP sending, mixer levels back.
    std::function<void()> closing;
    // An operator-facing failure (conversion error, a file that cannot be
    // written): the message box.
    std::function<void(const QString& message)> showError;
};

} // namespace vartemo
