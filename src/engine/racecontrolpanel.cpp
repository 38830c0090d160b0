#include "engine/racecontrolpanel.h"

#include "engine/raceboardview.h"
#include "engine/raceclockframe.h"
#include "engine/racecontrol.h"
#include "engine/startbutton.h"
#include "engine/tform1.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QWheelEvent>

namespace vartemo {

RaceControlPanel::RaceControlPanel(TForm1& window, RaceControl& control)
    : QObject(&window), window_(window), control_(control),
      clockFrame_(new RaceClockFrame(&window)), startButton_(new StartButton(&window)),
      raceLength_(window.raceLength()) {
    window_.controlRow()->insertWidget(0, clockFrame_);
    window_.controlRow()->insertWidget(1, startButton_);

    connect(startButton_, &QPushButton::clicked, &control_, &RaceControl::StartButton1Click);
    connect(&control_, &RaceControl::captionChanged, startButton_, &QPushButton::setText);
    // At START the focus leaves the race length and the lists: a key or a
    // turn of the wheel must not change anything during the ride.
    connect(&control_, &RaceControl::captionChanged, clockFrame_, [this] {
        if (control_.phase() != RacePhase::Idle)
            clockFrame_->setFocus(Qt::OtherFocusReason);
    });
    connect(&control_, &RaceControl::clockShown, clockFrame_, &RaceClockFrame::showClock);
    connect(&control_, &RaceControl::progressChanged, startButton_, &StartButton::showProgress);
    connect(&control_, &RaceControl::raceButtonsEnabledChanged, this,
            &RaceControlPanel::enableRaceButtons);

    QSpinBox* length = raceLength_;
    connect(&control_, &RaceControl::raceLengthShown, length, &QSpinBox::setValue);
    connect(length, &QSpinBox::valueChanged, &control_, &RaceControl::CasZavoduChange);
    connect(&control_, &RaceControl::unitShown, this, [this](bool minutes) { window_.setCountsMinutes(minutes); });
    length->installEventFilter(this);
    if (auto* minutes = window_.findChild<QRadioButton*>(QStringLiteral("rbMinuty"))) {
        connect(minutes, &QRadioButton::toggled, &control_, [this](bool on) {
            on ? control_.rbMinutyClick() : control_.rbKolaClick();
        });
    }
    control_.CasZavoduChange(length->value());
    window_.countsMinutes() ? control_.rbMinutyClick() : control_.rbKolaClick();

    connect(window_.boardView(), &RaceBoardView::nameEntryStarting, &control_,
            &RaceControl::pauseStartWaiting);
    connect(window_.boardView(), &RaceBoardView::nameEntryFinished, &control_,
            &RaceControl::resumeStartWaiting);
    window_.installEventFilter(this);
}

RaceControlPanel::~RaceControlPanel() {
    control_.FormDestroy();
}

void RaceControlPanel::enableRaceButtons(bool enabled) {
    for (const QString& name : RaceControl::RaceButtonNames()) {
        if (auto* w = window_.findChild<QWidget*>(name))
            w->setEnabled(enabled);
    }
}

bool RaceControlPanel::wheelOverRaceLength(QEvent* event) {
    // One notch is one minute or lap, whatever the wheel's speed setting.
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y();
    if (delta == 0)
        return false;
    raceLength_->setValue(std::clamp(raceLength_->value() + (delta > 0 ? 1 : -1), 1, 59));
    return true;
}

bool RaceControlPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == raceLength_ && event->type() == QEvent::Wheel)
        return wheelOverRaceLength(event);
    if (watched == &window_) {
        if (event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            control_.FormShow();
        } else if (event->type() == QEvent::Close) {
            control_.FormClose();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vartemo

#include "moc_racecontrolpanel.cpp"
