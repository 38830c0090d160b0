#include "printing/printpreviewdialog.h"

#include "printing/pagerenderer.h"
#include "printing/stationprinter.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace vartemo {

// The current page at the preview's zoom on a grey desk.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("PrintPreview")); }

    void show(const Page* page, QSize paper, int zoom, bool lowQuality) {
        page_ = page;
        paper_ = paper;
        lowQuality_ = lowQuality;
        const double pixelsPerHmm = ScreenDpi() / 2540.0 * zoom / 100.0;
        paperPixels_ = QSize(int(paper.width() * pixelsPerHmm), int(paper.height() * pixelsPerHmm));
        setFixedSize(paperPixels_ + QSize(2 * kDesk, 2 * kDesk));
        update();
    }

    static double ScreenDpi() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->logicalDotsPerInch() : 96.0;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        if (!page_)
            return;
        const QRect paper(QPoint(kDesk, kDesk), paperPixels_);
        painter.fillRect(paper, Qt::white);
        painter.setClipRect(paper);
        RenderPage(painter, *page_, paper_, paper, lowQuality_);
    }

private:
    static constexpr int kDesk = 10;
    const Page* page_ = nullptr;
    QSize paper_;
    QSize paperPixels_{1, 1};
    bool lowQuality_ = false;
};

namespace {
QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
QToolButton* Glyph(const char* name, QStyle::StandardPixmap icon, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setText(text);
    b->setToolTip(text);
    return b;
}
QLabel* Label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }
constexpr int kUnitHundredthsOfMm = 2;
} // namespace

QString PrintPreviewDialog::ApplicationTitle() { return QCoreApplication::applicationName(); }

QStringList PrintPreviewDialog::UnitNames() {
    return {QStringLiteral("Pixels"), QStringLiteral("0.1 mm"), QStringLiteral("0.01 mm"),
            QStringLiteral("0.01\""), QStringLiteral("0.001\""), QStringLiteral("TWIPS")};
}

