#include "engine/commandbuttons.h"

#include <QAction>
#include <QCursor>
#include <QMetaMethod>
#include <QEvent>
#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace vartemo {

CommandButtons::CommandButtons(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CommandButtons"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);

    tisk1_ = addButton(QStringLiteral("Tisk1"), QStringLiteral("&Tisk      "), {}, &CommandButtons::printResults);
    buttons_ = {
        tisk1_,
        addButton(QStringLiteral("stav_motokar"), QStringLiteral("Sta&v/Deník"),
                  QStringLiteral("Motohidiny a hlášení stavu motokár"), &CommandButtons::kartStatus),
        addButton(QStringLiteral("Statistika"), QStringLiteral("S&tatistika"),
                  QStringLiteral("Zobrazení grafu a tabulka TOP 20"), &CommandButtons::statistics),
        addButton(QStringLiteral("btnNastaveni"), QStringLiteral("&Nastavení"), {}, &CommandButtons::settings),
        addButton(QStringLiteral("TopTen10"), QStringLiteral("&Nejlepších dvacet časů"), {}, &CommandButtons::topTwenty),
        addButton(QStringLiteral("btnOprogramu"), QStringLiteral("&O programu"), {}, &CommandButtons::about),
        addButton(QStringLiteral("btnHelp"), QStringLiteral("Ná&pověda"), {}, &CommandButtons::help),
        addButton(QStringLiteral("btnKonec"), QStringLiteral(" &Konec  "), {}, &CommandButtons::quit),
    };
    ApplyLayout(true);

    popupMenu5_ = new QMenu(this);
    popupMenu5_->setObjectName(QStringLiteral("PopupMenu5"));
    const std::pair<QString, void (CommandButtons::*)()> items[] = {
        {QStringLiteral("Tisk výsledku jízd"), &CommandButtons::printResults},
        {QStringLiteral("Tisk výsledku mezičasů"), &CommandButtons::printSplits},
        {QStringLiteral("Tisk diplomu"), &CommandButtons::printDiploma},
    };
    for (const auto& [text, signal] : items)
        commands_.append({popupMenu5_->addAction(text, this, signal), signal});

    // The arrow sits inside the right end of Tisk1 and opens the print menu
    // a little to the left of the mouse.
    speedBtn1_ = new QToolButton(tisk1_);
    speedBtn1_->setObjectName(QStringLiteral("SpeedBtn1"));
    speedBtn1_->setArrowType(Qt::DownArrow);
    speedBtn1_->setAutoRaise(true);
    connect(speedBtn1_, &QToolButton::clicked, this,
            [this] { popupMenu5_->popup(QCursor::pos() - QPoint(25, 0)); });
    tisk1_->installEventFilter(this);
    placeArrow();
}

void CommandButtons::ApplyLayout(bool wide) {
    auto* grid = static_cast<QGridLayout*>(layout());
    const int columns = wide ? 2 : 1;
    for (int i = 0; i < buttons_.size(); ++i) {
        grid->removeWidget(buttons_[i]);
        grid->addWidget(buttons_[i], i / columns, i % columns);
    }
}

QPushButton* CommandButtons::addButton(const QString& name, const QString& caption, const QString& hint,
                                       void (CommandButtons::*signal)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setToolTipDuration(5000);
    b->setMinimumHeight(30);
    connect(b, &QPushButton::clicked, this, signal);
    commands_.append({b, signal});
    return b;
}

void CommandButtons::placeArrow() {
    speedBtn1_->setGeometry(tisk1_->width() - 29, 4, 25, tisk1_->height() - 8);
}

bool CommandButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tisk1_ && event->type() == QEvent::Resize)
        placeArrow();
    return QWidget::eventFilter(watched, event);
}

QPushButton* CommandButtons::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void CommandButtons::setRideRunning(bool running) {
    for (const char* name : {"stav_motokar", "Statistika", "Tisk1", "TopTen10", "btnNastaveni"}) {
        QPushButton* b = button(QString::fromLatin1(name));
        b->setEnabled(!running && !unavailable_.contains(b));
    }
}

void CommandButtons::DisableUnconnected() {
    for (const Command& c : std::as_const(commands_)) {
        if (isSignalConnected(QMetaMethod::fromSignal(c.signal)) || unavailable_.contains(c.control))
            continue;
        unavailable_.append(c.control);
        if (auto* b = qobject_cast<QPushButton*>(c.control)) {
            b->setEnabled(false);
            b->setToolTip(notReadyHint());
        } else if (auto* a = qobject_cast<QAction*>(c.control)) {
            a->setEnabled(false);
            a->setToolTip(notReadyHint());
        }
    }
    popupMenu5_->setToolTipsVisible(true);
}

} // namespace vartemo

#include "moc_commandbuttons.cpp"
