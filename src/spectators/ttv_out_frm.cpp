#include "spectators/ttv_out_frm.h"

#include <QFrame>
#include <QHeaderView>
#include <QLCDNumber>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

namespace vartemo {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kCreditBlue(0, 0, 255);
constexpr int kTitlePixels = 32;
constexpr int kCreditPixels = 16;
const QString kModeTitles[] = {QStringLiteral("Průběh závodu - minimální časy"),
                               QStringLiteral("Průběh závodu - jednotlivá kola")};

QFont pixelFont(int pixels, bool bold, bool italic = false) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QFrame* makePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(geometry);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
                  const QFont& font, const QColor& color, Qt::Alignment align = Qt::AlignCenter) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(align);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    return label;
}

QLCDNumber* makeDigits(QWidget* parent, const char* name, QRect geometry) {
    auto* lcd = new QLCDNumber(2, parent);
    lcd->setObjectName(QString::fromLatin1(name));
    lcd->setGeometry(geometry);
    lcd->setSegmentStyle(QLCDNumber::Filled);
    lcd->setFrameStyle(QFrame::NoFrame);
    QPalette p = lcd->palette();
    p.setColor(QPalette::WindowText, kNavy);
    p.setColor(QPalette::Light, kNavy);
    p.setColor(QPalette::Dark, kNavy);
    lcd->setPalette(p);
    lcd->display(QStringLiteral("00"));
    return lcd;
}

QTableWidget* makeList(QWidget* parent, const char* name, QRect geometry, int rows,
                       const QStringList& columns, const QList<int>& widths, const QFont& font) {
    auto* list = new QTableWidget(rows, int(columns.size()), parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(geometry);
    list->setFont(font);
    list->setHorizontalHeaderLabels(columns);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->horizontalHeader()->setFont(pixelFont(15, true));
    for (int c = 0; c < columns.size(); ++c)
        list->setColumnWidth(c, widths[c]);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setFocusPolicy(Qt::NoFocus);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = (geometry.height() - list->horizontalHeader()->sizeHint().height() - 4) / rows;
    for (int r = 0; r < rows; ++r) {
        list->setRowHeight(r, rowHeight);
        for (int c = 0; c < columns.size(); ++c)
            list->setItem(r, c, new QTableWidgetItem);
    }
    return list;
}

// The design size, or smaller until every line of the label's text fits it
// whole: a TV shows texts that a wider font would clip.
void fitFont(QLabel* label, int designPixels) {
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    const QRect room = label->contentsRect();
    QFont font = label->font();
    for (int pixels = designPixels; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= room.width() && metrics.height() + metrics.lineSpacing() * (lines.size() - 1) <= room.height())
            break;
    }
    label->setFont(font);
}

void setCell(QTableWidget* list, int row, int column, const QString& text) {
    QTableWidgetItem* item = list->item(row, column);
    if (item->text() != text)
        item->setText(text);
}

// The credit block's picture: a chequered flag.
QPixmap creditPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int cell = 17;
    const QRect flag(30, 20, cell * 9, cell * 6);
    p.fillRect(QRect(flag.left() - 8, flag.top(), 6, size.height() - flag.top() - 4), QColor(90, 60, 30));
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 9; ++c)
            p.fillRect(flag.left() + c * cell, flag.top() + r * cell, cell, cell,
                       (r + c) % 2 ? Qt::white : Qt::black);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(flag);
    return pixmap;
}

} // namespace

TTV_Out_Frm::TTV_Out_Frm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TV_Out_Frm"));
    setWindowTitle(QStringLiteral("Vartemo - průběžné info"));
    // A fixed frame with the caption only; never the focus, never a click.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kClientSize);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);
    setAutoFillBackground(true);
    buildPanels();
    resetContent();
}

