// The main window's ties to the desktop: the operator's help on btnHelp and
// F1 in the station's own help window, the screen saver kept away during a
// ride, and the command buttons whose windows the station does not have yet.

#include "app/helpcommand.h"
#include "app/helpwindow.h"
#include "app/station.h"
#include "engine/commandbuttons.h"
#include "engine/tform1.h"
#include "platform/screensaverinhibitor.h"

#include <QMessageBox>

namespace vartemo {

void Station::wireDesktop() {
    help_ = std::make_unique<HelpCommand>(
        HelpCommand::defaultFolders(),
        [this](const QUrl& page) {
            // One help window for the run, made at its first use.
            auto* window = mainWindow_->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
            if (!window)
                window = new HelpWindow(mainWindow_.get());
            window->showPage(page);
        },
        [this](const QString& text) { QMessageBox::information(mainWindow_.get(), QString(), text); });
    help_->attachShortcut(*mainWindow_);
    QObject::connect(commandButtons_, &CommandButtons::help, mainWindow_.get(), [this] { help_->open(); });

    screenSaver_ = std::make_unique<ScreenSaverInhibitor>();
    race_.feeds().setScreenSaver = [this](bool enabled) { screenSaver_->setScreenSaverEnabled(enabled); };
}

} // namespace vartemo
