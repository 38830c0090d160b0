#include "app/station.h"

#include "engine/lapfilecommands.h"
#include "engine/racecontrolpanel.h"
#include "engine/tform1.h"
#include "platform/linuxmodemstatusport.h"
#include "sensors/ircodedelivery.h"
#include "sensors/receivers.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vartemo {

Station::Station(const ProgramFolder& folder)
    : folder_(folder), settings_(folder.root()), lapSettings_(settings_),
      laps_(board_, clock_, lapSettings_), raceSettings_(settings_),
      race_(board_, laps_, clock_, raceSettings_, RaceControl::Hardware{}),
      mainWindow_(std::make_unique<TForm1>(board_)),
      receiverSettings_(settings_) {
    createReceivers();
    race_.setResultsFolder(folder_.resultsFolder());
    race_.feeds().showError = [this](const QString& message) {
        QMessageBox::critical(mainWindow_.get(), mainWindow_->windowTitle(), message);
    };
    new RaceControlPanel(*mainWindow_, race_);
    new LapFileCommands(*mainWindow_, board_, folder_.resultsFolder());
    // Connected before loading: the file's values act as the operator's changes do.
    connectSettings();
    settings_.loadFile(folder_.path(QStringLiteral("vartemo.ini")));
    // The window's own first layout need not match an unchanged setting.
    mainWindow_->ApplyLayout(settings_.showTrackSplits());
    mainWindow_->setCountsMinutes(settings_.countsMinutes());
}

void Station::createReceivers() {
    receivers_ = std::make_unique<Receivers>(Receivers::Dependencies{
        .laps = laps_,
        .settings = receiverSettings_,
        .registry = registry_,
        .infrared = {.postIrCode = PostIrCodeToMainWindow,
                     .showError = ShowReceiverError,
                     .logPath = folder_.path(QStringLiteral("log.txt"))},
        .makeModemPort = [] { return std::make_unique<LinuxModemStatusPort>(); },
        .showError = [](const QString& m) { ShowReceiverError(m, TForm1::MainCaption()); }});
    receivers_->loadDecoderSettings();
    race_.setHardware({.lights = nullptr, .inputs = nullptr, .receivers = receivers_.get()});
    irCodes_ = std::make_unique<IrCodeHandler>(laps_);
    mainWindow_->installEventFilter(irCodes_.get());
}

void Station::connectSettings() {
    QObject::connect(&settings_, &Settings::changed, mainWindow_.get(), [this](SettingId id) {
        switch (id) {
        case SettingId::cbMezicasy:
            mainWindow_->ApplyLayout(settings_.showTrackSplits());
            break;
        case SettingId::cbMinuty:
            mainWindow_->setCountsMinutes(settings_.countsMinutes());
            break;
        case SettingId::po_spusteni:
            autostart_.set(settings_.boolean(id), QCoreApplication::applicationFilePath());
            break;
        case SettingId::cbBezUcasti:
            if (settings_.boolean(id))
                for (int kart = 1; kart <= kKartCount; ++kart)
                    board_.setExcluded(kart, true);
            break;
        default:
            break;
        }
    });
}

Station::~Station() {
    // The window goes first: its destruction still switches the receivers off.
    mainWindow_.reset();
}

void Station::show() {
    mainWindow_->show();
}

} // namespace vartemo
