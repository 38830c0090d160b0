// The real program on a private X server, worked through its accessibility
// interface as a screen reader would: a shutdown signal while a window or a
// box is open ends the station as "Konec" does, with its end entry; the
// settings dialog shows the file it was started with and OK keeps it.

#include "config/everysetting.h"
#include "core/textfile.h"
#include "sensors/freeport.h"
#include "support/atspiclient.h"
#include "support/filebytes.h"
#include "support/privatesessionbus.h"
#include "support/xserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <functional>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = 30000; // only a hang fails, never slowness

class StationOnScreen {
public:
    StationOnScreen(const XServer& x, const PrivateSessionBus& bus, const QString& home) : home_(home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.insert("DISPLAY", x.display());
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.insert("XDG_CONFIG_HOME", runtime_.filePath("config"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home});
        process_.waitForStarted(kDeadlineMs);
    }
    ~StationOnScreen() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        process_.waitForFinished(kDeadlineMs);
    }
    // SIGTERM; whether the station ended by itself within the deadline.
    bool terminate() {
        ::kill(pid_t(process_.processId()), SIGTERM);
        return process_.waitForFinished(kDeadlineMs);
    }
    const QProcess& process() const { return process_; }
    QStringList logBook() const {
        return vartemo::textfile::readLines(QDir(home_).filePath("vartemo.den")).value_or(QStringList());
    }

private:
    QString home_;
    QTemporaryDir runtime_;
    QProcess process_;
};

// How a case opens its windows: the station's accessibility root, the
// client, and the X server for what has no action of its own.
using Opening = std::function<bool(const AtspiClient&, const AtspiNode&, const XServer&)>;

bool press(const AtspiClient& a11y, const AtspiNode& root, const QString& button) {
    const auto node = a11y.waitFor(root, QStringLiteral("push button"), button, kDeadlineMs);
    if (node)
        a11y.press(*node);
    return node.has_value();
}

bool dialogUp(const AtspiClient& a11y, const AtspiNode& root, const QString& title) {
    return a11y.waitFor(root, QStringLiteral("dialog"), title, kDeadlineMs).has_value();
}

// The status bar's operator panel ("Admin") opens the log book on a click.
bool clickOperatorPanel(const AtspiClient& a11y, const AtspiNode& root, const XServer& x) {
    const auto panel = a11y.waitFor(root, QStringLiteral("label"), QStringLiteral("Admin"), kDeadlineMs);
    if (!panel)
        return false;
    const QPoint centre = a11y.extents(*panel).center();
    x.xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
    return true;
}

std::function<bool(const QString&)> startsWith(const char* text) {
    return [start = QString::fromUtf8(text)](const QString& name) { return name.startsWith(start); };
}

struct Case {
    const char* what;
    Opening open;
    QByteArray ini = {};      // vartemo.ini of the case
    QByteArray kartStatus = {}; // stav.ini of the case
};

const QByteArray kLogoKept = "[Tisk]\r\nLogo=logo.png\r\n"; // no box at the start

// A service task of kart 2 due: the notices open during the start-up.
const QByteArray kTaskDue = "[Motokara2]\r\nNajeto=2:0\r\nUkol1=1\r\nUkolHodin1=1\r\nText1=Olej\r\n";

