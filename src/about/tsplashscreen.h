#pragma once

#include <QWidget>

class QProgressBar;

namespace vartemo {

// The start-up window: the station's name and a progress bar that start-up
// moves as it creates the windows.
class TSplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit TSplashScreen(QWidget* parent = nullptr);

    // Moves the bar and paints at once: the event loop is not running yet.
    void setProgress(int value);
    int progress() const;

private:
    QProgressBar* progressBar1_ = nullptr;
};

} // namespace vartemo
