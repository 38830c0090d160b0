#pragma once

#include "config/settings.h"
#include "platform/mixer.h"

#include <QObject>
#include <QString>

#include <memory>

class QPushButton;

namespace vartemo {

class SoundPlayer;
class TNastavDlg;
struct RaceFeeds;

// The page "Zvuky " of the settings dialog and the sounds of the station:
// the card's mixer taken over for the run (its own values kept, on disk too,
// and put back at the end), the bars applied at once, "Přehrát" and
// "Zastavit", the end-of-race sound and the applause.
class SoundPageWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        TNastavDlg& dialog;
        SoundPlayer& player;
        std::unique_ptr<Mixer> mixer; // null: no mixer device
        QString programFolder;
    };
    explicit SoundPageWiring(Parts parts);
    ~SoundPageWiring() override;

    // What the card offers and its own levels: the defaults of the load.
    SoundHardware hardware() const;
    // After the load: every level on the card as the bars show it. A loaded
    // value equal to a bar's initial position changes no setting, and the
    // card would keep its own while the bar shows another.
    void applyLevels();
    // Start-up steps 12 and 13: a sound file that exists, made ready to play.
    void prepareAtStartUp();
    // The race feeds: prepared at START, played when the race time is over.
    void connectFeeds(RaceFeeds& feeds);
    // A ride put a lap into a best-twenty table.
    void playApplause();
    // The program's end: the card's own values back, their file removed.
    void restoreCard();

    // The file that keeps the card's values while the station has them.
    static QString CardValuesPath(const QString& programFolder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applySetting(SettingId id);

    Parts parts_;
    MixerValues card_;
    bool cardTaken_ = false;
    QPushButton* play_ = nullptr;
};

} // namespace vartemo
