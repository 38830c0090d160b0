// The sound module: Qt Multimedia's player, loaded at the first sound, so
// that a start does not load the media libraries and the codecs they bring.
#include "sound/mediabackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

#include <type_traits>

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

} // namespace vartemo

extern "C" Q_DECL_EXPORT vartemo::MediaBackend* vartemo_make_media_backend() {
    return new vartemo::QtMediaBackend;
}

static_assert(std::is_same_v<decltype(&vartemo_make_media_backend), vartemo::MakeMediaBackend>);
