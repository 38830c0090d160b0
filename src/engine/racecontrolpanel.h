#pragma once

#include <QObject>

class QSpinBox;

namespace vartemo {

class RaceClockFrame;
class RaceControl;
class StartButton;
class TForm1;

// Puts race control on the main window: the clock frame and the start button
// at the front of the control row, the race length and unit wired to the
// core, the race buttons switched by name, the start waiting paused around
// the name input, and the window's first showing and closing passed on.
class RaceControlPanel : public QObject {
    Q_OBJECT
public:
    RaceControlPanel(TForm1& window, RaceControl& control);
    ~RaceControlPanel() override;

    RaceClockFrame* clockFrame() const { return clockFrame_; }
    StartButton* startButton() const { return startButton_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enableRaceButtons(bool enabled);
    bool wheelOverRaceLength(QEvent* event);

    TForm1& window_;
    RaceControl& control_;
    RaceClockFrame* clockFrame_;
    StartButton* startButton_;
    // Held apart from the window: events still arrive while it is destroyed.
    QSpinBox* raceLength_;
    bool shown_ = false;
};

} // namespace vartemo
