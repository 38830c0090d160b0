// What the operator reads in every window of the station: each text whole in
// its control, no word of the toolkit's English in a list, and the settings
// dialog on a 1024 x 768 screen with its title bar.

#include "app/settingsdialogwiring.h"
#include "app/station.h"
#include "config/settingcontrols.h"
#include "config/tnastavdlg.h"
#include "engine/tform1.h"
#include "support/cuttexts.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// The settings dialog at its fullest shows every page.
constexpr int kCompleteView = 3;

// The station's windows, each shown in turn (as the operator opens them, but
// without waiting in a modal loop) while check looks at it.
void inEveryWindow(Station& station, const std::function<void(QWidget&)>& check) {
    station.show();
    station.makeEveryWindow();
    station.settings().setInteger(SettingId::rgZobrazeni, kCompleteView);
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isWindow() && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            windows << w;
    ASSERT_GE(windows.size(), 10);
    TNastavDlg& settingsDialog = station.settingsDialog().dialog();
    for (QWidget* w : windows) {
        const bool wasShown = w->isVisible();
        if (w == &settingsDialog)
            station.settingsDialog().showDialog(); // sized to its pages, as btnNastaveni opens it
        else if (!wasShown)
            w->show();
        cuttexts::settle();
        check(*w);
        if (!wasShown)
            w->hide();
    }
}

} // namespace

TEST(WindowTexts, EveryTextFitsItsControl) {
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    QStringList cut;
    inEveryWindow(station, [&](QWidget& w) { cut << cuttexts::CutTextsOnEveryPage(w); });
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
}

// The serial port's lists and every other list speak Czech; vartemo.ini keeps
// the serial component's own words.
TEST(WindowTexts, NoListShowsTheToolkitsEnglish) {
    static const QRegularExpression english(QStringLiteral(
        "\\b(None|Even|Odd|Mark|Space|Hardware|Software|Custom|NoParity|EvenParity|OddParity|MarkParity|"
        "SpaceParity|OneStop|OneAndHalfStop|TwoStop|NoFlowControl|HardwareControl|SoftwareControl|"
        "Data[5-8]|True|False|Unknown)\\b"));
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    QStringList found;
    int combos = 0;
    inEveryWindow(station, [&](QWidget& w) {
        for (const QComboBox* combo : w.findChildren<QComboBox*>()) {
            ++combos;
            for (int i = 0; i < combo->count(); ++i)
                if (english.match(combo->itemText(i)).hasMatch())
                    found << w.objectName() + QLatin1Char('/') + combo->objectName() + QStringLiteral(": ") +
                                 combo->itemText(i);
        }
    });
    EXPECT_GT(combos, 20);
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();

    // The lists show Czech, the file keeps what it kept.
    TNastavDlg& dialog = station.settingsDialog().dialog();
    auto* parity = dialog.findChild<QComboBox*>(QStringLiteral("ComComboBox5"));
    auto* flow = dialog.findChild<QComboBox*>(QStringLiteral("ComComboBox6"));
    ASSERT_NE(parity, nullptr);
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(parity->currentText(), QString::fromUtf8("Žádná"));
    EXPECT_EQ(flow->currentText(), QString::fromUtf8("Žádné"));
    parity->setCurrentIndex(parity->findText(QString::fromUtf8("Sudá")));
    flow->setCurrentIndex(flow->findText(QString::fromUtf8("Hardwarové (RTS/CTS)")));
    EXPECT_EQ(station.settings().serialPort().parity, "Even");
    EXPECT_EQ(station.settings().serialPort().flowControl, "Hardware");
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("ComComboBox11"))->currentText(),
              QString::fromUtf8("Sudá"));
    dialog.findChild<QPushButton*>(QStringLiteral("OK_BitBtn"))->click();
    QFile ini(home.filePath(QStringLiteral("vartemo.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    EXPECT_TRUE(bytes.contains("Parity=Even\r\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("FlowControl=Hardware\r\n"));
}

// OK and cancel in reach on a 1024 x 768 screen at every view level, the
// title bar counted, and every page's caption whole on its tab.
TEST(WindowTexts, TheSettingsDialogFitsASmallScreenWithItsFrameAtEveryLevel) {
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    station.show();
    const QSize screen(1024, 768);
    // A desktop's window manager adds a title bar and borders; offscreen
    // (and with a thin frame) as much as the tallest of them is counted.
    const int titleBar = 32, border = 4;
    TNastavDlg& dialog = station.settingsDialog().dialog();
    for (int level = 0; level <= kCompleteView; ++level) {
        station.settings().setInteger(SettingId::rgZobrazeni, level);
        station.mainWindow().findChild<QPushButton*>(QStringLiteral("btnNastaveni"))->click();
        QApplication::processEvents();
        ASSERT_TRUE(dialog.isVisible());
        const QRect frame = dialog.frameGeometry();
        const int height = std::max(frame.height(), dialog.height() + titleBar + border);
        const int width = std::max(frame.width(), dialog.width() + 2 * border);
        QString pages;
        auto* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("Page1"));
        for (int i = 0; i < tabs->count(); ++i)
            pages += QStringLiteral("%1: %2; ").arg(tabs->tabText(i)).arg(tabs->widget(i)->sizeHint().height());
        EXPECT_LE(height, screen.height()) << "level " << level << " pages " << pages.toStdString();
        EXPECT_LE(width, screen.width()) << "level " << level;
        auto* bar = dialog.findChild<QTabWidget*>(QStringLiteral("Page1"))->tabBar();
        QStringList cut;
        cuttexts::checkWidget(bar, cut);
        EXPECT_TRUE(cut.isEmpty()) << "level " << level << ": " << cut.join(QLatin1Char('\n')).toStdString();
        dialog.reject();
    }
}
