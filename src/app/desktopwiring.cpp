// The main window's ties to the desktop: the operator's help on btnHelp and
// F1, the screen saver kept away during a ride, and the command buttons whose
// windows the station does not have yet.

#include "app/helpcommand.h"
#include "app/station.h"
#include "engine/commandbuttons.h"
#include "engine/tform1.h"
#include "platform/screensaverinhibitor.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace vartemo {

void Station::wireDesktop() {
    help_ = std::make_unique<HelpCommand>(
        HelpCommand::defaultFolders(), [](const QUrl& url) { return QDesktopServices::openUrl(url); },
        [this](const QString& text) { QMessageBox::information(mainWindow_.get(), QString(), text); });
    help_->attachShortcut(*mainWindow_);
    QObject::connect(commandButtons_, &CommandButtons::help, mainWindow_.get(), [this] { help_->open(); });

    screenSaver_ = std::make_unique<ScreenSaverInhibitor>();
    race_.feeds().setScreenSaver = [this](bool enabled) { screenSaver_->setScreenSaverEnabled(enabled); };
}

} // namespace vartemo
