#include "app/station.h"
#include "core/textfile.h"
#include "engine/commandbuttons.h"
#include "engine/mainstatusbar.h"
#include "engine/tform1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QList<QMessageBox*> startupBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

} // namespace

TEST(StartUp, TheStationComesUpWithItsFrameLogsAndMessages) {
    QTemporaryDir home;
    {
        Station station{ProgramFolder(home.path())};
        station.show();
        TForm1& window = station.mainWindow();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Vartemo Kestral verze 2.3");
        ASSERT_NE(window.findChild<CommandButtons*>(), nullptr);
        auto* bar = window.findChild<MainStatusBar*>("mxStatusBar1");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->userName(), "Admin");

        const QList<LogBookEntry>& entries = station.logBook().entries();
        ASSERT_EQ(entries.size(), 3);
        EXPECT_TRUE(entries[0].text.startsWith("Spuštění programu "));
        EXPECT_EQ(entries[1], (LogBookEntry{1, "Ovladač IR portu1 načten"}));
        EXPECT_EQ(entries[2], (LogBookEntry{1, "Ovladač IR portu2 načten"}));

        // The first showing wrote the program log.
        const QStringList log = textfile::readLines(home.filePath("vartemo.log")).value_or(QStringList());
        EXPECT_EQ(log.filter(QRegularExpression("^\\[ End ")).size(), 1);

        // A fresh installation: the station's own logo, no box to greet the operator.
        EXPECT_TRUE(startupBoxes().isEmpty());
        EXPECT_TRUE(QFile::exists(home.filePath("Logo/logo.png")));
        EXPECT_EQ(log.filter("Status\t100071\t"), QStringList{"Status\t100071\tOK"});

        // Konec closes the main window.
        window.findChild<QPushButton*>("btnKonec")->click();
        EXPECT_FALSE(window.isVisible());
    }
    // The station's end is the program's end in the log book.
    const QStringList book = textfile::readLines(home.filePath("vartemo.den")).value_or(QStringList());
    ASSERT_EQ(book.size(), 4);
    EXPECT_TRUE(book[3].startsWith("\tUkončení programu "));
}

