#include "about/tsplashscreen.h"

#include "about/versiontext.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace vartemo {

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashScreen"));
    setFixedSize(298, 216);

    auto* column = new QVBoxLayout(this);
    auto* title = new QLabel(LoadVersionText().caption, this);
    title->setObjectName(QStringLiteral("lblNazev"));
    title->setAlignment(Qt::AlignCenter);
    QFont font = title->font();
    font.setBold(true);
    font.setItalic(true);
    font.setPointSize(font.pointSize() + 4);
    title->setFont(font);
    title->setWordWrap(true);
    auto* maker = new QLabel(QStringLiteral("Orvane Software"), this);
    maker->setObjectName(QStringLiteral("lblVyrobce"));
    maker->setAlignment(Qt::AlignCenter);

    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    column->addStretch(1);
    column->addWidget(title);
    column->addWidget(maker);
    column->addStretch(1);
    column->addWidget(progressBar1_);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplashScreen::setProgress(int value) {
    progressBar1_->setValue(value);
    if (isVisible())
        repaint();
}

int TSplashScreen::progress() const {
    return progressBar1_->value();
}

} // namespace vartemo

#include "moc_tsplashscreen.cpp"
