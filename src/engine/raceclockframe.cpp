#include "engine/raceclockframe.h"

#include <QHBoxLayout>
#include <QLCDNumber>

namespace vartemo {

namespace {

// One digit size in both layouts: the clock must read the same from across
// the track whether the track lists are shown or not.
constexpr int kDigitWidth = 26;
constexpr int kDigitHeight = 80;

QLCDNumber* makeDisplay(const char* name, int digits, QWidget* parent) {
    auto* lcd = new QLCDNumber(digits, parent);
    lcd->setObjectName(QLatin1String(name));
    lcd->setSegmentStyle(QLCDNumber::Filled);
    lcd->setFixedSize(kDigitWidth * digits + 8, kDigitHeight);
    return lcd;
}

void showPadded(QLCDNumber* lcd, int value, int digits) {
    lcd->display(QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0')));
}

} // namespace

RaceClockFrame::RaceClockFrame(QWidget* parent)
    : QGroupBox(QStringLiteral(" Celkový naměřený čas "), parent),
      minutes_(makeDisplay("LcdDisplay3", 2, this)),
      seconds_(makeDisplay("LcdDisplay2", 2, this)),
      millis_(makeDisplay("LcdDisplay1", 3, this)) {
    setObjectName(QStringLiteral("gbCelkovyCas"));
    auto* row = new QHBoxLayout(this);
    row->setSpacing(2);
    for (QLCDNumber* lcd : {minutes_, seconds_, millis_})
        row->addWidget(lcd);
    showClock(0, 0, 0);
}

void RaceClockFrame::showClock(int minutes, int seconds, int millis) {
    showPadded(minutes_, minutes, 2);
    showPadded(seconds_, seconds, 2);
    showPadded(millis_, millis, 3);
}

} // namespace vartemo

#include "moc_raceclockframe.cpp"