// A receiver's start-up error neither stops start-up nor waits over the
// splash: its box opens without blocking above the main window, and the
// error is in the log book and in this run's program-log block.
TEST(StartUp, AReceiverErrorAtStartUpIsToldWithoutStoppingIt) {
    QTemporaryDir home;
    {
        QFile ini(home.filePath("vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Po spusteni]\r\nTCP=1\r\n[UDP]\r\nPolozek=1\r\nPort1=abc\r\n");
    }
    Station station{ProgramFolder(home.path())};
    station.show();
    TForm1& window = station.mainWindow();
    ASSERT_TRUE(window.isVisible());
    const QString error = "'abc' is not a valid integer value";

    QMessageBox* receiverBox = nullptr;
    for (QMessageBox* box : startupBoxes())
        if (box->text() == error)
            receiverBox = box;
    ASSERT_NE(receiverBox, nullptr);
    EXPECT_EQ(receiverBox->windowModality(), Qt::NonModal);
    EXPECT_EQ(receiverBox->parentWidget(), &window);
    EXPECT_EQ(receiverBox->windowTitle(), "Vartemo Kestral verze 2.3");
    EXPECT_EQ(startupBoxes().size(), 1) << "the receiver's, once";

    const QList<LogBookEntry>& entries = station.logBook().entries();
    EXPECT_TRUE(entries.contains(LogBookEntry{1, "Chyba přijímače " + error}));
    const QStringList log = textfile::readLines(home.filePath("vartemo.log")).value_or(QStringList());
    const QStringList errors = log.filter(QRegularExpression("^Error\\t"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].endsWith("\t" + error)) << errors[0].toStdString();
    EXPECT_LT(log.indexOf(errors[0]), log.indexOf(QRegularExpression("\\[ End .*"))) << "inside the block";
}

// The logo the settings name is the operator's: missing (or named empty) it
// is told at the start, and the station's own logo does not stand in.
TEST(StartUp, AConfiguredLogoThatIsMissingIsTold) {
    for (const char* logo : {"Logo=chybi.png", "Logo="}) {
        SCOPED_TRACE(logo);
        QTemporaryDir home;
        {
            QFile ini(home.filePath("vartemo.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(QByteArray("[Tisk]\r\n") + logo + "\r\n");
        }
        Station station{ProgramFolder(home.path())};
        station.show();
        const QList<QMessageBox*> boxes = startupBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->text(), "LOGO není dostupné!\r\nProvedte kontrolu nastavení tisku.");
        EXPECT_EQ(boxes[0]->parentWidget(), &station.mainWindow());
        EXPECT_EQ(boxes[0]->windowModality(), Qt::NonModal);
        const QStringList log = textfile::readLines(home.filePath("vartemo.log")).value_or(QStringList());
        EXPECT_EQ(log.filter("Status\t100071\t"), QStringList{"Status\t100071\tError"});
        for (QMessageBox* box : boxes)
            box->close();
    }
}

// The station's own logo never replaces a file of that name.
TEST(StartUp, AnOperatorsFileWhereTheOwnLogoGoesIsKept) {
    QTemporaryDir home;
    QDir().mkpath(home.filePath("Logo"));
    QImage own(30, 10, QImage::Format_RGB32);
    own.fill(Qt::red);
    ASSERT_TRUE(own.save(home.filePath("Logo/logo.png")));
    const QByteArray before = [&] {
        QFile f(home.filePath("Logo/logo.png"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Station station{ProgramFolder(home.path())};
    station.show();
    QFile after(home.filePath("Logo/logo.png"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    EXPECT_TRUE(startupBoxes().isEmpty());
}

TEST(StartUp, AStationNeverStartedLeavesNoLogs) {
    QTemporaryDir home;
    { Station station{ProgramFolder(home.path())}; }
    EXPECT_FALSE(QFile::exists(home.filePath("vartemo.den")));
    EXPECT_FALSE(QFile::exists(home.filePath("vartemo.log")));
}

// The windows few runs open (their making was most of the start-up's time)
// are made when first opened: not there after the start, there once opened
// from the main window, and the same window at the next opening.
TEST(StartUp, WindowsOpenedLaterAreMadeAtTheirFirstOpening) {
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    station.show();
    const auto windows = [] {
        QStringList names;
        for (QWidget* w : QApplication::topLevelWidgets())
            names << w->objectName() << QString::fromLatin1(w->metaObject()->className());
        return names;
    };
    const QStringList later{"TStat_Dlg",   "TStat1_Dlg",  "TTopTen10Frm", "TUpravDlg",
                            "TNahled1Dlg", "TNahled2Dlg", "TNahled3Dlg",  "TDiplomDlg",
                            "ZalohujFrm",  "vartemo::TStav_KarFrm"};
    for (const QString& name : later)
        EXPECT_FALSE(windows().contains(name)) << name.toStdString() << " made at start-up";
    EXPECT_TRUE(windows().contains("TNastavDlg"));

    // Each button's window, closed as soon as it is up.
    QTimer closer;
    QStringList opened;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened << modal->objectName();
            modal->close();
        }
    });
    closer.start(10);
    CommandButtons& buttons = *station.mainWindow().findChild<CommandButtons*>();
    for (const char* button : {"Statistika", "Tisk1", "Statistika"})
        buttons.button(button)->click();
    EXPECT_EQ(opened, QStringList({"TStat_Dlg", "TNahled2Dlg", "TStat_Dlg"}));
    EXPECT_EQ(station.mainWindow().findChildren<QWidget*>("TStat_Dlg").size(), 1) << "made once";

    station.makeEveryWindow();
    for (const QString& name : later)
        EXPECT_TRUE(windows().contains(name)) << name.toStdString();
}
