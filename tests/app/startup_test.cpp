#include "app/station.h"
#include "core/textfile.h"
#include "engine/commandbuttons.h"
#include "engine/mainstatusbar.h"
#include "engine/tform1.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
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

        // No print logo configured: the box opens above the main window.
        const QList<QMessageBox*> boxes = startupBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->text(), "LOGO není dostupné!\r\nProvedte kontrolu nastavení tisku.");
        EXPECT_EQ(boxes[0]->parentWidget(), &window);

        // Konec closes the main window.
        window.findChild<QPushButton*>("btnKonec")->click();
        EXPECT_FALSE(window.isVisible());
    }
    // The station's end is the program's end in the log book.
    const QStringList book = textfile::readLines(home.filePath("vartemo.den")).value_or(QStringList());
    ASSERT_EQ(book.size(), 4);
    EXPECT_TRUE(book[3].startsWith("\tUkončení programu "));
}

TEST(StartUp, AStationNeverStartedLeavesNoLogs) {
    QTemporaryDir home;
    { Station station{ProgramFolder(home.path())}; }
    EXPECT_FALSE(QFile::exists(home.filePath("vartemo.den")));
    EXPECT_FALSE(QFile::exists(home.filePath("vartemo.log")));
}
