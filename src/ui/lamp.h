#pragma once

#include <QColor>
#include <QWidget>

namespace vartemo {

// A round indicator lamp: lit in its colour or dark. Used for the on-screen
// start lights and the port indicators of the status bar.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QColor color, QWidget* parent = nullptr);

    bool isLit() const { return lit_; }
    void setLit(bool lit);
    QColor color() const { return color_; }
    void setColor(QColor color);

    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    bool lit_ = false;
};

} // namespace vartemo
