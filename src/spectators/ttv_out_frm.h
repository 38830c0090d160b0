#pragma once

#include "core/clock.h"
#include "spectators/besttables.h"
#include "spectators/raceview.h"

#include <QImage>
#include <QWidget>
#include <array>

class QLabel;
class QLCDNumber;
class QTableWidget;

namespace vartemo {

// The second screen for the spectators ("Vartemo - průběžné info"): the
// race clock, the race length, the standing of the eight karts and the best
// ten of both best-twenty tables. Only written to; it never takes the focus
// or a click.
class TTV_Out_Frm : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kClientSize{1016, 734};

    explicit TTV_Out_Frm(QWidget* parent = nullptr);

    // --- what the station writes to it
    // Best ten: copied when both tables hold more than ten rows.
    void setBestTables(BestTablesSource source) { bestTables_ = std::move(source); }
    void refreshBestTen();
    void UpdateRaceRow(int kart, const QString& name, int linesBefore, TimeMs lap);
    void ShowDriverNames(const std::array<QString, kKartCount>& names);
    void ShowClock(int minutes, int seconds, int millis);
    void SetRaceLength(int length);
    void SetLengthLabel(const QString& text);
    // 0 minimum times, 1 running times ("TVOUT"/"TypZobrazeni").
    void setDisplayMode(int mode);
    int displayMode() const { return mode_; }

    // --- showing it
    // On: placed at the outer top-left and shown without taking the focus.
    void showAt(QPoint outerTopLeft);
    // See-through: only the panels are drawn, the desktop shows between them.
    void PruhlednyForm();
    // Leaving see-through: the whole window drawn, every control back to its
    // design content as a new window's.
    void leaveSeeThrough();

    // The page's address as a QR code in the free corner; a null image hides it.
    void showPageCode(const QImage& code);

    const RaceView& raceView() const { return view_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPanels();
    void resetContent();
    void showRaceView();
    QRegion panelsRegion() const;

    BestTablesSource bestTables_;
    RaceView view_;
    int mode_ = kRaceViewRunningTimes;
    int shownSeconds_ = -1;
    int shownMinutes_ = -1;
    bool seeThrough_ = false;

    QLCDNumber* min_ = nullptr;
    QLCDNumber* sec_ = nullptr;
    QLCDNumber* ms_ = nullptr;
    QLCDNumber* length_ = nullptr;
    QLabel* label8_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* pageCode_ = nullptr;
    QTableWidget* zavodView_ = nullptr;
    std::array<QTableWidget*, 2> topTen_{}; // men, women
};

} // namespace vartemo
