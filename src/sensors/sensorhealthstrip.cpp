#include "sensors/sensorhealthstrip.h"

#include "engine/sensorhealthtexts.h"
#include "ui/lamp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>

namespace vartemo {

namespace {
constexpr int kLampSize = 12;
} // namespace

SensorHealthStrip::SensorHealthStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlStavCidel"));
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(6, 2, 6, 2);
    row_->setSpacing(8);
    auto* caption = new QLabel(QStringLiteral("Čidla:"), this);
    caption->setToolTip(QStringLiteral("Stav čidel: zelená - slyšeno nedávno, šedá - ticho, "
                                       "červená - nelze otevřít, trvale sepnuto nebo převažují odmítnuté vstupy"));
    row_->addWidget(caption);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("StavCidelHlaseni"));
    QPalette red = notice_->palette();
    red.setColor(QPalette::WindowText, QColor(0xD0, 0x10, 0x10));
    notice_->setPalette(red);
    row_->addWidget(notice_);
    row_->addStretch(1);
    setFixedHeight(22);
}

QString SensorHealthStrip::CellName(const SourceHealth& source, int slot) {
    switch (source.kind) {
    case SourceKind::Contact: return QStringLiteral("StavLPT%1").arg(source.number);
    case SourceKind::Serial: return QStringLiteral("StavCOM");
    case SourceKind::Infrared: return QStringLiteral("StavIR%1").arg(source.number);
    case SourceKind::Network: return QStringLiteral("StavUDP%1").arg(slot - SensorHealth::firstNetwork() + 1);
    }
    return {};
}

QColor SensorHealthStrip::LampColour(SourceLamp lamp) {
    switch (lamp) {
    case SourceLamp::Green: return QColor(0x10, 0xC0, 0x10);
    case SourceLamp::Grey: return QColor(0x90, 0x90, 0x90);
    case SourceLamp::Red: return QColor(0xE0, 0x10, 0x10);
    }
    return {};
}

SensorHealthStrip::Cell& SensorHealthStrip::makeCell(const SensorHealth& health, int slot) {
    Cell& c = cells_[size_t(slot)];
    const SourceHealth& source = health.source(slot);
    c.box = new QWidget(this);
    c.box->setObjectName(CellName(source, slot));
    auto* layout = new QHBoxLayout(c.box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    c.lamp = new Lamp(LampColour(SourceLamp::Grey), c.box);
    c.lamp->setFixedSize(kLampSize, kLampSize);
    c.lamp->setLit(true);
    layout->addWidget(c.lamp);
    layout->addWidget(new QLabel(SourceLabel(source), c.box));
    // Sources keep the order of their slots: contacts, serial, infrared, network.
    int at = 1;
    for (int i = 0; i < slot; ++i)
        at += cells_[size_t(i)].box != nullptr;
    row_->insertWidget(at, c.box);
    return c;
}

void SensorHealthStrip::showHealth(const SensorHealth& health, TimeUs now, bool figures) {
    QStringList stuck;
    for (int slot = 0; slot < SensorHealth::kSourceCount; ++slot) {
        const SourceHealth& source = health.source(slot);
        Cell* c = &cells_[size_t(slot)];
        if (!source.inUse) {
            if (c->box)
                c->box->hide();
            continue;
        }
        if (!c->box) {
            c = &makeCell(health, slot);
            figures = true;
        }
        c->box->show();
        const SourceLamp lamp = health.lamp(slot, now);
        if (c->shown != lamp) {
            c->shown = lamp;
            c->lamp->setColor(LampColour(lamp));
            figures = true;
        }
        if (figures)
            c->box->setToolTip(SourceTooltip(health, slot, now));
        if (source.stuck)
            stuck << StuckContactText(source.number);
    }
    const QString text = stuck.join(QStringLiteral(", "));
    if (notice_->text() != text)
        notice_->setText(text);
}

} // namespace vartemo

#include "moc_sensorhealthstrip.cpp"
