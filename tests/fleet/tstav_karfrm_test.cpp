#include "fleet/kartstatusfile.h"
#include "fleet/tstav_karfrm.h"
#include "fleetfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace vartemo;
using vartemo::testing::FleetTest;

namespace {

class KarFrmTest : public FleetTest {
protected:
    QStringList errors;
    TStav_KarFrm window{fleet};

    void SetUp() override {
        window.setShowError([this](QWidget*, const QString& m) { errors << m; });
    }
    template <typename T>
    T* find(const QString& name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QString text(const QString& name) { return find<QLineEdit>(name)->text(); }
    QSpinBox* spin(const QString& name) { return find<QSpinBox>(name); }
};

} // namespace

TEST_F(KarFrmTest, EveryControlIsThereUnderItsNameWithItsRange) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Technický stav motokár"));
    EXPECT_TRUE(window.isModal());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    auto* page = find<QTabWidget>(QStringLiteral("Page1"));
    ASSERT_EQ(page->count(), 8);
    EXPECT_EQ(page->tabText(7), QStringLiteral("Motokára 8"));
    EXPECT_EQ(find<QPushButton>(QStringLiteral("OK"))->text(), QStringLiteral("Potvrdit a zavřít"));
    EXPECT_EQ(find<QPushButton>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("Zobraz &Deník"));

