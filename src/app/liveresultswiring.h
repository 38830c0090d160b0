#pragma once

#include "config/settingid.h"
#include "spectators/besttables.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace vartemo {

class LiveResults;
class LiveResultsServer;
class RaceBoard;
class RaceControl;
class Settings;
class TTV_Out_Frm;

// The live results page in the station: the document follows the ride, the
// server follows "WebVysledky" (in use, port, address), and while it serves,
// the TV display shows the page's address as a QR code. A port that cannot
// be had is reported; timing goes on.
class LiveResultsWiring {
public:
    LiveResultsWiring(Settings& settings, RaceBoard& board, RaceControl& race, TTV_Out_Frm* tv,
                      std::function<void(const QString&)> showError);
    ~LiveResultsWiring();

    void setBestTables(BestTablesSource source);
    // Refusals of the page's server, each kind once, told on this thread.
    void setNotice(std::function<void(const QString&)> notice);
    void BestTablesChanged();
    LiveResults& liveResults() { return *live_; }
    // The port served on, 0 while off.
    quint16 servedPort() const;

private:
    void apply();

    Settings& settings_;
    TTV_Out_Frm* tv_;
    std::function<void(const QString&)> showError_;
    std::unique_ptr<LiveResults> live_;
    std::unique_ptr<LiveResultsServer> server_;
    // The three settings load one after another: they are applied together.
    QTimer applyLater_;
    QString servedAddress_;
};

// The address a phone on the track's network reaches the page at.
QString PageUrl(const QString& boundAddress, quint16 port);

} // namespace vartemo
