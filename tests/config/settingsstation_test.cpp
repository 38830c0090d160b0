// The settings dialog inside the whole station, with real inputs: datagrams
// on 127.0.0.1, bytes through a pseudo-terminal, infrared code events.

#include "app/settingsdialogwiring.h"
#include "app/station.h"
#include "config/tnastavdlg.h"
#include "engine/lapcomputation.h"
#include "engine/qstringprinter.h"
#include "engine/tform1.h"
#include "platform/fileregistrystore.h"
#include "sensors/freeport.h"
#include "sensors/ircodeevent.h"
#include "sensors/receivers.h"
#include "support/pseudoterminal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace vartemo;
using S = SettingId;

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class SettingsStation : public ::testing::Test {
protected:
    SettingsStation() {
        // The decoders' registry and the autostart entry stay in the test's folder.
        oldConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        pty.makeRaw();
        // The first decoder's line is RXD: "Použít COM" means the byte receiver.
        FileRegistryStore registry;
        registry.writeBinary(QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni1"),
                             QStringLiteral("InputSignal"), QByteArray(1, char(3)));
    }
    ~SettingsStation() override {
        station.reset();
        if (oldConfig_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig_);
    }
    void start(const QByteArray& ini) {
        QFile f(home.filePath(QStringLiteral("vartemo.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini);
        f.close();
        station = std::make_unique<Station>(ProgramFolder(home.path()));
        station->show();
        station->settingsDialog().showDialog();
        ASSERT_TRUE(dialog().isVisible());
    }
    TNastavDlg& dialog() { return station->settingsDialog().dialog(); }
    QPushButton* button(const QString& name) { return dialog().findChild<QPushButton*>(name); }
    template <typename W> W* find(const char* name) { return dialog().findChild<W*>(QLatin1String(name)); }
    void sendDatagram(const QByteArray& payload) {
        QUdpSocket sender;
        sender.writeDatagram(payload, QHostAddress::LocalHost, udpPort);
    }
    QByteArray networkIni() const {
        return "[Po spusteni]\r\nTCP=1\r\n[UDP]\r\nPolozek=1\r\nPort1=" + QByteArray::number(udpPort) +
               "\r\nPopis1=cil\r\n";
    }
    QByteArray serialIni() const {
        return "[Po spusteni]\r\nCOM=1\r\n[ComPort1]\r\nPort=" + pty.slavePath.toLocal8Bit() + "\r\n";
    }
    // Start-up's receiver check closed the port again: choosing the source
    // anew opens it, as the operator's click does.
    void chooseByteReceiver() {
        ASSERT_EQ(find<QComboBox>("InputSignalComboBox")->currentText(), QStringLiteral("RXD"));
        station->settings().setBoolean(S::cbLPT, true);
        EXPECT_FALSE(station->receivers().serialPortOpen());
        find<QCheckBox>("cbCOM")->click();
        ASSERT_TRUE(station->receivers().serialPortOpen());
    }

    QTemporaryDir config;
    QTemporaryDir home;
    PseudoTerminal pty;
    quint16 udpPort = FreeUdpPort();
    std::unique_ptr<Station> station;

private:
    QByteArray oldConfig_;
};

TEST_F(SettingsStation, LearnsKartThreeFromADatagramAndTimesNothingMeanwhile) {
    start(networkIni());
    button("btnNaucit3")->click();
    EXPECT_EQ(station->laps().learnSlot(), 3);
    EXPECT_EQ(button("btnNaucit3")->text(), QStringLiteral("Ukonči"));
    for (const char* other : {"btnNaucit1", "btnNaucit31", "OK_BitBtn", "btn_Zrus"})
        EXPECT_FALSE(button(QLatin1String(other))->isEnabled()) << other;
    sendDatagram("K3-A7");
    ASSERT_TRUE(waitFor([&] { return station->settings().text(S::EdSekvence3) == QStringLiteral("K3-A7"); }));
    EXPECT_EQ(station->laps().learnSlot(), 0);
    EXPECT_EQ(button("btnNaucit3")->text(), QStringLiteral("Naučit"));
    EXPECT_TRUE(button("OK_BitBtn")->isEnabled());
    EXPECT_EQ(find<QLineEdit>("EdSekvence3")->text(), QStringLiteral("K3-A7"));
    EXPECT_EQ(station->laps().pendingKart(), 0) << "the learnt code was not a passing";
}

TEST_F(SettingsStation, LearnsASecondCodeFromSerialBytes) {
    start(serialIni());
    chooseByteReceiver();
    button("btnNaucit31")->click();
    ASSERT_EQ(station->laps().learnSlot(), 31);
    pty.write(QByteArray("\x00QZ", 3)); // a 0x00 byte is the code's leading blank
    ASSERT_TRUE(waitFor([&] { return !station->settings().text(S::EdSekvence31).isEmpty(); }));
    EXPECT_EQ(station->settings().text(S::EdSekvence31), QStringLiteral(" QZ"));
    EXPECT_EQ(station->laps().learnSlot(), 0);
    EXPECT_TRUE(station->settings().text(S::EdSekvence3).isEmpty());
    // OK keeps it in the file, and the blank survives a restart.
    button("OK_BitBtn")->click();
    Settings reread;
    reread.loadFile(home.filePath(QStringLiteral("vartemo.ini")));
    EXPECT_EQ(reread.text(S::EdSekvence31), QStringLiteral(" QZ"));
}

TEST_F(SettingsStation, LearnsFromAnInfraredCodeAndEndingEarlyKeepsTheOldCode) {
    start("[Com]\r\nSekvence5=OLD\r\n");
    button("btnNaucit5")->click();
    button("btnNaucit5")->click(); // "Ukonči" before any code
    EXPECT_EQ(station->laps().learnSlot(), 0);
    EXPECT_EQ(station->settings().text(S::EdSekvence5), QStringLiteral("OLD"));
    button("btnNaucit5")->click();
    QApplication::postEvent(&station->mainWindow(), new IrCodeEvent(0x2A5));
    ASSERT_TRUE(waitFor([&] { return station->settings().text(S::EdSekvence5) == QStringLiteral("02A5"); }));
    EXPECT_EQ(find<QLineEdit>("TestSekvence")->text(), QStringLiteral("02A5"));
}

TEST_F(SettingsStation, NetworkReadingTestListsDatagramsAndTimesNone) {
    start(networkIni() + "[Com]\r\nSekvence3=K3\r\n");
    button("btnUDPCti")->click();
    EXPECT_EQ(button("btnUDPCti")->text(), QStringLiteral("Ukonči čtení"));
    EXPECT_EQ(station->laps().learnSlot(), 128);
    sendDatagram("K3");
    auto* memo = find<QPlainTextEdit>("MemoTCPIP");
    ASSERT_TRUE(waitFor([&] { return memo->toPlainText().contains(QStringLiteral("Data K3")); }));
    EXPECT_TRUE(memo->toPlainText().startsWith(QStringLiteral("Od 127.0.0.1:%1/").arg(udpPort)));
    EXPECT_EQ(station->laps().pendingKart(), 0) << "kart 3's code read in the test is no passing";
    button("btnUDPCti")->click();
    EXPECT_EQ(station->laps().learnSlot(), 0);
    EXPECT_FALSE(station->receivers().IdUDPServer1().isActive());
    button("btnSmazatUDP")->click();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
}

TEST_F(SettingsStation, SerialReadingTestShowsCodesAndTimesNone) {
    start(serialIni() + "[Com]\r\nSekvence2=AB\r\n");
    chooseByteReceiver();
    // A pseudo-terminal has no modem lines: the receiver's CTS as it reports it.
    station->receivers().ComPort1().ComPort1CTSChange(true);
    button("btnCtiData")->click();
    ASSERT_TRUE(station->receivers().serialPortOpen());
    pty.write("AB");
    auto* code = find<QLineEdit>("TestSekvence");
    ASSERT_TRUE(waitFor([&] { return code->text() == QStringLiteral("AB"); }));
    EXPECT_EQ(station->laps().pendingKart(), 0);
    EXPECT_TRUE(station->settings().text(S::EdSekvence1).isEmpty());
    button("btnCtiData")->click();
    EXPECT_EQ(station->laps().learnSlot(), 0);
    EXPECT_EQ(button("btnCtiData")->text(), QStringLiteral("Čti data"));
    EXPECT_FALSE(station->receivers().serialPortOpen());
}

TEST_F(SettingsStation, ASerialReadingTestWithoutAReceiverClosesThePortAgain) {
    start(serialIni());
    chooseByteReceiver();
    button("btnCtiData")->click();
    EXPECT_FALSE(station->receivers().serialPortOpen()) << "no CTS: no receiver at the port";
    EXPECT_EQ(station->laps().learnSlot(), 128);
    dialog().reject();
    EXPECT_EQ(station->laps().learnSlot(), 0);
}

} // namespace
