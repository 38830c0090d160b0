#include "sound/soundplayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QSemaphore>
#include <QUrl>

namespace vartemo {

namespace {

class QtMediaBackend : public MediaBackend {
public:
    QtMediaBackend() {
        player_.setAudioOutput(&output_);
        // Errors are swallowed: a missing or damaged file stays silent.
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, &player_, [] {});
    }
    void open(const QString& file) override {
        player_.stop();
        player_.setSource(QUrl());
        player_.setSource(QUrl::fromLocalFile(file));
    }
    void play() override {
        if (player_.mediaStatus() == QMediaPlayer::EndOfMedia)
            player_.setPosition(0);
        player_.play();
    }
    void pause() override { player_.pause(); }
    void stop() override { player_.stop(); }

private:
    QMediaPlayer player_;
    QAudioOutput output_;
};

} // namespace

std::unique_ptr<MediaBackend> MakeQtMediaBackend() {
    return std::make_unique<QtMediaBackend>();
}

SoundPlayer::SoundPlayer(BackendFactory factory) : factory_(std::move(factory)) {
    if (!factory_)
        factory_ = &MakeQtMediaBackend;
    thread_.setObjectName(QStringLiteral("SoundPlayer"));
    context_ = new QObject;
    context_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

SoundPlayer::~SoundPlayer() {
    // The player goes on its own thread, where it was made.
    QMetaObject::invokeMethod(context_, [this] { backend_.reset(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void SoundPlayer::post(std::function<void(MediaBackend&)> request) {
    QMetaObject::invokeMethod(
        context_,
        [this, request = std::move(request)] {
            if (!backend_)
                backend_ = factory_();
            request(*backend_);
        },
        Qt::QueuedConnection);
}

void SoundPlayer::prepare(const QString& file) {
    post([file](MediaBackend& b) {
        b.open(file);
        b.pause();
    });
}

void SoundPlayer::play() {
    post([](MediaBackend& b) { b.play(); });
}

void SoundPlayer::playFile(const QString& file) {
    post([file](MediaBackend& b) {
        b.open(file);
        b.play();
    });
}

void SoundPlayer::stop() {
    post([](MediaBackend& b) { b.stop(); });
}

void SoundPlayer::waitIdle() {
    QMetaObject::invokeMethod(context_, [] {}, Qt::BlockingQueuedConnection);
}

} // namespace vartemo
