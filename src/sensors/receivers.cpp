#include "sensors/receivers.h"

#include "core/conversionerror.h"
#include "platform/modemline.h"
#include "platform/modemstatusport.h"

namespace vartemo {

Receivers::Receivers(Dependencies deps)
    : deps_(std::move(deps)),
      comPort1_(deps_.laps, deps_.settings),
      commThread_(std::make_unique<TCommThread>(deps_.registry, deps_.makeModemPort(), deps_.infrared)),
      commThread1_(std::make_unique<TCommThread1>(deps_.registry, deps_.makeModemPort(), deps_.infrared)),
      udpServer_(deps_.laps) {}

Receivers::~Receivers() {
    shutdown();
}

void Receivers::loadDecoderSettings() {
    commThread_->LoadSettings();
    commThread1_->LoadSettings();
}

bool Receivers::serialReceiverDetected() const {
    return deps_.settings.useCom() && comPort1_.CtsSeen();
}

// InputSignalComboBox is the first decoder's line: RXD means the byte receiver.
bool Receivers::serialInputIsRxd() const {
    return commThread_ && commThread_->InputSignal == kInputLineRxd;
}

void Receivers::openSerialPort() {
    QString error;
    if (!comPort1_.open(&error) && deps_.showError)
        deps_.showError(error);
}

void Receivers::startInfraredDecoders() {
    if (serialInputIsRxd())
        return;
    if (commThread_ && !commThread_->PortOpen)
        commThread_->OpenPort();
    // Both receivers on one port: only the first reads it.
    if (commThread1_ && !commThread1_->PortOpen && commThread_ &&
        commThread1_->ComName != commThread_->ComName)
        commThread1_->OpenPort();
}

bool Receivers::bindNetworkPorts() {
    try {
        udpServer_.BindUdpPorts(deps_.settings.udpPortRows());
        return true;
    } catch (const ConversionError& e) {
        if (deps_.showError)
            deps_.showError(e.message());
        return false;
    }
}

void Receivers::activateNetwork(bool rebind) {
    if (rebind && !bindNetworkPorts())
        return;
    if (!udpServer_.activate() && deps_.showError)
        deps_.showError(udpServer_.errorString());
}

void Receivers::shutdown() {
    comPort1_.close();
    if (commThread1_ && !commThread1_->Shutdown())
        (void)commThread1_.release(); // still running: never free it under the thread
    if (commThread_ && !commThread_->Shutdown())
        (void)commThread_.release();
    udpServer_.deactivate();
}

} // namespace vartemo
