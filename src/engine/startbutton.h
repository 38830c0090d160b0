#pragma once

#include <QPushButton>

class QProgressBar;

namespace vartemo {

// StartButton1, caption "&START" or "&STOP", with the progress bar of the
// remaining seconds or laps inside it along its lower edge.
class StartButton : public QPushButton {
    Q_OBJECT
public:
    explicit StartButton(QWidget* parent = nullptr);

    QProgressBar* progressBar() const { return progress_; }
    void showProgress(int position, int maximum);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QProgressBar* progress_;
};

} // namespace vartemo