std::vector<Case> cases() {
    return {
        {"Informace over O programu",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return press(a, r, QStringLiteral("O programu")) && dialogUp(a, r, QStringLiteral("O programu")) &&
                    press(a, r, QStringLiteral("Informace")) && dialogUp(a, r, QStringLiteral("Informace"));
         },
         kLogoKept},
        {"Deník",
         [](const AtspiClient& a, const AtspiNode& r, const XServer& x) {
             return clickOperatorPanel(a, r, x) && dialogUp(a, r, QStringLiteral("Deník"));
         },
         kLogoKept},
        {"Nastavení",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return press(a, r, QStringLiteral("Nastavení")) && dialogUp(a, r, QStringLiteral("Nastavení"));
         },
         kLogoKept},
        {"Nejlepších dvacet časů",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return press(a, r, QStringLiteral("Nejlepších dvacet časů")) &&
                    dialogUp(a, r, QStringLiteral("Nejlepších dvacet časů"));
         },
         kLogoKept},
        {"Deník over Technický stav motokár",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return press(a, r, QStringLiteral("Stav/Deník")) &&
                    dialogUp(a, r, QStringLiteral("Technický stav motokár")) &&
                    press(a, r, QStringLiteral("Zobraz Deník")) && dialogUp(a, r, QStringLiteral("Deník"));
         },
         kLogoKept},
        {"a box over Zálohování over Nastavení",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return press(a, r, QStringLiteral("Nastavení")) && dialogUp(a, r, QStringLiteral("Nastavení")) &&
                    press(a, r, QStringLiteral("Zálohování dat a nastavení")) &&
                    dialogUp(a, r, QStringLiteral("Zálohování")) &&
                    // The archive written, the window says so in a box of its own.
                    press(a, r, QStringLiteral("Zálohovat !")) &&
                    a.waitFor(r, QStringLiteral("label"), startsWith("Záloha kompletní."), kDeadlineMs).has_value();
         },
         kLogoKept},
        {"the start-up's notices",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return dialogUp(a, r, QStringLiteral("Hlášení"));
         },
         kLogoKept, kTaskDue},
        {"the start-up's box of the missing logo",
         [](const AtspiClient& a, const AtspiNode& r, const XServer&) {
             return a.waitFor(r, QStringLiteral("label"), startsWith("LOGO není dostupné!"), kDeadlineMs).has_value();
         },
         "[Tisk]\r\nLogo=chybi.png\r\n"},
    };
}

TEST(EndThroughWindows, ASignalWhileAWindowIsOpenEndsTheStationWithItsEndEntry) {
    XServer x;
    ASSERT_FALSE(x.display().isEmpty()) << "Xvfb (scripts/setup.sh installs it) did not start";
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        QImage(8, 8, QImage::Format_RGB32).save(home.filePath("logo.png"));
        writeBytes(home.filePath("vartemo.ini"), c.ini);
        if (!c.kartStatus.isEmpty())
            writeBytes(home.filePath("stav.ini"), c.kartStatus);

        StationOnScreen station(x, bus, home.path());
        AtspiClient a11y(bus.address());
        ASSERT_TRUE(a11y.connected()) << "no accessibility bus (at-spi2-core)";
        const auto root = a11y.application(QStringLiteral("vartemo"), kDeadlineMs);
        ASSERT_TRUE(root.has_value()) << "the station did not appear on the accessibility bus";
        ASSERT_TRUE(c.open(a11y, *root, x)) << "the window did not open";

        if (!station.terminate()) {
            ADD_FAILURE() << "the station did not end";
            continue;
        }
        EXPECT_EQ(station.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(station.process().exitCode(), 0);
        const QStringList book = station.logBook();
        ASSERT_FALSE(book.isEmpty());
        EXPECT_TRUE(book.last().startsWith(QStringLiteral("\tUkončení programu "))) << book.join('|').toStdString();
    }
}

// The file without its [Mixer] section: what the sound card decides.
QByteArray withoutMixer(const QByteArray& file) {
    const int start = file.indexOf("[Mixer]\r\n");
    if (start < 0)
        return file;
    const int next = file.indexOf("\r\n[", start);
    return file.left(start) + (next < 0 ? QByteArray() : file.mid(next + 2));
}

// What a screen reader finds for a setting: a node of this role named by the
// control's caption (its group's when it has none).
QString roleOf(const ControlRow& row) {
    switch (row.kind) {
    case ControlKind::Check: return QStringLiteral("check box");
    case ControlKind::Spin: return QStringLiteral("spin box");
    case ControlKind::Slider: return QStringLiteral("slider");
    case ControlKind::Edit:
        return InfoOf(row.id).type == SettingType::Password ? QString() : QStringLiteral("text");
    default: return {}; // read in the widget test
    }
}

