#include "engine/raceboardview.h"

#include "ui/compactfont.h"

#include <algorithm>

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

namespace vartemo {

const QString RaceBoardView::kTrackListHint = QStringLiteral(
    "  L   -  čas celého kola\r\n  ID -  čas změřený na snímači  \r\n"
    "       např.   L 00:12:234\r\n                10 00:04:321\r\n                09 00:03:021");

namespace {

constexpr std::array<const char*, kKartCount> kGroupNames = {
    "GroupBox1", "GroupBox5", "GroupBox6", "GroupBox7",
    "GroupBox14", "GroupBox11", "GroupBox12", "GroupBox13"};

// Geometry of a page (pixels), wide layout with track lists, narrow without.
struct PageGeometry {
    int pageWidth;
    int groupWidth;
    std::array<int, 4> groupLeft;
};
constexpr PageGeometry kWide{976, 233, {5, 246, 487, 729}};
constexpr PageGeometry kNarrow{488, 108, {5, 125, 245, 365}};

constexpr int kGroupTop = 4;
constexpr int kGroupHeight = 440;
constexpr int kListTop = 92;
constexpr int kListHeight = 262;
constexpr int kListWidth = 96;
constexpr int kTrackLeft = 124;
constexpr int kTrackWidth = 102;
constexpr int kButtonHeight = 23;

QString listName(int kart, BoardList which) {
    return which == BoardList::Lap ? QStringLiteral("Kola_mezicas%1").arg(kart)
                                   : QStringLiteral("Draha_mezicas%1").arg(kart);
}

// The title bar's font is larger and bold, and its buttons take their room.
int NameBoxWidth(const QFontMetrics& metrics) {
    return std::max(320, metrics.horizontalAdvance(QStringLiteral("Zadejte jméno jezdce")) * 3 / 2 + 160);
}

} // namespace

QString RaceBoardView::ButtonName(const char* stem, int kart, BoardList which) {
    return QStringLiteral("%1%2%3")
        .arg(QLatin1String(stem))
        .arg(kart)
        .arg(which == BoardList::Track ? QStringLiteral("_Draha") : QString());
}

RaceBoardView::RaceBoardView(RaceBoard& board, QWidget* parent)
    : QTabWidget(parent), board_(board) {
    setObjectName(QStringLiteral("pcCasy"));
    namePrompt_ = [this](const QString& proposed) -> std::optional<QString> {
        QInputDialog box(this);
        box.setObjectName(QStringLiteral("NameInputBox"));
        box.setWindowTitle(QStringLiteral("Zadejte jméno jezdce"));
        box.setLabelText(QStringLiteral("Jméno:"));
        box.setTextValue(proposed);
        // Wide enough for the title bar to show its title whole; the box's
        // layout sizes it from its text field.
        if (auto* field = box.findChild<QLineEdit*>())
            field->setMinimumWidth(NameBoxWidth(box.fontMetrics()) - 24);
        if (box.exec() != QDialog::Accepted)
            return std::nullopt;
        return box.textValue();
    };

    const std::array<QString, 2> captions = {QStringLiteral("Naměřené časy - motokáry 1až 4  "),
                                             QStringLiteral("Naměřené časy - motokáry 5 až 8  ")};
    for (int p = 0; p < 2; ++p) {
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("TabSheet%1").arg(p + 1));
        addTab(page, captions[static_cast<size_t>(p)]);
        for (int k = p * 4 + 1; k <= p * 4 + 4; ++k)
            buildSlot(k, page);
    }
    setCurrentIndex(0);

    connect(&board_, &RaceBoard::lineAppended, this, &RaceBoardView::appendLine);
    connect(&board_, &RaceBoard::listReset, this, &RaceBoardView::reloadList);
    connect(&board_, &RaceBoard::driverNameChanged, this,
            [this](int kart, const QString&) { updateCaption(kart); });
    connect(&board_, &RaceBoard::flagsChanged, this, [this](int kart) {
        womanBoxes_[idx(kart)]->setChecked(board_.isWoman(kart));
        excludedBoxes_[idx(kart)]->setChecked(board_.isExcluded(kart));
    });
    ApplyLayout(true);
}

