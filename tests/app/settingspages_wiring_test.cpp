// The sound and FTP pages of the settings dialog with their wiring: a real
// FTP server, a mixer in memory, the sound player with a recording backend.

#include "app/besttwentywiring.h"
#include "app/ftppagewiring.h"
#include "app/settingsdialogwiring.h"
#include "app/station.h"
#include "config/settingcontrols.h"
#include "app/soundpagewiring.h"
#include "config/settingsdialogrig.h"
#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/tnastavdlg.h"
#include "core/clock.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "platform/fakemixer.h"
#include "publishing/ftptestserver.h"
#include "sound/soundplayer.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

using namespace vartemo::testing;
using S = SettingId;
using test::FtpTestServer;
using test::ReadAll;
using test::WriteAll;

// A backend that plays nothing.
struct SilentBackend : MediaBackend {
    void open(const QString&) override {}
    void play() override {}
    void pause() override {}
    void stop() override {}
};

class PagesTest : public ::testing::Test, protected SettingsDialogRig {
protected:
    PagesTest() {
        settings.loadFile(dir.filePath(QStringLiteral("vartemo.ini")));
        dialog.ensureBuilt();
    }
    template <typename W> W* find(const char* name) {
        W* w = dialog.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList messages() {
        QStringList texts;
        for (QMessageBox* box : dialog.findChildren<QMessageBox*>(QStringLiteral("SettingsMessage")))
            texts << box->text();
        return texts;
    }

};

// ------------------------------------------------------------------ FTP page

class FtpPageTest : public PagesTest {
protected:
    FtpPageTest() {
        dialog.show();
        settings.setText(S::FtpHostitel, server.host());
        settings.setText(S::FtpJmeno, QString::fromLatin1(FtpTestServer::kUser));
        settings.setText(S::FtpHeslo, QString::fromLatin1(FtpTestServer::kPassword));
    }
    void slot(int n, const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(WriteAll(path, bytes));
        settings.setText(NumberedSetting(S::FtpSoubor1, n), path);
        settings.setBoolean(NumberedSetting(S::cbFtp1, n), true);
    }
    bool waitForEnd(int ms = 15000) {
        QSignalSpy finished(&page.publishing(), &FtpPublishing::finished);
        return !page.publishing().running() || finished.wait(ms);
    }

    FtpTestServer server;
    std::array<int, 2> pictureCalls{};
    bool picturesWork = true;
    FtpPageWiring page{{settings, dialog,
                        [this](bool women, const QString& path, int quality) {
                            ++pictureCalls[women ? 1 : 0];
                            EXPECT_EQ(quality, 15);
                            return picturesWork && WriteAll(path, women ? "women" : "men");
                        },
                        [this](const QString&) { return dir.filePath(QStringLiteral("chosen.txt")); },
                        FtpTimeouts{3, 3}}};
};

TEST_F(FtpPageTest, SendIsEnabledByTheCheckedSlotsAndAgainAfterEveryRun) {
    auto* send = find<QPushButton>("btnPosliFtp");
    auto* ok = find<QPushButton>("OK_BitBtn");
    EXPECT_FALSE(send->isEnabled());
    slot(3, QStringLiteral("c.txt"), "c");
    EXPECT_TRUE(send->isEnabled());

    for (int run = 0; run < 2; ++run) {
        send->click();
        EXPECT_FALSE(send->isEnabled());
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_FALSE(find<QPushButton>("btn_Zrus")->isEnabled());
        EXPECT_FALSE(find<QWidget>("ProgressFtp")->isHidden());
        ASSERT_TRUE(waitForEnd());
        // Enabled again at the run's end, without the page being shown anew.
        EXPECT_TRUE(send->isEnabled()) << run;
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_TRUE(find<QWidget>("ProgressFtp")->isHidden());
    }
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("c.txt"))), "c");
    EXPECT_EQ(server.logins(), 2);
    EXPECT_EQ(find<QLabel>("InfoLabel")->text(), QStringLiteral("1"));
    // The session's end follows the run's on the client's thread.
    auto* state = find<QLabel>("StateLabel");
    EXPECT_TRUE(QTest::qWaitFor([&] { return state->text() == QStringLiteral("Připraven"); }, 5000)) << state->text().toStdString();
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
}

TEST_F(FtpPageTest, TheProxyKindsExcludeEachOther) {
    settings.setBoolean(S::cbProxyFtp, true);
    settings.setBoolean(S::cbProxyHttp, true);
    EXPECT_FALSE(settings.boolean(S::cbProxyFtp));
    settings.setBoolean(S::cbProxyFtp, true);
    EXPECT_FALSE(settings.boolean(S::cbProxyHttp));
}

TEST_F(FtpPageTest, TheChooserSetsTheSlotsFile) {
    find<QPushButton>("btnFtpSoubor6")->click();
    EXPECT_EQ(settings.text(S::FtpSoubor6), dir.filePath(QStringLiteral("chosen.txt")));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("btnFtpSoubor5")), nullptr);
}

