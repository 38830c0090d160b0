#include "app/settingsdialogwiring.h"

#include "config/settings.h"
#include "config/tnastavdlg.h"
#include "engine/commandbuttons.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "engine/racecontrol.h"
#include "engine/tform1.h"
#include "platform/autostartentry.h"
#include "platform/desktoplauncher.h"
#include "platform/processpriority.h"
#include "sensors/parallelport.h"
#include "sensors/receivers.h"

#include <QCoreApplication>
#include <QScreen>
#include <algorithm>

namespace vartemo {

SettingsDialogWiring::SettingsDialogWiring(Parts parts)
    : parts_(std::move(parts)), receivers_(parts_.receivers) {
    dialog_ = std::make_unique<TNastavDlg>(
        TNastavDlg::Parts{parts_.settings, parts_.laps, receivers_, parts_.parallelPort.io(),
                          parts_.programFolder},
        &parts_.mainWindow);
    dialog_->setWindowFlags(Qt::Dialog);
    dialog_->setModal(true);
    parts_.laps.setLearner(dialog_.get());

    TNastavDlg::Hooks hooks;
    hooks.loadingSettings = [this] { return parts_.loadingSettings; };
    hooks.pauseStartWaiting = [this] { parts_.race.pauseStartWaiting(); };
    hooks.resumeStartWaiting = [this] { parts_.race.rearmStartWaiting(); };
    hooks.updateInputPort = [this] { parts_.parallelPort.addresses().updateInputPort(); };
    hooks.inputPortBase = [this] { return parts_.parallelPort.addresses().LptPortBase(); };
    hooks.createDesktopLauncher = [this] { createDesktopLauncher(); };
    if (parts_.resetBestTwenty)
        hooks.resetBestTwenty = [this] {
            for (const QString& problem : parts_.resetBestTwenty())
                dialog_->showMessage(problem, true);
        };
    hooks.backup = parts_.showBackup;
    if (parts_.clearLogBook)
        hooks.clearLogBook = [this] {
            QString error;
            if (!parts_.clearLogBook(&error))
                dialog_->showMessage(error, true);
        };
    dialog_->setHooks(std::move(hooks));

    // Connected before the load: the file's values act as the operator's changes do.
    QObject::connect(&parts_.settings, &Settings::changed, dialog_.get(),
                     [this](SettingId id) { onSettingChanged(id); });
    // A changed setting may have mended a receiver: its failure is told again.
    const auto forgetFailures = [this] { parts_.receivers.forgetFailures(); };
    QObject::connect(&parts_.settings, &Settings::udpPortsChanged, dialog_.get(), forgetFailures);
    QObject::connect(&parts_.settings, &Settings::serialPortChanged, dialog_.get(), forgetFailures);
}

SettingsDialogWiring::~SettingsDialogWiring() {
    parts_.laps.setLearner(nullptr);
}

void SettingsDialogWiring::connectButton(CommandButtons& buttons) {
    QObject::connect(&buttons, &CommandButtons::settings, dialog_.get(), [this] { showDialog(); });
}

void SettingsDialogWiring::showDialog() {
    TNastavDlg& d = dialog();
    d.ensureBuilt();
    placeDialog();
    d.open();
}

void SettingsDialogWiring::placeDialog() {
    TNastavDlg& d = dialog();
    d.adjustSize();
    // Centred on the main window.
    const QRect main = parts_.mainWindow.frameGeometry();
    QRect place(main.center() - d.rect().center(), d.frameGeometry().size());
    // Kept on the screen: on a small one OK and cancel stay in reach.
    if (const QScreen* screen = parts_.mainWindow.screen()) {
        const QRect room = screen->availableGeometry();
        place.moveBottom(std::min(place.bottom(), room.bottom()));
        place.moveTop(std::max(place.top(), room.top()));
        place.moveRight(std::min(place.right(), room.right()));
        place.moveLeft(std::max(place.left(), room.left()));
    }
    d.move(place.topLeft());
}

void SettingsDialogWiring::onSettingChanged(SettingId id) {
    Settings& settings = parts_.settings;
    parts_.receivers.forgetFailures();
    switch (id) {
    case SettingId::rgZobrazeni:
        // Another level has other pages: the open dialog takes their size, on the screen.
        if (dialog_->isVisible())
            placeDialog();
        break;
    case SettingId::cbMezicasy:
        parts_.mainWindow.ApplyLayout(settings.showTrackSplits());
        break;
    case SettingId::cbMinuty:
        parts_.mainWindow.setCountsMinutes(settings.countsMinutes());
        break;
    case SettingId::po_spusteni:
        parts_.autostart.set(settings.boolean(id), QCoreApplication::applicationFilePath(),
                             parts_.programFolder);
        break;
    case SettingId::cbBezUcasti:
        if (settings.boolean(id))
            for (int kart = 1; kart <= kKartCount; ++kart)
                parts_.board.setExcluded(kart, true);
        break;
    case SettingId::OnTopBox:
        setStayOnTop(settings.boolean(id));
        break;
    case SettingId::priorita_aplikace:
        if (settings.integer(id) >= 0)
            ApplyProcessPriorityClass(settings.integer(id));
        break;
    default:
        onParallelPortSetting(id);
        break;
    }
}

// A port choice or a pulse length takes effect as soon as it changes. The
// base texts count as changes of the choice too: the light port's text is
// loaded after its choice, and would otherwise wait for the next click.
void SettingsDialogWiring::onParallelPortSetting(SettingId id) {
    ParallelPort& port = parts_.parallelPort;
    switch (id) {
    case SettingId::StartPort:
    case SettingId::LPTxx_BASE:
        port.addresses().updateInputPort();
        break;
    case SettingId::SemaforPort:
    case SettingId::Semafor_Base:
        port.addresses().updateLightPort();
        break;
    case SettingId::SpinLOG0:
        port.pulse().setLog0Ms(parts_.settings.integer(id));
        break;
    case SettingId::SpinLOG1:
        port.pulse().setLog1Ms(parts_.settings.integer(id));
        break;
    default:
        break;
    }
}

void SettingsDialogWiring::createDesktopLauncher() {
    const DesktopLauncher launcher(DesktopLauncher::DesktopFolder());
    QString error;
    if (!launcher.write(QCoreApplication::applicationFilePath(), parts_.programFolder, &error))
        dialog_->showMessage(error, true);
}

// Qt hides a window whose flags change: each is shown again as it was.
void SettingsDialogWiring::setStayOnTop(bool on) {
    for (QWidget* window : {static_cast<QWidget*>(&parts_.mainWindow), static_cast<QWidget*>(dialog_.get())}) {
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (visible)
            window->show();
    }
}

} // namespace vartemo
