#include "ui/tabsfit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace vartemo {

namespace {

// The tab bar's style with its own spacing beside each caption.
class TabSpacingStyle final : public QProxyStyle {
public:
    int spacing = -1; // the style's own while negative

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace && spacing >= 0)
            return spacing;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The smallest font the captions step down to, against the window's.
constexpr double kSmallestScale = 0.75;
constexpr double kFontStep = 0.5; // points

int captionsWidth(const QTabBar& bar, const QFont& font) {
    const QFontMetrics fm(font);
    int width = 0;
    for (int i = 0; i < bar.count(); ++i)
        if (bar.isTabVisible(i))
            width += fm.size(Qt::TextShowMnemonic, bar.tabText(i)).width();
    return width;
}

int visibleTabs(const QTabBar& bar) {
    int n = 0;
    for (int i = 0; i < bar.count(); ++i)
        n += bar.isTabVisible(i);
    return n;
}

} // namespace

void FitTabs(QTabWidget& tabs, int room) {
    QTabBar* bar = tabs.tabBar();
    tabs.setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideNone);
    auto* style = dynamic_cast<TabSpacingStyle*>(bar->style());
    if (!style) {
        style = new TabSpacingStyle;
        style->setParent(bar);
        bar->setStyle(style);
    }
    style->spacing = -1;
    const int ownSpacing = style->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    const int n = std::max(1, visibleTabs(*bar));
    const QFont windowFont = tabs.font();
    QFont font = windowFont;
    int spacing = ownSpacing;
    if (captionsWidth(*bar, font) + n * ownSpacing > room) {
        const double smallest = windowFont.pointSizeF() * kSmallestScale;
        for (double size = windowFont.pointSizeF(); size >= smallest; size -= kFontStep) {
            font.setPointSizeF(size);
            spacing = std::min(ownSpacing, (room - captionsWidth(*bar, font)) / n);
            if (spacing >= QFontMetrics(font).averageCharWidth())
                break;
        }
        spacing = std::max(spacing, QFontMetrics(font).averageCharWidth());
    }
    style->spacing = spacing == ownSpacing ? -1 : spacing;
    bar->setFont(font);
    // The bar measures its tabs again with the new spacing.
    QEvent changed(QEvent::StyleChange);
    QCoreApplication::sendEvent(bar, &changed);
    tabs.updateGeometry();
}

} // namespace vartemo