void RaceBoardView::buildSlot(int kart, QWidget* page) {
    const size_t i = idx(kart);
    auto* group = new QGroupBox(page);
    group->setObjectName(QLatin1String(kGroupNames[i]));
    groups_[i] = group;

    auto* name = new QPushButton(QStringLiteral("Jméno &%1").arg(kart), group);
    name->setObjectName(QStringLiteral("btnJezdec%1").arg(kart));
    name->setToolTip(QStringLiteral("  Jméno je nastaveno až do konce závodu  "));
    name->setGeometry(8, 20, 92, kButtonHeight);
    connect(name, &QPushButton::clicked, this, [this, kart] { askDriverName(kart); });
    nameButtons_[i] = name;

    auto* woman = new QCheckBox(QStringLiteral("Žena"), group);
    woman->setObjectName(QStringLiteral("ZenaBox%1").arg(kart));
    woman->setToolTip(QStringLiteral("Na této motokáře jezdí žena."));
    woman->setGeometry(8, 48, 92, 18);
    connect(woman, &QCheckBox::toggled, this, [this, kart](bool on) { board_.setWoman(kart, on); });
    womanBoxes_[i] = woman;

    auto* excluded = new QCheckBox(QStringLiteral("Bez účasti"), group);
    excluded->setObjectName(QStringLiteral("UcastBox%1").arg(kart));
    excluded->setToolTip(
        QStringLiteral("Zatržením vypnete zařazení jezdce do tabulky Top 20."));
    excluded->setGeometry(8, 68, 92, 18);
    connect(excluded, &QCheckBox::toggled, this,
            [this, kart](bool on) { board_.setExcluded(kart, on); });
    excludedBoxes_[i] = excluded;

    for (BoardList which : {BoardList::Lap, BoardList::Track}) {
        auto* list = new QListWidget(group);
        list->setObjectName(listName(kart, which));
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QListWidget::customContextMenuRequested, this,
                [this, kart, which](const QPoint& pos) { showListMenu(kart, which, pos); });
        (which == BoardList::Lap ? lapLists_ : trackLists_)[i] = list;
        (which == BoardList::Lap ? lapButtons_ : trackButtons_)[i] =
            buildListButtons(kart, which, group);
    }
    trackLists_[i]->setToolTip(kTrackListHint);

    // The caption in the compact face, so that "kara1" fits the narrow
    // frame; the frame's contents keep the window's face.
    QFont regular = font();
    regular.setResolveMask(QFont::AllPropertiesResolved); // set, not inherited
    group->setFont(CompactFont(font()));
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setFont(regular);
    updateCaption(kart);
}

RaceBoardView::ListButtons RaceBoardView::buildListButtons(int kart, BoardList which,
                                                           QWidget* parent) {
    ListButtons b;
    b.clear = new QPushButton(QStringLiteral(" Smazat "), parent);
    b.clear->setObjectName(ButtonName("Smazat", kart, which));
    b.save = new QPushButton(QStringLiteral("Ulož časy"), parent);
    b.save->setObjectName(ButtonName("Uloz", kart, which));
    b.load = new QPushButton(QStringLiteral("Načti časy"), parent);
    b.load->setObjectName(ButtonName("Nacti", kart, which));
    connect(b.clear, &QPushButton::clicked, this,
            [this, kart, which] { board_.clearList(kart, which); });
    connect(b.save, &QPushButton::clicked, this,
            [this, kart, which] { emit saveRequested(kart, which); });
    connect(b.load, &QPushButton::clicked, this,
            [this, kart, which] { emit loadRequested(kart, which); });
    return b;
}

void RaceBoardView::ApplyLayout(bool showTrackLists) {
    trackShown_ = showTrackLists;
    const PageGeometry& g = showTrackLists ? kWide : kNarrow;
    setFixedWidth(g.pageWidth);
    for (int k = 1; k <= kKartCount; ++k) {
        const size_t i = idx(k);
        groups_[i]->setGeometry(g.groupLeft[(i % 4)], kGroupTop, g.groupWidth, kGroupHeight);
        placeSlot(k);
        updateCaption(k);
        trackLists_[i]->setVisible(showTrackLists);
        for (QPushButton* b : {trackButtons_[i].clear, trackButtons_[i].save, trackButtons_[i].load})
            b->setVisible(showTrackLists);
    }
}

void RaceBoardView::placeSlot(int kart) {
    const size_t i = idx(kart);
    lapLists_[i]->setGeometry(6, kListTop, kListWidth, kListHeight);
    trackLists_[i]->setGeometry(kTrackLeft, kListTop, kTrackWidth, kListHeight);
    int top = kListTop + kListHeight + 4;
    for (auto* pair : {&lapButtons_[i], &trackButtons_[i]}) {
        const bool lap = pair == &lapButtons_[i];
        const int left = lap ? 6 : kTrackLeft;
        const int width = lap ? kListWidth : kTrackWidth;
        int y = top;
        for (QPushButton* b : {pair->clear, pair->save, pair->load}) {
            b->setGeometry(left, y, width, kButtonHeight);
            y += kButtonHeight + 2;
        }
    }
}

