#include "app/helpwindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vartemo {

namespace {

const QString kTitle = QStringLiteral("Nápověda");

QPushButton* makeHelpButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(kTitle);
    // Beside the main window, not holding it up: the operator reads while working.
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    // Pages of the help open here; addresses outside it go to the desktop.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);

    auto* back = makeHelpButton("btnHelpZpet", QStringLiteral("&Zpět"));
    auto* forward = makeHelpButton("btnHelpVpred", QStringLiteral("&Vpřed"));
    auto* contents = makeHelpButton("btnHelpObsah", QStringLiteral("&Obsah"));
    auto* close = makeHelpButton("btnHelpZavrit", QStringLiteral("Za&vřít"));
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(browser_, 1);

    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    // The page's own title, so the operator sees where he is.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser_->documentTitle();
        setWindowTitle(page.isEmpty() ? kTitle : page);
    });

    // Room for a page on a 1024 x 768 screen, beside the main window.
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 36);
}

void HelpWindow::showPage(const QUrl& page) {
    browser_->setSearchPaths({QFileInfo(page.toLocalFile()).absolutePath()});
    if (browser_->source() != page)
        browser_->setSource(page);
    show();
    raise();
    activateWindow();
}

} // namespace vartemo

#include "moc_helpwindow.cpp"
