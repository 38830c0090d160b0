#include "fleet/thlasenidlg.h"
#include "fleetfixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vartemo;
using vartemo::testing::FleetTest;

namespace {

class HlaseniTest : public FleetTest {
protected:
    THlaseniDlg dialog{fleet};
    QLabel* label(int kart) { return dialog.findChild<QLabel*>(QStringLiteral("Hlaseni%1").arg(kart)); }
};

} // namespace

TEST_F(HlaseniTest, EightBoxesInTwoColumnsAndTheButton) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Hlášení"));
    EXPECT_EQ(dialog.size(), QSize(793, 425));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    const QStringList captions = {" První motokára ", " Druhá motokára ", " Třetí motokára ", " Čtvrtá motokára ",
                                  " Pátá motokára ",  " Šestá motokára ", " Sedmá motokára ", " Osmá motokára "};
    for (int k = 1; k <= 8; ++k) {
        auto* box = qobject_cast<QGroupBox*>(label(k)->parentWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), captions[k - 1]);
        EXPECT_EQ(box->size(), QSize(385, 89));
        EXPECT_EQ(label(k)->size(), QSize(369, 65));
        EXPECT_EQ(label(k)->alignment(), Qt::AlignCenter);
        EXPECT_LE(box->geometry().right(), 793);
    }
    // Karts 1-4 down the left, 5-8 down the right.
    EXPECT_EQ(label(1)->parentWidget()->x(), label(4)->parentWidget()->x());
    EXPECT_GT(label(5)->parentWidget()->x(), label(1)->parentWidget()->x() + 385);
    EXPECT_EQ(label(5)->parentWidget()->y(), label(1)->parentWidget()->y());
    EXPECT_GT(label(2)->parentWidget()->y(), label(1)->parentWidget()->y() + 88);
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("Beru na vědomí"));
    EXPECT_TRUE(ok->isDefault());
}

TEST_F(HlaseniTest, ShowsTheNoticeLinesAndTheButtonOrEscAcknowledges) {
    writeFile("[Motokara2]\r\nDoplneni=1\r\nObsahNadrze=1\r\nPrumernaSpotreba=100\r\nNajeto=2:0\r\n"
              "Ukol1=1\r\nUkolHodin1=1\r\nText1=Olej\r\nUkol4=1\r\nUkolHodin4=2\r\nText4=Brzdy\r\n");
    for (bool byEscape : {false, true}) {
        fleet.LoadKartStatus();
        fleet.CheckFuel();
        fleet.CheckTasks();
        bool seen = false;
        QTimer::singleShot(0, &dialog, [&] {
            seen = dialog.isVisible();
            EXPECT_EQ(label(2)->text(), QStringLiteral("Doplňte palivo !\nOlej\nBrzdy"));
            EXPECT_EQ(label(1)->text(), QString());
            if (byEscape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        });
        dialog.ShowNotices();
        EXPECT_TRUE(seen) << byEscape;
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(fleet.hasNotices()) << byEscape;
        EXPECT_EQ(label(2)->text(), QString());
    }
}

TEST_F(HlaseniTest, NothingToTellShowsNothing) {
    fleet.CheckFuel();
    fleet.CheckTasks();
    bool shown = false;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.isVisible();
        dialog.accept();
    });
    dialog.ShowNotices();
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown);
}
