#include "sensors/semaforframe.h"

#include "ui/lamp.h"

#include <QHBoxLayout>

namespace vartemo {

namespace {
struct LampSpec {
    const char* name;
    QColor color;
    LitLamp lit;
};
const std::array<LampSpec, 3> kLamps = {{
    {"Led_cervena", QColor(230, 0, 0), LitLamp::Red},
    {"LED_oranzova", QColor(255, 150, 0), LitLamp::Orange},
    {"Led_zelena", QColor(0, 200, 0), LitLamp::Green},
}};
} // namespace

SemaforFrame::SemaforFrame(QWidget* parent) : QGroupBox(QStringLiteral(" Semafor "), parent) {
    setObjectName(QStringLiteral("gbSemafor"));
    auto* row = new QHBoxLayout(this);
    for (size_t i = 0; i < kLamps.size(); ++i) {
        lamps_[i] = new Lamp(kLamps[i].color, this);
        lamps_[i]->setObjectName(QLatin1String(kLamps[i].name));
        row->addWidget(lamps_[i]);
    }
}

void SemaforFrame::showLamp(LitLamp lit) {
    for (size_t i = 0; i < kLamps.size(); ++i)
        lamps_[i]->setLit(kLamps[i].lit == lit);
}

} // namespace vartemo

#include "moc_semaforframe.cpp"
