#pragma once

#include <QGroupBox>

class QLCDNumber;

namespace vartemo {

// The frame " Celkový naměřený čas ": the race clock as minutes
// (LcdDisplay3), seconds (LcdDisplay2) and milliseconds (LcdDisplay1).
class RaceClockFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit RaceClockFrame(QWidget* parent = nullptr);

    void showClock(int minutes, int seconds, int millis);
    QLCDNumber* minutesDisplay() const { return minutes_; }
    QLCDNumber* secondsDisplay() const { return seconds_; }
    QLCDNumber* millisDisplay() const { return millis_; }

private:
    QLCDNumber* minutes_;
    QLCDNumber* seconds_;
    QLCDNumber* millis_;
};

} // namespace vartemo
