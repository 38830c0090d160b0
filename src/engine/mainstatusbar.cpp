#include "engine/mainstatusbar.h"

#include "core/czechformats.h"
#include "platform/processorload.h"
#include "ui/compactfont.h"
#include "ui/lamp.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace vartemo {

namespace {

const QString kPortHint = QStringLiteral(
    " Pokud nepracuje ovladač LPT nebo COM portu správně \r\n     je stav zobrazen červenou barvou");

QColor colourOf(LoadColour c) {
    switch (c) {
    case LoadColour::Lime: return QColor(0x00, 0xFF, 0x00);
    case LoadColour::Yellow: return QColor(0xFF, 0xFF, 0x00);
    case LoadColour::Olive: return QColor(0x80, 0x80, 0x00);
    case LoadColour::Red: break;
    }
    return QColor(0xFF, 0x00, 0x00);
}

} // namespace

QColor MainStatusBar::freeColour() {
    return QColor(0x00, 0xC0, 0x00);
}

QColor MainStatusBar::busyColour() {
    return QColor(0xFF, 0x00, 0x00);
}

MainStatusBar::MainStatusBar(Sources sources, QWidget* parent) : QStatusBar(parent), sources_(std::move(sources)) {
    setObjectName(QStringLiteral("mxStatusBar1"));
    setSizeGripEnabled(false);
    // The panels sit side by side with a thin gap, as the fixed widths expect.
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("PanelRow"));
    row_ = new QHBoxLayout(row);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(2);
    addWidget(row, 1);
    // The panel widths are fixed: the compact face lets the labels fit them.
    setFont(CompactFont(font()));

    addLabel(0, QStringLiteral("Aktivní LPT port:"), 85, Qt::AlignRight);
    addLamp(1, QStringLiteral("led - LPT"), &lptLamp_);
    addLabel(2, QStringLiteral("Com/IR port:"), 70, Qt::AlignRight);
    addLamp(3, QStringLiteral("led - Com"), &comLamp_);
    for (int i = 0; i <= 3; ++i)
        panels_[size_t(i)]->setToolTip(kPortHint);
    addLabel(4, QStringLiteral("Uživatel:"), 55, Qt::AlignRight);
    QLabel* user = addLabel(5, QStringLiteral("Admin"), 85);
    user->setCursor(Qt::PointingHandCursor);
    user->installEventFilter(this);
    addLabel(6, QString(), 160);
    QLabel* load = addLabel(7, QStringLiteral(" CPU: ???%"), 65);
    load->setToolTip(QStringLiteral("Zatížení procesoru"));
    load->setAutoFillBackground(true);
    addLabel(8, QString(), 150);
    addLabel(9, QString(), 20)->setFrameShadow(QFrame::Raised);
    // The last panel takes what is left of the bar, its 15 pixels at least;
    // where that is too little for its text, the text is in its hint too.
    QLabel* maker = addLabel(10, QStringLiteral("Orvane Software"), 15);
    maker->setMaximumWidth(QWIDGETSIZE_MAX);
    row_->setStretchFactor(maker, 1);
    maker->setToolTip(maker->text());

    for (QWidget* panel : panels_)
        panel->setToolTipDuration(5000);

    timer_ = new QTimer(this);
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, &MainStatusBar::MCPUUsage1Interval);
}

QLabel* MainStatusBar::addLabel(int index, const QString& text, int width, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("Panel%1").arg(index));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setIndent(2);
    label->setFixedWidth(width);
    panels_[size_t(index)] = label;
    row_->addWidget(label);
    return label;
}

QWidget* MainStatusBar::addLamp(int index, const QString& name, Lamp** lamp) {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Panel%1").arg(index));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setFixedWidth(40);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(2, 1, 2, 1);
    *lamp = new Lamp(busyColour(), frame);
    (*lamp)->setObjectName(name);
    (*lamp)->setLit(true);
    layout->addWidget(*lamp, 0, Qt::AlignCenter);
    panels_[size_t(index)] = frame;
    row_->addWidget(frame);
    return frame;
}

void MainStatusBar::setWidth(int index, int width) {
    panel(index)->setFixedWidth(width);
    panel(index)->setVisible(width > 0);
}

void MainStatusBar::ApplyLayout(bool showTrackLists) {
    setWidth(6, showTrackLists ? 190 : 0);
    setWidth(8, showTrackLists ? 190 : 150);
    setWidth(9, showTrackLists ? 20 : 0);
}

void MainStatusBar::setUserName(const QString& name) {
    static_cast<QLabel*>(panel(5))->setText(name);
}

QString MainStatusBar::userName() const {
    return static_cast<QLabel*>(panel(5))->text();
}

void MainStatusBar::startTicking() {
    if (!timer_->isActive())
        timer_->start();
}

void MainStatusBar::MCPUUsage1Interval() {
    lptLamp_->setColor(sources_.lptInUse() ? freeColour() : busyColour());
    comLamp_->setColor(sources_.comReceiving() ? freeColour() : busyColour());
    const QDateTime now = sources_.now();
    static_cast<QLabel*>(panel(8))->setText(czech::longDate(now.date()) + u' ' + czech::longTime(now.time()));
    if (!sources_.load)
        return;
    if (const std::optional<int> percent = sources_.load->sample())
        showLoad(*percent);
}

void MainStatusBar::showLoad(int percent) {
    const std::optional<LoadColour> colour = ProcessorLoadColour(percent);
    if (!colour)
        return;
    auto* label = static_cast<QLabel*>(panel(7));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colourOf(*colour));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    loadColour_ = colour;
    label->setText(ProcessorLoadText(percent));
}

bool MainStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel(5) && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit userPanelClicked();
    return QStatusBar::eventFilter(watched, event);
}

} // namespace vartemo

#include "moc_mainstatusbar.cpp"