void TTV_Out_Frm::buildPanels() {
    const QFont title = pixelFont(kTitlePixels, true, true);

    QFrame* panel1 = makePanel(this, "Panel1", {0, 0, 377, 185});
    makeLabel(panel1, QStringLiteral("Label1"), QStringLiteral("Čas závodu"), {8, 8, 361, 48}, title, kNavy);
    min_ = makeDigits(panel1, "Min", {14, 72, 106, 92});
    makeLabel(panel1, QStringLiteral("Label2"), QStringLiteral(":"), {120, 72, 20, 92}, pixelFont(48, true), kNavy);
    sec_ = makeDigits(panel1, "sec", {140, 72, 106, 92});
    makeLabel(panel1, QStringLiteral("Label3"), QStringLiteral(":"), {246, 72, 20, 92}, pixelFont(48, true), kNavy);
    ms_ = makeDigits(panel1, "ms", {266, 72, 106, 92});

    QFrame* panel4 = makePanel(this, "Panel4", {48, 216, 289, 97});
    label8_ = makeLabel(panel4, QStringLiteral("Label8"), QString(), {6, 4, 184, 89}, pixelFont(kTitlePixels, true), kNavy);
    label8_->setWordWrap(true);
    length_ = makeDigits(panel4, "LcdDisplay1", {196, 12, 86, 72});

    QFrame* panel3 = makePanel(this, "Panel3", {384, 0, 629, 350});
    label5_ = makeLabel(panel3, QStringLiteral("Label5"), QString(), {12, 6, 605, 46}, title, Qt::black);
    zavodView_ = makeList(panel3, "ZavodView", {12, 58, 605, 281}, kKartCount,
                          {QStringLiteral("#"), QStringLiteral("Jméno"), QStringLiteral("Čas"), QStringLiteral("Kola")},
                          {35, 305, 175, 85}, pixelFont(23, true));
    QPalette red = zavodView_->palette();
    red.setColor(QPalette::Text, Qt::red);
    zavodView_->setPalette(red);

    QFrame* panel2 = makePanel(this, "Panel2", {8, 358, 753, 371});
    makeLabel(panel2, QStringLiteral("Label4"), QStringLiteral("Tabulka nejlepších deseti"), {8, 2, 737, 40}, title, Qt::black);
    makeLabel(panel2, QStringLiteral("Label6"), QStringLiteral("Jezdci"), {8, 40, 361, 36}, title, Qt::black);
    makeLabel(panel2, QStringLiteral("Label7"), QStringLiteral("Jezdkyně"), {384, 40, 361, 36}, title, Qt::black);
    const QStringList columns = {QStringLiteral("#"), QStringLiteral("Jména"), QStringLiteral("Časy")};
    topTen_[0] = makeList(panel2, "TopTenList", {8, 76, 361, 289}, 10, columns, {35, 200, 120}, pixelFont(19, true));
    topTen_[1] = makeList(panel2, "TopTenList1", {384, 76, 361, 289}, 10, columns, {35, 200, 120}, pixelFont(19, true));

    QFrame* panel5 = makePanel(this, "Panel5", {768, 456, 241, 265});
    auto* picture = new QLabel(panel5);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(8, 8, 225, 170);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(creditPicture({225, 170}));
    const QFont credit = pixelFont(kCreditPixels, true);
    makeLabel(panel5, QStringLiteral("Label9"), QStringLiteral("Orvane Software"), {8, 184, 225, 24}, credit, kCreditBlue);
    makeLabel(panel5, QStringLiteral("Label10"), QStringLiteral("Vartemo Kestral 2.3"), {8, 208, 225, 24}, credit, kCreditBlue);
    makeLabel(panel5, QStringLiteral("Label11"), QStringLiteral("časomíra motokárové dráhy"), {8, 232, 225, 24}, credit, kCreditBlue);
    for (QLabel* label : findChildren<QLabel*>())
        if (!label->text().isEmpty())
            fitFont(label, label->font().pixelSize());

    // The free corner between the race view and the credits.
    pageCode_ = new QLabel(this);
    pageCode_->setObjectName(QStringLiteral("PageCode"));
    pageCode_->setGeometry(908, 352, 104, 104);
    pageCode_->setAlignment(Qt::AlignCenter);
    pageCode_->hide();
}

