#include "sound/soundplayer.h"

#include "core/moduleloader.h"

namespace vartemo {

namespace {

// Where the sound module cannot be loaded the station stays silent, as it
// does for a file it cannot play.
class SilentMediaBackend : public MediaBackend {
public:
    void open(const QString&) override {}
    void play() override {}
    void pause() override {}
    void stop() override {}
};

} // namespace

std::unique_ptr<MediaBackend> MakeQtMediaBackend() {
    QString error;
    if (auto backend = modules::Make<MediaBackend>(QString::fromLatin1(kSoundModule), kSoundModuleEntry, &error))
        return backend;
    return std::make_unique<SilentMediaBackend>();
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
