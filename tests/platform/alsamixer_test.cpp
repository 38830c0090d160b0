// ALSA's simple mixer against a real card: a private PulseAudio server with
// a null sink, reached through ALSA's pulse plugin, its volume read back by
// pactl.

#include "platform/mixer.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

class PrivateSoundServer {
public:
    PrivateSoundServer() {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty()) {
            ADD_FAILURE() << "pulseaudio is not installed (scripts/setup.sh installs it)";
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir_.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(pulseaudio, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                                   QStringLiteral("--use-pid-file=no"), QStringLiteral("--disallow-exit"),
                                   QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=vartemo_test"),
                                   QStringLiteral("-L"),
                                   QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket()});
        qputenv("PULSE_SERVER", ("unix:" + socket()).toLocal8Bit());
        for (int i = 0; i < 100 && !QFile::exists(socket()); ++i)
            QTest::qWait(50);
        if (!QFile::exists(socket()))
            ADD_FAILURE() << "the private sound server did not start: " << server_.readAll().toStdString();
    }
    ~PrivateSoundServer() {
        qunsetenv("PULSE_SERVER");
        server_.kill();
        server_.waitForFinished(5000);
    }
    // The null sink's volume of its first channel, 0..65536 (100 %).
    int sinkVolume() const {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("get-sink-volume"), QStringLiteral("vartemo_test")});
        pactl.waitForFinished(5000);
        const auto match = QRegularExpression(QStringLiteral("front-left: (\\d+)")).match(QString::fromUtf8(pactl.readAll()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    bool sinkMuted() const {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("get-sink-mute"), QStringLiteral("vartemo_test")});
        pactl.waitForFinished(5000);
        return pactl.readAll().contains("yes");
    }

private:
    QString socket() const { return dir_.filePath(QStringLiteral("native")); }
    QTemporaryDir dir_;
    QProcess server_;
};

TEST(AlsaMixer, SetsAndPutsBackTheLevelsOfARealCard) {
    PrivateSoundServer server;
    auto mixer = OpenAlsaMixer(QStringLiteral("pulse"));
    ASSERT_NE(mixer, nullptr);
    ASSERT_TRUE(mixer->present());
    ASSERT_TRUE(mixer->has(MixerLine::Master));
    // The plugin offers no tone controls.
    EXPECT_FALSE(mixer->has(MixerLine::Bass));
    EXPECT_FALSE(mixer->has(MixerLine::Treble));
    const MixerValues own = mixer->values();
    const int before = server.sinkVolume();
    ASSERT_GT(before, 0);

    mixer->setLevel(MixerLine::Master, 16384);
    mixer->setMuted(true);
    EXPECT_NEAR(server.sinkVolume(), 16384, 700);
    EXPECT_TRUE(server.sinkMuted());

    mixer->restore(own);
    EXPECT_EQ(server.sinkVolume(), before);
    EXPECT_FALSE(server.sinkMuted());
}

TEST(AlsaMixer, NoSuchDeviceIsNoMixer) {
    EXPECT_EQ(OpenAlsaMixer(QStringLiteral("hw:97")), nullptr);
}

} // namespace
} // namespace vartemo