TEST(StationOnScreen, TheSettingsDialogShowsTheFileToAScreenReaderAndOkKeepsIt) {
    using vartemo::testing::EverySetting;
    XServer x;
    ASSERT_FALSE(x.display().isEmpty()) << "Xvfb (scripts/setup.sh installs it) did not start";
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    QTemporaryDir home;
    EverySetting every(home.filePath("soubory"));
    // Nothing sent anywhere at the end, and the machine's sound card keeps its levels.
    every.set(SettingId::cbAutoPosliFTP, "0", false);
    for (SettingId id : {SettingId::cbHratZvuk, SettingId::cbApplaus})
        every.set(id, "0", false);
    for (SettingId id : {SettingId::tbVolume, SettingId::tbMP3WAV, SettingId::cbMute, SettingId::tbTreble,
                         SettingId::tbBass})
        every.omit(id);
    const QByteArray file = every.file(FreeUdpPort());
    writeBytes(home.filePath("vartemo.ini"), file);

    StationOnScreen station(x, bus, home.path());
    AtspiClient a11y(bus.address());
    ASSERT_TRUE(a11y.connected()) << "no accessibility bus (at-spi2-core)";
    const auto root = a11y.application(QStringLiteral("vartemo"), kDeadlineMs);
    ASSERT_TRUE(root.has_value());
    ASSERT_TRUE(press(a11y, *root, QStringLiteral("Nastavení")));
    const auto dialog = a11y.waitFor(*root, QStringLiteral("dialog"), QStringLiteral("Nastavení"), kDeadlineMs);
    ASSERT_TRUE(dialog.has_value());

    const QList<AtspiClient::Named> nodes = a11y.all(*dialog);
    const auto named = [&](const QString& role, const QString& name) {
        QList<AtspiNode> found;
        for (const AtspiClient::Named& n : nodes)
            if (n.role == role && n.name == name)
                found << n.node;
        return found;
    };
    // The price the operator missed, and every setting a screen reader can tell apart.
    const QList<AtspiNode> price = named(QStringLiteral("spin box"), QStringLiteral("Cena za minutu"));
    ASSERT_EQ(price.size(), 1) << "the price has a name of its own";
    EXPECT_EQ(a11y.value(price[0]), every.sample(SettingId::spCena).shown.toDouble());
    int compared = 0;
    for (const ControlRow& row : SettingControls()) {
        const QString role = roleOf(row);
        const QList<AtspiNode> found = named(role, row.caption.isEmpty() ? row.group : row.caption);
        // A caption that several controls share ("IP adresa"), or the card's own value.
        if (role.isEmpty() || found.size() != 1 || vartemo::testing::NeedsSoundCard(row.id))
            continue;
        const QVariant expected = every.sample(row.id).shown;
        SCOPED_TRACE(InfoOf(row.id).holder.toStdString());
        if (row.kind == ControlKind::Check)
            EXPECT_EQ(a11y.checked(found[0]), expected.toBool());
        else if (row.kind == ControlKind::Edit)
            EXPECT_EQ(a11y.text(found[0]), expected.toString());
        else
            EXPECT_EQ(a11y.value(found[0]), expected.toDouble());
        ++compared;
    }
    EXPECT_GT(compared, 60) << "most settings are found by their captions";

    // The station saves by writing a new file and renaming it over the old.
    const auto inode = [&] {
        struct stat st{};
        return ::stat(QFile::encodeName(home.filePath("vartemo.ini")).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const ino_t before = inode();
    ASSERT_TRUE(press(a11y, *dialog, QStringLiteral("OK")));
    QDeadlineTimer saved(kDeadlineMs);
    while (inode() == before && !saved.hasExpired())
        QThread::msleep(50);
    ASSERT_NE(inode(), before) << "OK did not save the settings";
    const QByteArray written = readBytes(home.filePath("vartemo.ini"));
    ASSERT_TRUE(station.terminate());
    EXPECT_EQ(withoutMixer(written).toStdString(), file.toStdString());
}

} // namespace
