// The station on the desktop: the screen saver around rides, the help window
// on btnHelp and F1, and command buttons whose windows are missing.

#include "app/czechtoolkit.h"
#include "app/helpcommand.h"
#include "app/helpwindow.h"
#include "app/ridejournalwiring.h"
#include "app/station.h"
#include "engine/commandbuttons.h"
#include "engine/tform1.h"
#include "support/privatesessionbus.h"
#include "support/screensaverservice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QRegularExpression>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace vartemo;

namespace {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// Clicks the middle of a link's text, as the operator does.
void clickLink(QTextBrowser& browser, const QString& text) {
    const QTextCursor found = browser.document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor middle(browser.document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, browser.cursorRect(middle).center());
}

void pump(int ms) {
    QTest::qWait(ms);
}

// The station's session bus is the test's own: set before anything asks for it.
PrivateSessionBus& sessionBus() {
    static PrivateSessionBus bus;
    static const bool set = qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    (void)set;
    return bus;
}

void writeIni(const QTemporaryDir& dir, const QByteArray& bytes) {
    QFile f(dir.filePath(QStringLiteral("vartemo.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void ride(Station& station) {
    RaceControl& race = station.raceControl();
    race.StartButton1Click();
    race.fire(RaceTimer::LightStep);
    race.fire(RaceTimer::LightStep);
    ASSERT_EQ(race.phase(), RacePhase::Timing);
    pump(100);
    race.StartButton1Click();
    ASSERT_EQ(race.phase(), RacePhase::Idle);
    pump(100);
}

} // namespace

TEST(Desktop, EachRideKeepsTheScreenAwakeUntilItsStopAndTheEndReleasesIt) {
    PrivateSessionBus& bus = sessionBus();
    ASSERT_FALSE(bus.address().isEmpty());
    ScreenSaverService service;
    ASSERT_TRUE(service.offerOn(bus.connect(QStringLiteral("screensaver"))));
    for (const bool setting : {true, false}) {
        service.calls.clear();
        QTemporaryDir home;
        writeIni(home, setting ? "[Po spusteni]\r\nSporic=1\r\n" : "[Po spusteni]\r\nSporic=0\r\n");
        {
            Station station{ProgramFolder(home.path())};
            station.show();
            ride(station);
            ride(station);
            // The operator ends the program in the middle of a third ride.
            station.raceControl().StartButton1Click();
            station.raceControl().fire(RaceTimer::LightStep);
            station.raceControl().fire(RaceTimer::LightStep);
            // The end releases what the station holds: the third ride's
            // inhibition is answered first (a loaded machine answers late).
            if (setting) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 5; }, 10000));
            }
            pump(100);
            // Asked what to do with the ride, the operator ends without saving it.
            station.rideJournal().setGivenAnswer(RideAnswer::Discard);
            station.mainWindow().findChild<QPushButton*>("btnKonec")->click();
        }
        pump(200);
        const QStringList expected = setting ? QStringList{"Inhibit vartemo", "UnInhibit 1", "Inhibit vartemo", "UnInhibit 2",
                                                           "Inhibit vartemo", "UnInhibit 3"}
                                             : QStringList{};
        EXPECT_EQ(service.calls, expected) << "Sporic=" << setting;
    }
}

// The help shows in the station's own window: a track computer may have no
// browser, or one that refuses to start (as root), and then nothing showed.
TEST(Desktop, HelpShowsInTheStationsOwnWindowFromTheButtonAndF1WithoutABrowser) {
    sessionBus();
    qputenv("VARTEMO_HELP_DIR", VARTEMO_HELP_DIR);
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    station.show();
    TForm1& window = station.mainWindow();
    window.findChild<QPushButton*>("btnHelp")->click();
    QWidget* help = window.findChild<QWidget*>("HelpWindow");
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isWindow());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QString::fromUtf8("Vartemo Kestral – nápověda pro obsluhu"));
    auto* pages = help->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(pages, nullptr);
    EXPECT_TRUE(pages->source().toLocalFile().endsWith("/help/index.html"));
    EXPECT_TRUE(pages->toPlainText().contains(QString::fromUtf8("Když něco nefunguje: porty a oprávnění")));

    // A link of the contents takes the operator to its chapter.
    clickLink(*pages, QString::fromUtf8("Zálohování"));
    EXPECT_EQ(pages->source().fragment(), "zalohy");
    EXPECT_GT(pages->verticalScrollBar()->value(), 0);

    // F1 brings the same window back after a close.
    help->close();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(window.findChildren<QWidget*>("HelpWindow").size(), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_TRUE(browser.opened.isEmpty());
}

