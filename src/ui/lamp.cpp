#include "ui/lamp.h"

#include <QPainter>

namespace vartemo {

Lamp::Lamp(QColor color, QWidget* parent) : QWidget(parent), color_(color) {
    setMinimumSize(10, 10);
}

void Lamp::setLit(bool lit) {
    if (lit_ == lit)
        return;
    lit_ = lit;
    update();
}

void Lamp::setColor(QColor color) {
    color_ = color;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(width(), height()) - 2;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(lit_ ? color_ : color_.darker(400));
    p.drawEllipse(r);
}

} // namespace vartemo

#include "moc_lamp.cpp"