void TTV_Out_Frm::resetContent() {
    view_ = RaceView();
    showRaceView();
    for (QTableWidget* list : topTen_)
        for (int r = 0; r < 10; ++r) {
            setCell(list, r, 0, QString::number(r + 1));
            setCell(list, r, 1, QStringLiteral("noname"));
            setCell(list, r, 2, QStringLiteral("59:59:99"));
        }
    for (QLCDNumber* lcd : {min_, sec_, ms_, length_})
        lcd->display(QStringLiteral("00"));
    shownMinutes_ = shownSeconds_ = 0;
    SetLengthLabel(QStringLiteral("Délka"));
    setDisplayMode(mode_);
}

void TTV_Out_Frm::showRaceView() {
    for (int i = 0; i < kKartCount; ++i) {
        setCell(zavodView_, i, 0, QString::number(i + 1));
        setCell(zavodView_, i, 1, view_.rows()[size_t(i)].name);
        setCell(zavodView_, i, 2, view_.timeText(i));
        setCell(zavodView_, i, 3, view_.lapsText(i));
    }
}

void TTV_Out_Frm::refreshBestTen() {
    if (!bestTables_)
        return;
    const BestTables tables = bestTables_();
    // A table of ten rows or fewer is not one to show: the lists keep theirs.
    if (tables.men.size() <= 10 || tables.women.size() <= 10)
        return;
    const std::array<const QList<BestTableRow>*, 2> sources = {&tables.men, &tables.women};
    for (size_t t = 0; t < 2; ++t)
        for (int r = 0; r < 10; ++r) {
            const BestTableRow& row = (*sources[t])[r];
            setCell(topTen_[t], r, 0, row.rank);
            setCell(topTen_[t], r, 1, row.name);
            setCell(topTen_[t], r, 2, row.time);
        }
}

void TTV_Out_Frm::UpdateRaceRow(int kart, const QString& name, int linesBefore, TimeMs lap) {
    if (view_.UpdateRaceRow(kart, name, linesBefore, lap, mode_))
        showRaceView();
}

void TTV_Out_Frm::ShowDriverNames(const std::array<QString, kKartCount>& names) {
    view_.StartNames(names);
    showRaceView();
}

void TTV_Out_Frm::ShowClock(int minutes, int seconds, int millis) {
    // Two digits: the hundredths of the millisecond value.
    ms_->display(QStringLiteral("%1").arg(millis / 10, 2, 10, QLatin1Char('0')));
    if (seconds != shownSeconds_) {
        shownSeconds_ = seconds;
        sec_->display(QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')));
    }
    if (minutes != shownMinutes_) {
        shownMinutes_ = minutes;
        min_->display(QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0')));
    }
}

void TTV_Out_Frm::SetRaceLength(int length) {
    length_->display(length);
}

void TTV_Out_Frm::SetLengthLabel(const QString& text) {
    // The caption's line break is CR LF; a label breaks at LF.
    label8_->setText(QString(text).remove(QLatin1Char('\r')));
    fitFont(label8_, kTitlePixels);
}

void TTV_Out_Frm::setDisplayMode(int mode) {
    mode_ = mode == kRaceViewMinimumTimes ? kRaceViewMinimumTimes : kRaceViewRunningTimes;
    label5_->setText(kModeTitles[mode_]);
    fitFont(label5_, kTitlePixels);
}

void TTV_Out_Frm::showAt(QPoint outerTopLeft) {
    move(outerTopLeft);
    show();
}

QRegion TTV_Out_Frm::panelsRegion() const {
    QRegion region;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isHidden())
            region += w->geometry();
    }
    return region;
}

void TTV_Out_Frm::PruhlednyForm() {
    seeThrough_ = true;
    setMask(panelsRegion());
}

void TTV_Out_Frm::leaveSeeThrough() {
    seeThrough_ = false;
    clearMask();
    resetContent();
}

void TTV_Out_Frm::showPageCode(const QImage& code) {
    if (code.isNull()) {
        pageCode_->hide();
    } else {
        pageCode_->setPixmap(QPixmap::fromImage(code.scaled(pageCode_->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
        pageCode_->show();
    }
    if (seeThrough_)
        setMask(panelsRegion());
}

void TTV_Out_Frm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshBestTen();
}

} // namespace vartemo

#include "moc_ttv_out_frm.cpp"
