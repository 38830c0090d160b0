#include "engine/startbutton.h"

#include <QProgressBar>
#include <QResizeEvent>

namespace vartemo {

StartButton::StartButton(QWidget* parent)
    : QPushButton(QStringLiteral("&START"), parent), progress_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("StartButton1"));
    setMinimumSize(120, 56);
    QFont f = font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    setFont(f);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setTextVisible(false);
    // The bar is part of the button's face: clicks go to the button.
    progress_->setAttribute(Qt::WA_TransparentForMouseEvents);
    progress_->setRange(0, 600);
    progress_->setValue(600);
}

void StartButton::showProgress(int position, int maximum) {
    progress_->setRange(0, maximum);
    progress_->setValue(position);
    update();
}

void StartButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    progress_->setGeometry(4, height() - 10, width() - 10, 6);
}

} // namespace vartemo

#include "moc_startbutton.cpp"