PrintPreviewDialog::PrintPreviewDialog(StationPrinter& printer, Options options, QWidget* parent)
    : QDialog(parent), printer_(printer), options_(std::move(options)) {
    setWindowTitle(options_.caption);
    resize(options_.size);
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* top = new QHBoxLayout;
    top->addWidget(Label(QStringLiteral("zvětšení:"), this));
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName(QStringLiteral("ZoomLabel"));
    zoomLabel_->setMinimumWidth(45);
    top->addWidget(zoomLabel_);
    zoomIn_ = Glyph("ZoomInBtn", QStyle::SP_ArrowUp, QStringLiteral("+"), this);
    zoomOut_ = Glyph("ZoomOutBtn", QStyle::SP_ArrowDown, QStringLiteral("-"), this);
    top->addWidget(zoomIn_);
    top->addWidget(zoomOut_);
    allPage_ = Button("AllPageBtn", QStringLiteral("Celá stránka"), this);
    top->addWidget(allPage_);
    top->addWidget(Label(QStringLiteral("Rozlišení"), this));
    unitBox_ = new QComboBox(this);
    unitBox_->setObjectName(QStringLiteral("UnitComboBox"));
    unitBox_->addItems(UnitNames());
    unitBox_->setCurrentIndex(kUnitHundredthsOfMm);
    top->addWidget(unitBox_);
    quality_ = new QCheckBox(QStringLiteral("Malá kvalita tisku"), this);
    quality_->setObjectName(QStringLiteral("KvalitaTisku"));
    top->addWidget(quality_);
    top->addStretch();
    top->addWidget(Label(QStringLiteral("Stránka:"), this));
    pageLabel_ = new QLabel(options_.compactPaging ? QStringLiteral("0/0") : QStringLiteral("0 / 0"), this);
    pageLabel_->setObjectName(QStringLiteral("PageLabel"));
    top->addWidget(pageLabel_);
    prevPage_ = Button("PrevPageBtn", QStringLiteral("<"), this);
    nextPage_ = Button("NextPageBtn", QStringLiteral(">"), this);
    prevPage_->setMaximumWidth(30);
    nextPage_->setMaximumWidth(30);
    top->addWidget(prevPage_);
    top->addWidget(nextPage_);

    extra_ = new QHBoxLayout;
    printBtn_ = Button("PrintBtn", QStringLiteral("Tisk"), this);
    closeBtn_ = Button("ZavritBtn", QStringLiteral("Zavřít"), this);
    closeBtn_->setDefault(true);
    extra_->addStretch();
    extra_->addWidget(printBtn_);
    extra_->addWidget(closeBtn_);

    auto* wait = new QHBoxLayout;
    waitLabel_ = Label(QStringLiteral("Čekejte prosím, probíhá vytváření stránek"), this);
    waitLabel_->setObjectName(QStringLiteral("WaitLabel"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    wait->addWidget(waitLabel_);
    wait->addWidget(progress_);
    waitLabel_->hide();
    progress_->hide();

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(scroll_);
    scroll_->setWidget(view_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(extra_);
    layout->addLayout(wait);
    layout->addWidget(scroll_, 1);

    connect(zoomIn_, &QToolButton::clicked, this, [this] { setZoom(zoom_ * 2); });
    connect(zoomOut_, &QToolButton::clicked, this, [this] { setZoom(zoom_ / 2); });
    connect(allPage_, &QPushButton::clicked, this, &PrintPreviewDialog::zoomWholePage);
    connect(unitBox_, &QComboBox::currentIndexChanged, this, [this] { ComposePages(); });
    connect(quality_, &QCheckBox::toggled, this, [this] { showPage(page_); });
    connect(prevPage_, &QPushButton::clicked, this, [this] {
        if (page_ > 1) {
            showPage(page_ - 1);
            writePageLabel(true);
        }
    });
    connect(nextPage_, &QPushButton::clicked, this, [this] {
        if (page_ < int(sheet_.pages.size())) {
            showPage(page_ + 1);
            writePageLabel(true);
        }
    });
    connect(printBtn_, &QPushButton::clicked, this, &PrintPreviewDialog::PrintBtnClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
    writeZoomLabel();
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

bool PrintPreviewDialog::lowQuality() const { return quality_->isChecked(); }

void PrintPreviewDialog::setComposingState(bool composing) {
    composing_ = composing;
    for (QWidget* w : std::initializer_list<QWidget*>{unitBox_, printBtn_, zoomIn_, zoomOut_, allPage_,
                                                      prevPage_, nextPage_})
        w->setEnabled(!composing);
    if (composing) {
        setWindowTitle(ApplicationTitle() + QStringLiteral(" - vytvářím stránky..."));
        progress_->reset();
        progress_->setValue(0);
    }
    waitLabel_->setVisible(composing && options_.waitIndicator);
    progress_->setVisible(composing && options_.waitIndicator);
}

void PrintPreviewDialog::ComposePages() {
    const int run = ++composeRun_;
    sheet_ = {};
    showPage(0);
    setComposingState(true);
    sheet_ = composeSheet([this](int done, int planned) {
        progress_->setMaximum(std::max(planned, done));
        progress_->setValue(done);
    });
    if (options_.composePauseMs <= 0) {
        finishComposing();
        return;
    }
    QTimer::singleShot(options_.composePauseMs, this, [this, run] {
        if (run == composeRun_)
            finishComposing();
    });
}

void PrintPreviewDialog::finishComposing() {
    setComposingState(false);
    setWindowTitle(sheet_.caption);
    showPage(sheet_.pages.empty() ? 0 : 1);
    writePageLabel(false);
    // Activation only: a recomposing keeps the operator's zoom.
    if (std::exchange(activationCompose_, false))
        zoomWholePage();
    emit composed();
    for (const QString& message : sheet_.problems)
        report(message);
}

void PrintPreviewDialog::report(const QString& message) {
    if (collecting_)
        collecting_->append(message);
    else
        emit problem(message);
}

void PrintPreviewDialog::showPage(int page) {
    page_ = page;
    const Page* shown = page >= 1 && page <= int(sheet_.pages.size()) ? &sheet_.pages[size_t(page - 1)] : nullptr;
    view_->show(shown, sheet_.paper, zoom_, lowQuality());
}

void PrintPreviewDialog::writePageLabel(bool paging) {
    const int count = int(sheet_.pages.size());
    const QString separator = paging && options_.compactPaging ? QStringLiteral("/") : QStringLiteral(" / ");
    pageLabel_->setText(QString::number(page_) + separator + QString::number(count));
}

void PrintPreviewDialog::writeZoomLabel() { zoomLabel_->setText(QStringLiteral("%1%").arg(zoom_)); }

void PrintPreviewDialog::setZoom(int percent) {
    zoom_ = std::clamp(percent, 1, 1000);
    showPage(page_);
    writeZoomLabel();
}

int PrintPreviewDialog::wholePageZoom() const {
    const QSize room = scroll_->viewport()->size() - QSize(24, 24);
    const double pixelsPerHmm = PageView::ScreenDpi() / 2540.0;
    const double w = sheet_.paper.width() * pixelsPerHmm;
    const double h = sheet_.paper.height() * pixelsPerHmm;
    if (w <= 0 || h <= 0 || room.isEmpty())
        return zoom_;
    return std::max(1, int(std::min(room.width() / w, room.height() / h) * 100));
}

void PrintPreviewDialog::zoomWholePage() { setZoom(wholePageZoom()); }

void PrintPreviewDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (printing_)
        return;
    // Every activation composes the pages from the current data.
    QTimer::singleShot(0, this, [this] {
        activationCompose_ = true;
        ComposePages();
    });
}

void PrintPreviewDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    writeZoomLabel();
}

void PrintPreviewDialog::done(int result) {
    // Closing clears the pages (and with them the pictures they hold).
    ++composeRun_;
    sheet_ = {};
    showPage(0);
    setComposingState(false);
    QDialog::done(result);
}

void PrintPreviewDialog::printPages() {
    const QString title = ApplicationTitle();
    const QString error = printer_.print(sheet_, lowQuality(), [this, &title](int page, int count) {
        setWindowTitle(QString::asprintf("%s - Tisknu stránku %d of %d (%%%d hotovo)...", qPrintable(title), page,
                                         count, page * 100 / std::max(count, 1)));
    });
    if (!error.isEmpty())
        report(error);
}

void PrintPreviewDialog::PrintBtnClick() {
    if (!composing_ && printer_.confirm(sheet_, this))
        printPages();
    reject();
}

QStringList PrintPreviewDialog::PrintWithoutDialog() {
    printing_ = true;
    QStringList problems;
    collecting_ = &problems;
    show();
    const int pause = std::exchange(options_.composePauseMs, 0);
    ComposePages();
    options_.composePauseMs = pause;
    printPages();
    collecting_ = nullptr;
    done(QDialog::Accepted);
    printing_ = false;
    return problems;
}

} // namespace vartemo

#include "moc_printpreviewdialog.cpp"
