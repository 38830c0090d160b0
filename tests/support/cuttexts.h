#pragma once

// The texts of a window that do not fit their controls: what the operator
// would see cut off or elided. Judged by the font's advance of each text
// against the room the style gives it inside its control.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QRegularExpression>
#include <QtMath>

#include <algorithm>

namespace cuttexts {

inline QString where(const QWidget* w) {
    QString path;
    for (const QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (!p->objectName().isEmpty() && !p->objectName().startsWith(QLatin1String("qt_"))) {
            path = p->objectName();
            break;
        }
    return w->window()->objectName() + QLatin1Char('/') + (path.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : path);
}

inline int advance(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    QString shown = text;
    shown.remove(QRegularExpression(QStringLiteral("&(?!&)"))); // mnemonic marks are not drawn
    for (const QString& line : shown.split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// A label's text and the width it may take: rich text by its laid-out width.
inline int labelNeed(const QLabel* label) {
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        return qCeil(doc.idealWidth());
    }
    return advance(label->fontMetrics(), text);
}

inline int labelRoom(const QLabel* label) {
    int room = label->contentsRect().width() - 2 * label->margin();
    if (label->indent() > 0)
        room -= label->indent();
    else if (label->indent() < 0 && label->frameWidth() > 0)
        room -= label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2; // the style's own indent
    return room;
}

inline int buttonRoom(const QAbstractButton* button, int& iconRoom) {
    iconRoom = 0;
    QStyle* style = button->style();
    if (auto* push = qobject_cast<const QPushButton*>(button)) {
        QStyleOptionButton opt;
        opt.initFrom(push);
        opt.features = push->isDefault() || push->autoDefault() ? QStyleOptionButton::AutoDefaultButton
                                                                 : QStyleOptionButton::None;
        if (!push->icon().isNull())
            iconRoom = push->iconSize().width() + 4;
        opt.rect = push->rect();
        const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
        return contents.width() - iconRoom;
    }
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.rect = button->rect();
    opt.text = button->text();
    const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
    const QRect contents =
        style->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, button);
    if (!button->icon().isNull())
        iconRoom = button->iconSize().width() + 4;
    return contents.width() - iconRoom;
}

inline int comboRoom(const QComboBox* combo) {
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.editable = combo->isEditable();
    opt.frame = combo->hasFrame();
    opt.rect = combo->rect();
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo).width();
}

// One control's cut texts.
inline void checkWidget(QWidget* w, QStringList& cut) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->wordWrap() || label->text().isEmpty() || label->hasScaledContents())
            return;
        const int need = labelNeed(label), room = labelRoom(label);
        if (need > room)
            cut << QStringLiteral("%1 label \"%2\": %3 > %4").arg(where(w), label->text()).arg(need).arg(room);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->text().isEmpty() || !(qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) ||
                                          qobject_cast<QRadioButton*>(w)))
            return;
        int icon = 0;
        const int need = advance(button->fontMetrics(), button->text()), room = buttonRoom(button, icon);
        if (need > room)
            cut << QStringLiteral("%1 button \"%2\": %3 > %4").arg(where(w), button->text()).arg(need).arg(room);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int room = comboRoom(combo);
        for (int i = 0; i < combo->count(); ++i) {
            const int icon = combo->itemIcon(i).isNull() ? 0 : combo->iconSize().width() + 4;
            const int need = advance(combo->fontMetrics(), combo->itemText(i)) + icon;
            if (need > room)
                cut << QStringLiteral("%1 item \"%2\": %3 > %4").arg(where(w), combo->itemText(i)).arg(need).arg(room);
        }
        return;
    }
    if (auto* bar = qobject_cast<QTabBar*>(w)) {
        const int space = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        for (int i = 0; i < bar->count(); ++i) {
            if (!bar->isTabVisible(i))
                continue;
            const QRect tab = bar->tabRect(i);
            const int need = advance(bar->fontMetrics(), bar->tabText(i)) + space;
            // A tab beyond the bar's end is behind its scroll buttons.
            if (need > tab.width() || tab.right() >= bar->width() || tab.left() < 0)
                cut << QStringLiteral("%1 tab \"%2\": %3 > %4").arg(where(w), bar->tabText(i)).arg(need).arg(tab.width());
        }
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        // A list without scroll bars shows every row whole, across and down.
        const bool across = list->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
        const bool down = list->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
        const QSize room = list->viewport()->size();
        // A check box whole in its row: a pixel clear above and below it.
        const int checkHeight = list->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, list) + 2;
        for (int i = 0; i < list->count(); ++i) {
            const QModelIndex index = list->model()->index(i, 0);
            const QRect item = list->visualRect(index);
            QSize need = list->sizeHintForIndex(index);
            if (list->item(i)->data(Qt::CheckStateRole).isValid())
                need.setHeight(std::max(need.height(), checkHeight));
            if ((across && item.left() + need.width() > room.width()) ||
                (down && item.top() + need.height() > room.height()) || item.height() < need.height())
                cut << QStringLiteral("%1 row \"%2\": %3x%4 at %5,%6 in %7x%8")
                           .arg(where(w), list->item(i)->text())
                           .arg(need.width())
                           .arg(need.height())
                           .arg(item.left())
                           .arg(item.top())
                           .arg(room.width())
                           .arg(room.height());
        }
    }
}

// Layouts done after texts changed.
inline void settle() {
    // Showing may start work (composing pages) whose texts ask for new layouts.
    for (int round = 0; round < 3; ++round) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// The cut texts among the controls the operator sees in the window now.
inline QStringList CutTexts(QWidget& window) {
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->isVisible())
            checkWidget(w, cut);
    return cut;
}

// The cut texts of a shown window, every page of its tab widgets brought to
// the front in turn.
inline QStringList CutTextsOnEveryPage(QWidget& window) {
    QStringList cut = CutTexts(window);
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        if (!tabs->isVisible())
            continue;
        const int was = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i))
                continue;
            tabs->setCurrentIndex(i);
            settle();
            cut << CutTexts(*tabs->widget(i));
        }
        tabs->setCurrentIndex(was);
    }
    cut.removeDuplicates();
    return cut;
}

} // namespace cuttexts
