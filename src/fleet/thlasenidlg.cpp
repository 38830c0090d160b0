#include "fleet/thlasenidlg.h"

#include "fleet/kartfleet.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace vartemo {

namespace {

constexpr int kClientWidth = 793;
constexpr int kClientHeight = 425;
constexpr int kBoxWidth = 385;
constexpr int kBoxHeight = 89;
constexpr int kMargin = 8;
constexpr int kGap = 7;

const char* const kBoxCaptions[] = {" První motokára ", " Druhá motokára ", " Třetí motokára ",
                                    " Čtvrtá motokára ", " Pátá motokára ", " Šestá motokára ",
                                    " Sedmá motokára ", " Osmá motokára "};

} // namespace

THlaseniDlg::THlaseniDlg(KartFleet& fleet, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), fleet_(fleet) {
    setObjectName(QStringLiteral("HlaseniDlg"));
    setWindowTitle(QStringLiteral("Hlášení"));
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    for (int kart = 1; kart <= 8; ++kart) {
        const int column = (kart - 1) / 4;
        const int row = (kart - 1) % 4;
        auto* box = new QGroupBox(QString::fromUtf8(kBoxCaptions[kart - 1]), this);
        box->setObjectName(QStringLiteral("GroupBox%1").arg(kart));
        box->setGeometry(kMargin + column * (kBoxWidth + kGap), kMargin + row * (kBoxHeight + kGap), kBoxWidth,
                         kBoxHeight);
        auto* label = new QLabel(box);
        label->setObjectName(QStringLiteral("Hlaseni%1").arg(kart));
        label->setGeometry(8, 18, 369, 65);
        label->setAlignment(Qt::AlignCenter);
        labels_[size_t(kart - 1)] = label;
    }
    auto* ok = new QPushButton(QStringLiteral("Beru na vědomí"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setGeometry((kClientWidth - 150) / 2, kClientHeight - 38, 150, 28);
    connect(ok, &QPushButton::clicked, this, &THlaseniDlg::accept);
    connect(&fleet_, &KartFleet::changed, this, &THlaseniDlg::showTexts);
    showTexts();
}

// The notice lines end with a carriage return; the label breaks there.
void THlaseniDlg::showTexts() {
    for (int kart = 1; kart <= 8; ++kart) {
        QString text = fleet_.notice(kart);
        if (text.endsWith(u'\r'))
            text.chop(1);
        text.replace(u'\r', u'\n');
        labels_[size_t(kart - 1)]->setText(text);
    }
}

void THlaseniDlg::ShowNotices() {
    if (fleet_.hasNotices())
        exec();
}

void THlaseniDlg::accept() {
    fleet_.AcknowledgeNotices();
    QDialog::accept();
}

void THlaseniDlg::reject() {
    accept();
}

void THlaseniDlg::showEvent(QShowEvent* event) {
    showTexts();
    if (const QScreen* s = screen())
        move(s->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace vartemo

#include "moc_thlasenidlg.cpp"