TEST(Desktop, HelpLinksLeadFromPageToPageAndBack) {
    QTemporaryDir folder;
    const auto write = [&](const char* name, const char* html) {
        QFile f(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
    };
    write("index.html", "<html><head><title>Obsah</title></head><body>"
                        "<p><a href=\"porty.html\">Porty a kabely</a></p></body></html>");
    write("porty.html", "<html><head><title>Porty</title></head><body>"
                        "<p>Paralelní port</p><p><a href=\"index.html\">Zpět na obsah</a></p></body></html>");
    QString message;
    HelpWindow* window = nullptr;
    HelpCommand command({folder.path()},
                        [&](const QUrl& page) {
                            if (!window)
                                window = new HelpWindow;
                            window->showPage(page);
                        },
                        [&](const QString& text) { message = text; });
    command.open();
    ASSERT_NE(window, nullptr);
    const std::unique_ptr<HelpWindow> owned(window);
    EXPECT_TRUE(message.isEmpty());
    QTextBrowser& pages = window->browser();
    clickLink(pages, QStringLiteral("Porty a kabely"));
    EXPECT_EQ(QFileInfo(pages.source().toLocalFile()).fileName(), "porty.html");
    EXPECT_EQ(window->windowTitle(), "Porty");
    EXPECT_TRUE(pages.toPlainText().contains(QString::fromUtf8("Paralelní port")));
    window->findChild<QPushButton*>("btnHelpZpet")->click();
    EXPECT_EQ(QFileInfo(pages.source().toLocalFile()).fileName(), "index.html");
    EXPECT_EQ(window->windowTitle(), "Obsah");

    // Without the pages the operator is told so, and no window shows.
    HelpCommand missing({folder.filePath("nic")}, [&](const QUrl&) { FAIL() << "shown"; },
                        [&](const QString& text) { message = text; });
    missing.open();
    EXPECT_TRUE(message.startsWith(QString::fromUtf8("Nápověda nebyla nalezena."))) << message.toStdString();
}

TEST(Desktop, ButtonsOfMissingWindowsSayTheyAreComing) {
    sessionBus();
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    station.show();
    auto* buttons = station.mainWindow().findChild<CommandButtons*>();
    ASSERT_NE(buttons, nullptr);
    // Whatever windows the station has by now, a disabled button says why.
    for (QPushButton* b : buttons->findChildren<QPushButton*>()) {
        if (!b->isEnabled()) {
            EXPECT_EQ(b->toolTip(), CommandButtons::notReadyHint()) << b->objectName().toStdString();
        }
    }
    for (const char* name : {"btnHelp", "btnKonec"})
        EXPECT_TRUE(buttons->button(name)->isEnabled()) << name;
}

TEST(Desktop, TheFrameIsFixedAndTheClockKeepsItsSizeInBothLayouts) {
    sessionBus();
    struct Case {
        const char* ini;
        QSize client;
    };
    const Case cases[] = {
        {"[Po spusteni]\r\nMezicasy=1\r\n", QSize(977, 686)},
        {"[Po spusteni]\r\nMezicasy=0\r\n", QSize(659, 686)},
    };
    std::optional<int> digitHeight;
    for (const Case& c : cases) {
        QTemporaryDir home;
        writeIni(home, c.ini);
        Station station{ProgramFolder(home.path())};
        station.show();
        TForm1& window = station.mainWindow();
        QApplication::processEvents();
        EXPECT_EQ(window.size(), c.client) << c.ini;
        EXPECT_EQ(window.minimumSize(), c.client);
        EXPECT_EQ(window.maximumSize(), c.client); // the window refuses a resize
        EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
        window.resize(c.client + QSize(200, 100));
        QApplication::processEvents();
        EXPECT_EQ(window.size(), c.client);
        for (const char* name : {"LcdDisplay1", "LcdDisplay2", "LcdDisplay3"}) {
            const auto* lcd = window.findChild<QWidget*>(QLatin1String(name));
            ASSERT_NE(lcd, nullptr) << name;
            EXPECT_TRUE(window.rect().contains(QRect(lcd->mapTo(&window, QPoint()), lcd->size()))) << name;
            if (!digitHeight)
                digitHeight = lcd->height();
            EXPECT_EQ(lcd->height(), *digitHeight) << name << " " << c.ini;
        }
    }
    EXPECT_GE(*digitHeight, 60);
}

TEST(Desktop, TheToolkitsDialogsSpeakCzech) {
    ASSERT_TRUE(InstallCzechToolkit(*qApp));
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    EXPECT_NE(cancel, "Cancel");
    QInputDialog box;
    box.show();
    QStringList buttons;
    for (const QPushButton* b : box.findChildren<QPushButton*>())
        buttons << b->text();
    EXPECT_TRUE(buttons.contains(cancel)) << buttons.join(", ").toStdString();

    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.show();
    const QString fileName = QCoreApplication::translate("QFileDialog", "File &name:");
    EXPECT_NE(fileName, "File &name:");
    const auto* label = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), fileName);
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), QCoreApplication::translate("QFileDialog", "&Save"));

    // A box without a caption must not show the program's name instead.
    QMessageBox plain(QMessageBox::Critical, QString(), QStringLiteral("Chyba"));
    plain.show();
    EXPECT_TRUE(plain.windowTitle().trimmed().isEmpty());
    EXPECT_FALSE(plain.windowTitle().isEmpty());
    QMessageBox captioned(QMessageBox::Critical, QStringLiteral("COM1"), QStringLiteral("COM port je obsazen"));
    captioned.show();
    EXPECT_EQ(captioned.windowTitle(), "COM1");
}

TEST(Desktop, TheHelpPagesAreInTheBuildAndTheirLinksResolve) {
    const QDir help(QStringLiteral(VARTEMO_HELP_DIR));
    const QStringList pages = help.entryList({QStringLiteral("*.html")});
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages.contains("index.html"));
    const QRegularExpression link(QStringLiteral(R"re((?:href|src)="([^"]+)")re"));
    const QRegularExpression id(QStringLiteral(R"re(id="([^"]+)")re"));
    int links = 0;
    for (const QString& page : pages) {
        QFile f(help.filePath(page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QStringList ids;
        for (const auto& m : id.globalMatch(html))
            ids << m.captured(1);
        for (const auto& m : link.globalMatch(html)) {
            const QString target = m.captured(1);
            ++links;
            if (target.startsWith("http:") || target.startsWith("https:") || target.startsWith("mailto:"))
                continue;
            const QString file = target.section('#', 0, 0);
            const QString anchor = target.section('#', 1);
            if (!file.isEmpty()) {
                EXPECT_TRUE(help.exists(file)) << page.toStdString() << " -> " << target.toStdString();
            } else {
                EXPECT_TRUE(ids.contains(anchor)) << page.toStdString() << " -> " << target.toStdString();
            }
        }
    }
    EXPECT_GT(links, 5);
}

#include "desktop_test.moc"
