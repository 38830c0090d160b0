#include "app/soundpagewiring.h"

#include "config/settingspages.h"
#include "config/tnastavdlg.h"
#include "engine/racefeeds.h"
#include "sound/defaultsounds.h"
#include "sound/soundplayer.h"

#include <QBoxLayout>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>

namespace vartemo {

namespace {
using S = SettingId;
const QString kSoundGroup = QStringLiteral(" Zvuk ");
} // namespace

QString SoundPageWiring::CardValuesPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("mixer.txt"));
}

SoundPageWiring::SoundPageWiring(Parts parts) : parts_(std::move(parts)) {
    if (parts_.mixer && parts_.mixer->present()) {
        const QString path = CardValuesPath(parts_.programFolder);
        // Left by a run that never reached its end: those are the card's own.
        if (const auto left = ReadMixerValues(path))
            parts_.mixer->restore(*left);
        card_ = parts_.mixer->values();
        // On disk before the first level is set.
        cardTaken_ = WriteMixerValues(path, card_);
    }
    connect(&parts_.settings, &Settings::changed, this, &SoundPageWiring::applySetting);
    parts_.dialog.installEventFilter(this);
}

SoundPageWiring::~SoundPageWiring() {
    parts_.dialog.removeEventFilter(this);
}

SoundHardware SoundPageWiring::hardware() const {
    SoundHardware h;
    Mixer* m = parts_.mixer.get();
    if (!m || !m->present())
        return h;
    h.hasMixer = true;
    h.hasBass = m->has(MixerLine::Bass);
    h.hasTreble = m->has(MixerLine::Treble);
    h.masterVolume = m->level(MixerLine::Master);
    h.waveVolume = m->level(MixerLine::Wave);
    h.bass = m->level(MixerLine::Bass);
    h.treble = m->level(MixerLine::Treble);
    h.mute = m->muted();
    return h;
}

void SoundPageWiring::applySetting(SettingId id) {
    Mixer* m = parts_.mixer.get();
    // Only while the card's own values are kept safe.
    if (!m || !cardTaken_)
        return;
    const Settings& s = parts_.settings;
    switch (id) {
    case S::tbVolume:
    case S::cbMute:
        m->setLevel(MixerLine::Master, s.integer(S::tbVolume));
        m->setMuted(s.boolean(S::cbMute));
        break;
    case S::tbMP3WAV:
        m->setLevel(MixerLine::Wave, s.integer(id));
        break;
    case S::tbBass:
        m->setLevel(MixerLine::Bass, s.integer(id));
        break;
    case S::tbTreble:
        m->setLevel(MixerLine::Treble, s.integer(id));
        break;
    default:
        break;
    }
}

void SoundPageWiring::applyLevels() {
    for (SettingId id : {S::tbVolume, S::tbMP3WAV, S::tbBass, S::tbTreble})
        applySetting(id);
}

void SoundPageWiring::restoreCard() {
    if (!cardTaken_)
        return;
    parts_.mixer->restore(card_);
    QFile::remove(CardValuesPath(parts_.programFolder));
    cardTaken_ = false;
}

void SoundPageWiring::prepareAtStartUp() {
    WriteDefaultSounds(parts_.programFolder);
    // 12. A configured file that is gone falls back to the success sound.
    if (!QFileInfo(parts_.settings.text(S::SoundFile)).isFile())
        parts_.settings.setText(S::SoundFile, SuccessSoundPath(parts_.programFolder));
    // 13.
    if (parts_.settings.boolean(S::cbHratZvuk))
        parts_.player.prepare(parts_.settings.text(S::SoundFile));
}

void SoundPageWiring::connectFeeds(RaceFeeds& feeds) {
    feeds.prepareEndSound = [this] { parts_.player.prepare(parts_.settings.text(S::SoundFile)); };
    feeds.playEndSound = [this] { parts_.player.play(); };
}

void SoundPageWiring::playApplause() {
    if (parts_.settings.boolean(S::cbApplaus))
        parts_.player.playFile(ApplauseSoundPath(parts_.programFolder));
}

bool SoundPageWiring::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &parts_.dialog && event->type() == QEvent::Show && !play_) {
        parts_.dialog.ensureBuilt();
        buildControls();
    }
    return QObject::eventFilter(watched, event);
}

void SoundPageWiring::buildControls() {
    auto* pages = parts_.dialog.findChild<SettingsPages*>();
    if (!pages)
        return;
    QGridLayout* grid = pages->groupGrid(kPageSounds, kSoundGroup);
    auto* line = new QHBoxLayout;
    play_ = new QPushButton(QStringLiteral("Přehrát"));
    play_->setObjectName(QStringLiteral("btnPlay"));
    auto* stop = new QPushButton(QStringLiteral("Zastavit"));
    stop->setObjectName(QStringLiteral("btnStop"));
    line->addWidget(play_);
    line->addWidget(stop);
    grid->addLayout(line, grid->rowCount(), 0, 1, -1);
    connect(play_, &QPushButton::clicked, this,
            [this] { parts_.player.playFile(parts_.settings.text(S::SoundFile)); });
    connect(stop, &QPushButton::clicked, this, [this] { parts_.player.stop(); });

    // Without a mixer device nothing here works; each bar needs its element.
    Mixer* m = parts_.mixer.get();
    const bool device = m && m->present();
    for (QWidget* w : {static_cast<QWidget*>(play_), static_cast<QWidget*>(stop), pages->control(S::cbApplaus),
                       pages->control(S::cbHratZvuk)})
        w->setEnabled(device);
    const std::pair<SettingId, MixerLine> bars[] = {{S::tbVolume, MixerLine::Master}, {S::cbMute, MixerLine::Master},
                                                    {S::tbMP3WAV, MixerLine::Wave}, {S::tbBass, MixerLine::Bass},
                                                    {S::tbTreble, MixerLine::Treble}};
    for (const auto& [id, line] : bars)
        pages->control(id)->setEnabled(device && m->has(line));
}

} // namespace vartemo

#include "moc_soundpagewiring.cpp"
