#include "sound/defaultsounds.h"
#include "sound/soundplayer.h"
#include "support/modulefolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

namespace vartemo {
namespace {

// Every request the player's thread handled, in order, and on which thread.
struct Journal {
    std::mutex mutex;
    QStringList calls;
    QThread* thread = nullptr;
    void add(const QString& call) {
        std::lock_guard lock(mutex);
        calls << call;
        thread = QThread::currentThread();
    }
    QStringList taken() {
        std::lock_guard lock(mutex);
        return calls;
    }
};

struct JournalBackend : MediaBackend {
    Journal& journal;
    QSemaphore* holdOpen = nullptr; // a file that takes its time to load
    explicit JournalBackend(Journal& j, QSemaphore* hold = nullptr) : journal(j), holdOpen(hold) {}
    void open(const QString& file) override {
        if (holdOpen)
            holdOpen->tryAcquire(1, 5000);
        journal.add(QStringLiteral("open ") + QFileInfo(file).fileName());
    }
    void play() override { journal.add(QStringLiteral("play")); }
    void pause() override { journal.add(QStringLiteral("pause")); }
    void stop() override { journal.add(QStringLiteral("stop")); }
};

TEST(SoundPlayer, CallsReturnWhileThePlayersThreadIsStillBusyLoading) {
    Journal journal;
    QSemaphore hold;
    SoundPlayer player([&] { return std::make_unique<JournalBackend>(journal, &hold); });
    player.prepare(QStringLiteral("/zvuky/damaged.wav"));
    player.play();
    player.playFile(QStringLiteral("/zvuky/other.wav"));
    player.stop();
    // All four were posted while the first load still holds the player.
    EXPECT_TRUE(journal.taken().isEmpty());
    hold.release(2);
    player.waitIdle();
    EXPECT_EQ(journal.taken(), (QStringList{"open damaged.wav", "pause", "play", "open other.wav", "play", "stop"}));
    EXPECT_NE(journal.thread, QThread::currentThread());
}

TEST(SoundPlayer, TheApplauseReplacesThePreparedSoundUntilTheNextPrepare) {
    Journal journal;
    SoundPlayer player([&] { return std::make_unique<JournalBackend>(journal); });
    player.prepare(QStringLiteral("/zvuky/success.wav")); // START
    player.playFile(QStringLiteral("/zvuky/prg/applause.wav")); // the ride entered the tables
    player.play();                                        // the next race's end, no START between
    player.prepare(QStringLiteral("/zvuky/success.wav")); // START
    player.play();
    player.waitIdle();
    // Which file each play sounded.
    QStringList played;
    QString loaded;
    for (const QString& call : journal.taken()) {
        if (call.startsWith(QLatin1String("open ")))
            loaded = call.mid(5);
        else if (call == QLatin1String("play"))
            played << loaded;
    }
    EXPECT_EQ(played, (QStringList{"applause.wav", "applause.wav", "success.wav"}));
}

// Qt's own player on its thread: good, missing and damaged files are taken
// without a word and the player goes on serving.
TEST(SoundPlayer, TheRealPlayerSwallowsMissingAndDamagedFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteDefaultSounds(dir.path()));
    const QString damaged = dir.filePath(QStringLiteral("damaged.wav"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) + QByteArray(300, '\x7f'));
    file.close();
    SoundPlayer player;
    for (const QString& f : {SuccessSoundPath(dir.path()), dir.filePath(QStringLiteral("missing.wav")), damaged}) {
        player.prepare(f);
        player.play();
        player.playFile(f);
        player.stop();
    }
    player.waitIdle();
    SUCCEED();
}

// Installed without the sound module, the station stays silent as it does
// for a file it cannot play: every call returns, nothing is held.
TEST(SoundPlayer, WithoutItsModuleThePlayerStaysSilentAndServes) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteDefaultSounds(dir.path()));
    QTemporaryDir noModules;
    test::ModuleFolders missing({noModules.path()});
    auto backend = MakeQtMediaBackend();
    ASSERT_NE(backend, nullptr);
    SoundPlayer player;
    player.prepare(SuccessSoundPath(dir.path()));
    player.play();
    player.playFile(ApplauseSoundPath(dir.path()));
    player.stop();
    player.waitIdle();
    QString error;
    EXPECT_EQ(modules::Entry(QString::fromLatin1(kSoundModule), kSoundModuleEntry, &error), nullptr);
}

TEST(DefaultSounds, AFreshFolderGetsTwoPlayableWavesAndExistingOnesAreKept) {
    QTemporaryDir dir;
    const QString mine = ApplauseSoundPath(dir.path());
    QDir().mkpath(QFileInfo(mine).absolutePath());
    QFile own(mine);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("the track's own applause");
    own.close();

    ASSERT_TRUE(WriteDefaultSounds(dir.path()));

    QFile success(SuccessSoundPath(dir.path()));
    ASSERT_TRUE(success.open(QIODevice::ReadOnly));
    const QByteArray wav = success.readAll();
    ASSERT_GT(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(wav.size() - 44));
    // Not silence.
    EXPECT_GT(wav.mid(44).count('\0'), 0);
    EXPECT_LT(wav.mid(44).count('\0'), wav.size() - 44);
    QFile kept(mine);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the track's own applause");
}

} // namespace
} // namespace vartemo