    const struct {
        const char* pattern;
        int min, max;
    } spins[] = {{"PocStav%1_Min", 0, 60},    {"Pr_spotreba%1", 1, 100}, {"Obsah_nadrze%1", 1, 999},
                 {"Litru%1", 1, 999},         {"UkolV%1_1Hod", 0, 999999}, {"UkolV%1_4Min", -1, 60}};
    for (int k = 1; k <= 8; ++k) {
        for (const auto& s : spins) {
            QSpinBox* box = spin(QString::fromLatin1(s.pattern).arg(k));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(std::pair(box->minimum(), box->maximum()), std::pair(s.min, s.max)) << s.pattern << k;
        }
        EXPECT_EQ(spin(TStav_KarFrm::initialHoursName(k))->maximum(), 999999);
        for (const char* ro : {"Najeto%1", "Celkem%1", "CelkemL%1"})
            EXPECT_TRUE(find<QLineEdit>(QString::fromLatin1(ro).arg(k))->isReadOnly());
        EXPECT_TRUE(find<QLineEdit>(TStav_KarFrm::fuelSinceResetName(k))->isReadOnly());
        EXPECT_EQ(find<QPushButton>(QStringLiteral("Vynuluj%1").arg(k))->text(), QStringLiteral("Vynuluj"));
        EXPECT_EQ(find<QCheckBox>(QStringLiteral("Doplneni%1").arg(k))->text(), QStringLiteral("Tankuj nádrž každých"));
        for (int t = 1; t <= 4; ++t) {
            find<QCheckBox>(QStringLiteral("Ukol%1_%2").arg(k).arg(t));
            EXPECT_EQ(find<QLineEdit>(QStringLiteral("Text%1_%2").arg(k).arg(t))->maxLength(), 60);
            EXPECT_FALSE(find<QPushButton>(QStringLiteral("btnHotovo%1_%2").arg(k).arg(t))->isEnabled());
        }
    }
    // The names that differ from the rest.
    for (const char* n : {"PocStav2_hod", "PocStav1_Hod", "PocStav8_Hod", "SLitru1", "Slitru2", "SLitru3", "SLitru4",
                          "Slitru5", "Slitru8"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
    for (const char* n : {"PocStav2_Hod", "SLitru2", "Slitru1", "SLitru8"})
        EXPECT_EQ(window.findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
}

TEST_F(KarFrmTest, EditsGoToTheRecordsWithTheirCarryAndWrap) {
    loadDriven({{1, "1:30"}});
    window.show();
    spin(QStringLiteral("PocStav1_Hod"))->setValue(2);
    spin(QStringLiteral("PocStav1_Min"))->setValue(60); // as typed: 60 carried
    EXPECT_EQ(fleet.kart(1).initialHours, 3);
    EXPECT_EQ(spin(QStringLiteral("PocStav1_Hod"))->value(), 3);
    EXPECT_EQ(spin(QStringLiteral("PocStav1_Min"))->value(), 0);
    EXPECT_EQ(text(QStringLiteral("Celkem1")), QStringLiteral("4:30"));

    spin(QStringLiteral("UkolV1_2Hod"))->setValue(1);
    spin(QStringLiteral("UkolV1_2Min"))->stepDown();
    EXPECT_EQ(spin(QStringLiteral("UkolV1_2Hod"))->value(), 0);
    EXPECT_EQ(spin(QStringLiteral("UkolV1_2Min"))->value(), 59);
    spin(QStringLiteral("UkolV1_2Min"))->stepUp();
    EXPECT_EQ(fleet.kart(1).tasks[1].intervalHours, 1);
    EXPECT_EQ(fleet.kart(1).tasks[1].intervalMinutes, 0);

    spin(QStringLiteral("Pr_spotreba1"))->setValue(10);
    EXPECT_EQ(text(QStringLiteral("SLitru1")), QStringLiteral("15,0"));
    QTest::keyClicks(find<QLineEdit>(QStringLiteral("Text1_3")), QStringLiteral("Retez"));
    EXPECT_EQ(fleet.kart(1).tasks[2].text, QStringLiteral("Retez"));
    find<QCheckBox>(QStringLiteral("Doplneni1"))->setChecked(true);
    EXPECT_TRUE(fleet.kart(1).refuelNotice);
}

// The window open while a ride stops by itself: the ride shows at once and
// leaving the window does not write older values over it.
TEST_F(KarFrmTest, ARideStoppingWhileTheWindowIsOpenShowsAndStays) {
    for (bool byEscape : {false, true}) {
        loadDriven({{4, "1:59"}});
        window.show();
        find<QTabWidget>(QStringLiteral("Page1"))->setCurrentIndex(3);
        fleet.AddRideMinutes(ride({0, 0, 0, 2}));
        EXPECT_EQ(text(QStringLiteral("Najeto4")), QStringLiteral("2:1"));
        ASSERT_TRUE(QFile::remove(path));
        if (byEscape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            find<QPushButton>(QStringLiteral("OK"))->click();
        EXPECT_FALSE(window.isVisible()) << byEscape;
        EXPECT_EQ(LoadKartStatus(path)[3].driven, QStringLiteral("2:1")) << byEscape;
    }
}

TEST_F(KarFrmTest, ActivationShowsTheFirstTabAndFreshTotals) {
    window.show();
    find<QTabWidget>(QStringLiteral("Page1"))->setCurrentIndex(5);
    window.close();
    loadDriven({{1, "3:0"}}); // no refresh of its own would reach the window
    window.show();
    EXPECT_EQ(find<QTabWidget>(QStringLiteral("Page1"))->currentIndex(), 0);
    EXPECT_EQ(text(QStringLiteral("Celkem1")), QStringLiteral("3:0"));
}

TEST_F(KarFrmTest, ADueTaskIsMarkedAndConfirmedByItsButton) {
    writeFile("[Motokara6]\r\nNajeto=2:10\r\nUkol3=1\r\nUkolHodin3=1\r\nText3=Brzdy\r\n");
    fleet.LoadKartStatus();
    window.show();
    fleet.CheckTasks();
    auto* textField = find<QLineEdit>(QStringLiteral("Text6_3"));
    auto* done = find<QPushButton>(QStringLiteral("btnHotovo6_3"));
    EXPECT_EQ(textField->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_NE(find<QLineEdit>(QStringLiteral("Text6_2"))->palette().color(QPalette::Base), QColor(Qt::yellow));
    ASSERT_TRUE(done->isEnabled());
    done->click();
    done->click();
    EXPECT_EQ(fleet.kart(6).tasks[2].counter, 3);
    EXPECT_EQ(log.count(QStringLiteral("14:03:27 - Admin: potvrzení úkolu 3 motokára 6")), 2);
    EXPECT_EQ(LoadKartStatus(path)[5].tasks[2].counter, 3); // saved with the confirmation
    fleet.CheckTasks();
    EXPECT_NE(textField->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_TRUE(done->isEnabled()); // never disabled again in the run
}

TEST_F(KarFrmTest, ResetAndAFileThatCannotBeWritten) {
    writeFile("[Motokara3]\r\nPocatecniStavHod=10\r\nPocatecniStavMin=50\r\nNajeto=3:40\r\n");
    fleet.LoadKartStatus();
    window.show();
    find<QPushButton>(QStringLiteral("Vynuluj3"))->click();
    EXPECT_EQ(text(QStringLiteral("Najeto3")), QStringLiteral("0:0"));
    EXPECT_EQ(text(QStringLiteral("Celkem3")), QStringLiteral("14:30"));
    EXPECT_EQ(spin(QStringLiteral("PocStav3_Hod"))->value(), 14);
    EXPECT_EQ(LoadKartStatus(path)[2].initialMinutes, 30);
    EXPECT_EQ(errors, QStringList{});

    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("stav.ini")));
    find<QPushButton>(QStringLiteral("OK"))->click();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(window.isVisible()); // the window can be left all the same
}

TEST_F(KarFrmTest, LogBookButtonAsksForTheLogBook) {
    QSignalSpy asked(&window, &TStav_KarFrm::logBookRequested);
    find<QPushButton>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(asked.size(), 1);
}
