#pragma once

#include "fleet/thlasenidlg.h"
#include "fleet/tstav_karfrm.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vartemo {

class KartFleet;
struct RaceFeeds;

// The kart fleet in the station: the status records of stav.ini with the
// kart status window and the notice dialog, fed by the ride's STOP, by
// start-up and by the program's close.
class FleetWiring {
public:
    struct Parts {
        QString statusFile;   // the program folder's "stav.ini"
        RaceFeeds& feeds;
        QWidget* mainWindow;
        std::function<void(const QString& line)> addLogEntry;
        std::function<QString()> currentOperator;
        // "Zobraz &Deník" of the status window: the log book on top of it.
        std::function<void()> showLogBook = {};
    };

    explicit FleetWiring(Parts parts);
    ~FleetWiring();

    KartFleet& fleet() { return *fleet_; }
    // The kart status window, made when first opened: its eight pages cost
    // start-up time that most runs never use. Its "Zobraz &Deník" (BitBtn1)
    // asks for the log book (Parts::showLogBook).
    TStav_KarFrm& statusWindow();
    THlaseniDlg& noticeDialog() { return *notices_; }

    // Start-up: stav.ini into the records, their totals and the refuel check.
    // Returns the message for a driven time that cannot be read, if any.
    QStringList LoadAtStartup();
    // Start-up, after the operator list, with the notices setting on: the
    // task check, then the dialog when there is anything to tell (kept above
    // the splash window).
    void CheckTasksAndShowNotices();
    // The notice dialog when any notice text is not empty.
    void ShowNotices();

    // The kart status window, modal on the main window ("Sta&v/Deník").
    void ShowStatusWindow();

    // Set when the program ends after a restore of a backup: its close then
    // leaves stav.ini as the restore wrote it.
    void setEndingAfterRestore(bool ending) { endingAfterRestore_ = ending; }
    bool endingAfterRestore() const { return endingAfterRestore_; }

    // The program's close: all eight records to stav.ini (unless ending after
    // a restore). The message when the file cannot be written.
    QStringList SaveAtClose();

private:
    Parts parts_;
    std::unique_ptr<KartFleet> fleet_;
    // Children of the main window; whichever goes first takes them along.
    QPointer<TStav_KarFrm> window_;
    QPointer<THlaseniDlg> notices_;
    bool endingAfterRestore_ = false;
};

} // namespace vartemo