TEST_F(FtpPageTest, SlotFivePicturesAreMadeForTheRunAndOneThatFailedIsNotSent) {
    settings.setText(S::FtpSoubor4, dir.filePath(QStringLiteral("Tab")));
    settings.setBoolean(S::cbFtp5, true);
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("Tab_zeny.jpg")), "old"));
    picturesWork = false;
    page.btnPosliFtpClick();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(pictureCalls, (std::array<int, 2>{1, 1}));
    EXPECT_TRUE(server.files().isEmpty());
    EXPECT_EQ(messages().size(), 2);
}

TEST_F(FtpPageTest, ProgramEndSendsAfterASendingByHandAndAsksTheCheckBoxes) {
    slot(1, QStringLiteral("a.txt"), "first");
    find<QPushButton>("btnPosliFtp")->click();
    ASSERT_TRUE(waitForEnd());
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("a.txt")), "last of the day"));

    settings.setBoolean(S::cbAutoPosliFTP, false);
    page.sendAtProgramEnd();
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("a.txt"))), "first");

    settings.setBoolean(S::cbAutoPosliFTP, true);
    page.sendAtProgramEnd();
    EXPECT_FALSE(page.publishing().running());
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("a.txt"))), "last of the day");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FtpPageTest, ProgramEndToAServerThatNeverAnswersEndsAtItsLimit) {
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost);
    silent.pauseAccepting();
    settings.setText(S::FtpHostitel, QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()));
    settings.setBoolean(S::cbAutoPosliFTP, true);
    slot(1, QStringLiteral("a.txt"), "a");
    FtpPageWiring patient{{settings, dialog, {}, {}, FtpTimeouts{60, 60}}};
    patient.sendAtProgramEnd(1500);
    EXPECT_FALSE(patient.publishing().running());
}

TEST_F(FtpPageTest, OkAbortsARunningSending) {
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost);
    silent.pauseAccepting();
    settings.setText(S::FtpHostitel, QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()));
    slot(1, QStringLiteral("a.txt"), "a");
    page.btnPosliFtpClick();
    ASSERT_TRUE(page.publishing().running());
    dialog.hooks().abortFtp();
    EXPECT_FALSE(page.publishing().running());
    EXPECT_TRUE(find<QPushButton>("OK_BitBtn")->isEnabled());
}

// ---------------------------------------------------------------- sound page

FakeMixer::Element Stereo(long minimum, long maximum, long left, long right, bool withSwitch) {
    FakeMixer::Element e{minimum, maximum, {left, right}, {}};
    if (withSwitch)
        e.switches = {1, 1};
    return e;
}

// A card whose ranges are 0..31 (master), 0..87 (wave) and 0..65536 (bass).
std::unique_ptr<FakeMixer> OddCard(bool toneControls) {
    std::array<std::optional<FakeMixer::Element>, kMixerLineCount> e;
    e[size_t(MixerLine::Master)] = Stereo(0, 31, 17, 19, true); // channels apart
    e[size_t(MixerLine::Wave)] = Stereo(0, 87, 40, 40, false);
    if (toneControls) {
        e[size_t(MixerLine::Bass)] = Stereo(0, 65536, 30001, 30001, false);
        e[size_t(MixerLine::Treble)] = Stereo(0, 31, 3, 3, false);
    }
    return std::make_unique<FakeMixer>(e);
}

class SoundPageTest : public PagesTest {
protected:
    std::unique_ptr<SoundPageWiring> makePage(std::unique_ptr<FakeMixer> card) {
        mixer = card.get();
        return std::make_unique<SoundPageWiring>(
            SoundPageWiring::Parts{settings, dialog, player, std::move(card), dir.path()});
    }
    QString cardFile() const { return SoundPageWiring::CardValuesPath(dir.path()); }
    // The station's start: the file loaded with the card as its defaults.
    void load(SoundPageWiring& page, const QByteArray& ini) {
        ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("vartemo.ini")), ini));
        settings.loadFile(dir.filePath(QStringLiteral("vartemo.ini")), page.hardware());
        page.applyLevels();
    }

    SoundPlayer player{[] { return std::make_unique<SilentBackend>(); }};
    FakeMixer* mixer = nullptr;
};

TEST_F(SoundPageTest, TheCardsOwnValuesComeBackExactlyAfterOkSavedOthers) {
    auto page = makePage(OddCard(true));
    const MixerValues own = mixer->values();
    EXPECT_TRUE(QFile::exists(cardFile()));
    load(*page, "[Mixer]\r\nMVolume=65535\r\nVolume=0\r\nMute=1\r\nBass=0\r\nTreble=65535\r\n");
    EXPECT_EQ(mixer->element(MixerLine::Master)->volumes, (std::vector<long>{31, 31}));
    EXPECT_EQ(mixer->element(MixerLine::Master)->switches, (std::vector<int>{0, 0}));
    EXPECT_EQ(mixer->element(MixerLine::Bass)->volumes, (std::vector<long>{0, 0}));
    EXPECT_EQ(mixer->element(MixerLine::Treble)->volumes, (std::vector<long>{31, 31}));
    // The operator moves the bars and saves.
    settings.setInteger(S::tbMP3WAV, 32768);
    EXPECT_EQ(mixer->element(MixerLine::Wave)->volumes, (std::vector<long>{44, 44}));
    ASSERT_TRUE(settings.saveFile());

    page->restoreCard();
    EXPECT_EQ(mixer->values(), own);
    EXPECT_FALSE(QFile::exists(cardFile()));
}

