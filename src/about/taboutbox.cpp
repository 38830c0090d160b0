#include "about/taboutbox.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDesktopServices>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace vartemo {

const QString TAboutBox::kContactAddress = QStringLiteral("podpora@vartemo-kestral.cz");

namespace {
constexpr int kFadeStepMs = 8;

QLabel* label(const char* objectName, const QString& text = {}) {
    auto* l = new QLabel(text);
    l->setObjectName(QLatin1String(objectName));
    return l;
}
} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), openUrl_(&QDesktopServices::openUrl) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("O programu"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(633, 385);
    setLevel(0);

    auto* image1 = label("Image1");
    image1->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    if (image1->pixmap().isNull())
        image1->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(64, 64));
    image1->setAlignment(Qt::AlignCenter);
    auto* image2 = label("Image2");
    image2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    image2->setAlignment(Qt::AlignCenter);
    productName_ = label("ProductName");
    QFont bold = productName_->font();
    bold.setBold(true);
    bold.setItalic(true);
    productName_->setFont(bold);
    productName_->setAlignment(Qt::AlignCenter);
    productName_->setWordWrap(true);
    build_ = label("Build");
    QFont italic = build_->font();
    italic.setItalic(true);
    build_->setFont(italic);
    build_->setAlignment(Qt::AlignRight);
    auto* maker = label("Label1", QStringLiteral("Orvane Software"));
    auto* name = label("Label2", QStringLiteral("Tým Vartemo Kestral"));
    contact_ = label("Label3", kContactAddress);
    contact_->setCursor(Qt::PointingHandCursor);
    contact_->installEventFilter(this);
    close_ = new QPushButton(QStringLiteral("&Zavřít"));
    close_->setObjectName(QStringLiteral("ZavritAbout"));
    close_->setDefault(true);
    auto* information = new QPushButton(QStringLiteral("&Informace"));
    information->setObjectName(QStringLiteral("InformaceBtn"));
    information->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &TAboutBox::CloseFading);
    connect(information, &QPushButton::clicked, this, &TAboutBox::informationRequested);

    auto* left = new QVBoxLayout;
    left->addWidget(image1);
    left->addWidget(productName_);
    left->addWidget(build_);
    left->addWidget(image2);
    left->addStretch();
    for (QLabel* l : {maker, name, contact_})
        left->addWidget(l);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(information);
    buttons->addWidget(close_);
    left->addLayout(buttons);
    auto* leftGroup = new QGroupBox;
    leftGroup->setLayout(left);
    leftGroup->setFixedWidth(250);

    info_ = new QPlainTextEdit;
    info_->setObjectName(QStringLiteral("InfoPC"));
    info_->setReadOnly(true);
    info_->setLineWrapMode(QPlainTextEdit::NoWrap);
    info_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    info_->setTabStopDistance(info_->fontMetrics().horizontalAdvance(u' ') * 8);
    auto* right = new QVBoxLayout;
    right->addWidget(info_);
    auto* infoGroup = new QGroupBox(QStringLiteral(" Info "));
    infoGroup->setLayout(right);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(leftGroup);
    layout->addWidget(infoGroup, 1);

    fadeTimer_ = new QTimer(this);
    fadeTimer_->setInterval(kFadeStepMs);
    connect(fadeTimer_, &QTimer::timeout, this, [this] {
        if (pendingLevels_.isEmpty()) {
            fadeTimer_->stop();
            if (auto then = std::exchange(afterFade_, {}))
                then();
            return;
        }
        setLevel(pendingLevels_.takeFirst());
    });
}

void TAboutBox::setVersion(const QString& productName, const QString& build) {
    productName_->setText(productName);
    build_->setText(build);
}

QString TAboutBox::productName() const {
    return productName_->text();
}

QString TAboutBox::buildText() const {
    return build_->text();
}

void TAboutBox::setSystemInfo(const QStringList& rows) {
    info_->setPlainText(rows.join(u'\n'));
}

QStringList TAboutBox::systemInfo() const {
    return info_->toPlainText().split(u'\n');
}

QList<int> TAboutBox::FadeInLevels() {
    QList<int> levels;
    for (int level = 15; level <= 245; level += 10)
        levels << level;
    levels << 255;
    return levels;
}

QList<int> TAboutBox::FadeOutLevels() {
    QList<int> levels;
    for (int level = 240; level >= 10; level -= 10)
        levels << level;
    levels << 0;
    return levels;
}

void TAboutBox::setLevel(int level) {
    level_ = level;
    // Screens without see-through windows (offscreen, minimal) only warn.
    static const bool seeThrough = !QStringList{"offscreen", "minimal"}.contains(QGuiApplication::platformName());
    if (seeThrough)
        setWindowOpacity(level / 255.0);
}

void TAboutBox::fade(QList<int> levels, std::function<void()> then) {
    pendingLevels_ = std::move(levels);
    afterFade_ = std::move(then);
    setLevel(pendingLevels_.takeFirst());
    fadeTimer_->start();
}

void TAboutBox::ShowModal() {
    emit activated();
    if (!isVisible()) {
        setWindowModality(Qt::ApplicationModal);
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
        show();
    }
    raise();
    activateWindow();
    close_->setFocus();
    fade(FadeInLevels(), {});
}

void TAboutBox::CloseFading() {
    if (!isVisible() || afterFade_)
        return;
    fade(FadeOutLevels(), [this] { done(kAbort); });
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == contact_ && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openUrl_(QUrl(QStringLiteral("mailto:") + kContactAddress));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vartemo

#include "moc_taboutbox.cpp"