const QString RaceBoardView::kOverdueText = QStringLiteral("Bez průjezdu");

void RaceBoardView::setOverdue(int kart, bool overdue) {
    QLabel*& mark = overdueMarks_[idx(kart)];
    if (!mark) {
        if (!overdue)
            return;
        // Over the list, not in the frame's layout: the lists keep their place.
        mark = new QLabel(kOverdueText, lapLists_[idx(kart)]);
        mark->setObjectName(QStringLiteral("Nevidena%1").arg(kart));
        mark->setAlignment(Qt::AlignCenter);
        mark->setAutoFillBackground(true);
        QPalette palette = mark->palette();
        palette.setColor(QPalette::Window, QColor(0xD0, 0x10, 0x10));
        palette.setColor(QPalette::WindowText, Qt::white);
        mark->setPalette(palette);
        QFont bold = mark->font();
        bold.setBold(true);
        mark->setFont(bold);
        mark->setToolTip(QStringLiteral("Motokára %1 dlouho neprojela cílem: vybitý vysílač, nebo stojí?").arg(kart));
    }
    mark->setGeometry(0, 0, lapLists_[idx(kart)]->width(), mark->sizeHint().height() + 4);
    mark->setVisible(overdue);
    // The page of karts 1 to 4 or 5 to 8 shows that one of its karts is marked.
    const int page = (kart - 1) / 4;
    bool any = false;
    for (int k = page * 4 + 1; k <= page * 4 + 4; ++k)
        any = any || isOverdue(k);
    tabBar()->setTabTextColor(page, any ? QColor(0xD0, 0x10, 0x10) : QColor());
}

bool RaceBoardView::isOverdue(int kart) const {
    const QLabel* mark = overdueMarks_[idx(kart)];
    return mark && !mark->isHidden();
}

QListWidget* RaceBoardView::list(int kart, BoardList which) const {
    return which == BoardList::Lap ? lapLists_[idx(kart)] : trackLists_[idx(kart)];
}

void RaceBoardView::askDriverName(int kart) {
    emit nameEntryStarting();
    const QString proposed = RaceBoard::DefaultDriverName(kart);
    // Cancelling gives back the proposed text: the name returns to the default.
    board_.setDriverName(kart, namePrompt_(proposed).value_or(proposed));
    emit nameEntryFinished();
}

void RaceBoardView::updateCaption(int kart) {
    // A long name in a narrow frame ends in "…"; the hint holds it whole.
    QGroupBox* group = groups_[idx(kart)];
    const QString caption = QStringLiteral(" Mezičasy  ") + board_.DriverName(kart);
    const QString shown = group->fontMetrics().elidedText(caption, Qt::ElideRight, group->width() - 16);
    group->setTitle(shown);
    group->setToolTip(shown == caption ? QString() : board_.DriverName(kart));
}

void RaceBoardView::appendLine(int kart, BoardList which, const QString& line) {
    QListWidget* l = list(kart, which);
    l->addItem(line);
    l->setCurrentRow(l->count() - 1);
    l->scrollToBottom();
}

void RaceBoardView::reloadList(int kart, BoardList which) {
    QListWidget* l = list(kart, which);
    l->clear();
    l->addItems(board_.lines(kart, which));
}

void RaceBoardView::showListMenu(int kart, BoardList which, const QPoint& pos) {
    QListWidget* l = list(kart, which);
    QMenu menu(l);
    if (which == BoardList::Lap) {
        menu.addAction(QStringLiteral("Vložit do tab. Top 20"), this,
                       [this, kart] { requestTopTwenty(kart); });
    }
    menu.addAction(QStringLiteral("Smazat záznam"), this,
                   [this, kart, which] { deleteSelectedLine(kart, which); });
    menu.exec(l->mapToGlobal(pos));
}

void RaceBoardView::deleteSelectedLine(int kart, BoardList which) {
    QListWidget* l = list(kart, which);
    // With nothing selected there is nothing to delete.
    if (!l->selectedItems().isEmpty())
        board_.deleteLine(kart, which, l->currentRow());
}

void RaceBoardView::requestTopTwenty(int kart) {
    // An empty lap list has no lap to offer: nothing happens.
    if (board_.lapCount(kart) > 0)
        emit topTwentyRequested(kart);
}

} // namespace vartemo

#include "moc_raceboardview.cpp"