TEST_F(SoundPageTest, MovingTheVolumeWhileMutedKeepsTheMasterMuted) {
    auto page = makePage(OddCard(true));
    load(*page, "[Mixer]\r\nMute=1\r\n");
    settings.setInteger(S::tbVolume, 0);
    settings.setInteger(S::tbVolume, 65535);
    EXPECT_EQ(mixer->element(MixerLine::Master)->volumes, (std::vector<long>{31, 31}));
    EXPECT_EQ(mixer->element(MixerLine::Master)->switches, (std::vector<int>{0, 0}));
    settings.setBoolean(S::cbMute, false);
    EXPECT_EQ(mixer->element(MixerLine::Master)->switches, (std::vector<int>{1, 1}));
}

TEST_F(SoundPageTest, ACardWithoutToneControlsKeepsTheirBarsOffAndTheirKeysUnread) {
    auto page = makePage(OddCard(false));
    load(*page, "[Mixer]\r\nBass=1234\r\nTreble=4321\r\n");
    EXPECT_NE(settings.integer(S::tbBass), 1234);
    EXPECT_NE(settings.integer(S::tbTreble), 4321);
    dialog.show();
    EXPECT_FALSE(find<QWidget>("tbBass")->isEnabled());
    EXPECT_FALSE(find<QWidget>("tbTreble")->isEnabled());
    EXPECT_TRUE(find<QWidget>("tbVolume")->isEnabled());
    EXPECT_TRUE(find<QWidget>("tbMP3WAV")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("btnPlay")->isEnabled());
}

TEST_F(SoundPageTest, WithoutAMixerTheSoundControlsStayOffAndTheCardIsNeverTouched) {
    auto page = makePage(std::make_unique<FakeMixer>(std::array<std::optional<FakeMixer::Element>, kMixerLineCount>{}));
    load(*page, "[Zvuk]\r\nHrat=1\r\n[Mixer]\r\nMVolume=100\r\n");
    EXPECT_FALSE(settings.boolean(S::cbHratZvuk));
    dialog.show();
    for (const char* name : {"tbVolume", "tbMP3WAV", "cbMute", "btnPlay", "btnStop", "cbApplaus", "cbHratZvuk"})
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(QFile::exists(cardFile()));
    EXPECT_EQ(mixer->writes(), 0);
}

TEST_F(SoundPageTest, AStartAfterACrashTakesTheCardsValuesFromTheFile) {
    auto card = OddCard(true);
    const MixerValues own = card->values();
    auto first = makePage(std::move(card));
    load(*first, "[Mixer]\r\nMVolume=0\r\nMute=1\r\n");
    // The station dies: no restore. The card keeps the station's levels.
    auto survivor = first->hardware();
    EXPECT_EQ(survivor.masterVolume, 0);
    std::array<std::optional<FakeMixer::Element>, kMixerLineCount> asLeft;
    for (int i = 0; i < kMixerLineCount; ++i)
        asLeft[size_t(i)] = mixer->element(MixerLine(i));
    first.reset();
    ASSERT_TRUE(QFile::exists(cardFile()));

    auto second = makePage(std::make_unique<FakeMixer>(asLeft));
    EXPECT_EQ(mixer->values(), own);
    const SoundHardware h = second->hardware();
    EXPECT_EQ(h.masterVolume, ScaleFromElement(17, 0, 31));
    EXPECT_FALSE(h.mute);
    second->restoreCard();
    EXPECT_EQ(mixer->values(), own);
    EXPECT_FALSE(QFile::exists(cardFile()));
}

// ------------------------------------------------------------ in the station

TEST(StationSoundsAndFtp, AMissingSoundFileFallsBackToTheSuccessSoundAndFtpOpensItsPage) {
    QTemporaryDir home;
    ASSERT_TRUE(WriteAll(home.filePath(QStringLiteral("vartemo.ini")),
                         "[Po spusteni]\r\nZobrazeni=3\r\n[Zvuk]\r\nJmeno=/nikde/zvuk.mp3\r\n"));
    Station station{ProgramFolder(home.path())};
    station.show();
    const QString success = home.filePath(QStringLiteral("zvuky/success.wav"));
    EXPECT_EQ(station.settings().text(S::SoundFile), success);
    EXPECT_TRUE(ReadAll(success).startsWith("RIFF"));
    EXPECT_TRUE(ReadAll(home.filePath(QStringLiteral("zvuky/prg/applause.wav"))).startsWith("RIFF"));

    // "&Ftp" of the best-twenty window.
    station.bestTwenty().hooks().ftp();
    TNastavDlg& dialog = station.settingsDialog().dialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QTabWidget*>(QStringLiteral("Page1"))->currentIndex(), int(kPageFtp));
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("btnPosliFtp")), nullptr);
    dialog.reject();
}

} // namespace
} // namespace vartemo
