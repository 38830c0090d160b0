#pragma once

#include "engine/raceboard.h"

#include <QMainWindow>

class QBoxLayout;
class QHBoxLayout;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

namespace vartemo {

class RaceBoardView;

// The main window: the race board with its page control, the race length,
// and the frame that the race controls, command buttons and status bar of
// the other parts of the station are placed into.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(RaceBoard& board, QWidget* parent = nullptr);

    static QString MainCaption(); // "Vartemo Kestral verze 2.3"

    RaceBoardView* boardView() const { return boardView_; }
    QSpinBox* raceLength() const { return casZavodu_; }
    bool countsMinutes() const;
    void setCountsMinutes(bool minutes);

    // "Zobrazovat mezičasy na dráze": wide window with track lists or narrow without.
    void ApplyLayout(bool showTrackLists);

    // The row above the race board, left to right: clock, start, lights, race
    // length, ... Other parts of the station insert their frames here.
    QHBoxLayout* controlRow() const { return controlRow_; }
    // Puts a frame into the control row just before the race length.
    void insertBeforeRaceLength(QWidget* frame);
    // Puts a strip under the race board, across the window (room the fixed
    // frame has in both layouts).
    void insertBelowBoard(QWidget* strip);
    // The command buttons: a block beside the clock in the wide layout, a
    // column at the right edge of the lists in the narrow one.
    QBoxLayout* commandButtons() const { return commandLayout_; }

signals:
    void layoutApplied(bool showTrackLists);

private:
    void placeCommandPanel(bool wide);

    RaceBoard& board_;
    RaceBoardView* boardView_ = nullptr;
    QWidget* lengthFrame_ = nullptr;
    QSpinBox* casZavodu_ = nullptr;
    QRadioButton* rbMinuty_ = nullptr;
    QRadioButton* rbKola_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    QHBoxLayout* controlRow_ = nullptr;
    QHBoxLayout* boardRow_ = nullptr;
    QWidget* commandPanel_ = nullptr;
    QBoxLayout* commandLayout_ = nullptr;
};

} // namespace vartemo
