// The settings dialog's sound and FTP pages in the station: the media player
// and the card's mixer, the slot-5 pictures from the best-twenty window, the
// applause, and what the main window's closing sends and puts back.

#include "app/besttwentywiring.h"
#include "app/ftppagewiring.h"
#include "app/settingsdialogwiring.h"
#include "app/soundpagewiring.h"
#include "app/station.h"
#include "config/settingcontrols.h"
#include "config/tnastavdlg.h"
#include "records/toptables.h"
#include "records/ttopten10frm.h"
#include "sound/soundplayer.h"

#include <QSpinBox>
#include <QTabWidget>

namespace vartemo {

void Station::wireSoundsAndFtp() {
    soundPlayer_ = std::make_unique<SoundPlayer>();
    soundPage_ = std::make_unique<SoundPageWiring>(SoundPageWiring::Parts{
        settings_, settingsDialog_->dialog(), *soundPlayer_, mixerOpening_.get(), folder_.root()});
    soundPage_->connectFeeds(race_.feeds());
    QObject::connect(&bestTwenty_->tables(), &TopTables::entered, soundPage_.get(),
                     [this] { soundPage_->playApplause(); });

    ftpPage_ = std::make_unique<FtpPageWiring>(FtpPageWiring::Parts{
        .settings = settings_,
        .dialog = settingsDialog_->dialog(),
        .saveTablePicture = [this](bool women, const QString& path, int quality) {
            TTopTen10Frm* window = bestTwenty_->window();
            if (!window)
                return false;
            const TopTable which = women ? TopTable::Women : TopTable::Men;
            window->quality(which)->setValue(quality);
            return window->SaveListAsJpeg(which, path, quality);
        },
        .chooseFile = {},
    });
    // "&Ftp" of the best-twenty window: the dialog on "Ftp klient ".
    bestTwenty_->hooks().ftp = [this] {
        settingsDialog_->showDialog();
        auto* pages = settingsDialog_->dialog().findChild<QTabWidget*>(QStringLiteral("Page1"));
        if (pages && pages->isTabVisible(kPageFtp))
            pages->setCurrentIndex(kPageFtp);
    };

    // After what the closing does already (the kart times): the sending,
    // then the card's own levels back.
    race_.feeds().closing = [this, before = std::move(race_.feeds().closing)] {
        if (before)
            before();
        ftpPage_->sendAtProgramEnd();
        soundPage_->restoreCard();
    };
}

} // namespace vartemo
