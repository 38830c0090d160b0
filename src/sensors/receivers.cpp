#include "sensors/receivers.h"

#include "core/conversionerror.h"
#include "engine/sensorhealth.h"
#include "platform/modemline.h"
#include "platform/modemstatusport.h"

namespace vartemo {

Receivers::Receivers(Dependencies deps)
    : deps_(std::move(deps)),
      comPort1_(deps_.laps, deps_.settings),
      commThread_(std::make_unique<TCommThread>(deps_.registry, deps_.makeModemPort(), infraredEnvironment(1))),
      commThread1_(std::make_unique<TCommThread1>(deps_.registry, deps_.makeModemPort(), infraredEnvironment(2))),
      udpServer_(deps_.laps) {}

Receivers::~Receivers() {
    shutdown();
}

TCommThread::Environment Receivers::infraredEnvironment(int receiver) {
    TCommThread::Environment env = deps_.infrared;
    if (deps_.postIrCodeFrom)
        env.postIrCode = [post = deps_.postIrCodeFrom, receiver](quint32 code, std::optional<TimeUs> at) {
            post(receiver, code, at);
        };
    // The decoder thread must not wait: its box is queued to the main thread,
    // and dropped with the receivers if they are gone by then.
    env.showError = [this, receiver](const QString& text, const QString& caption) {
        QMetaObject::invokeMethod(
            &udpServer_,
            [this, text, caption, receiver] {
                if (health_)
                    health_->setFailure(SensorHealth::infrared(receiver), text);
                fail(text, caption);
            },
            Qt::QueuedConnection);
    };
    return env;
}

void Receivers::setHealth(SensorHealth* health, std::function<bool(const QString& address)> knownSender) {
    health_ = health;
    comPort1_.setHealth(health);
    udpServer_.setHealth(health, std::move(knownSender));
}

void Receivers::fail(const QString& message, const QString& caption) {
    const QString cause = caption + u'\n' + message;
    if (toldFailures_.contains(cause))
        return;
    toldFailures_.insert(cause);
    if (deps_.reportFailure)
        deps_.reportFailure(message, caption);
}

void Receivers::forgetFailures() {
    toldFailures_.clear();
    allowRetry();
}

void Receivers::allowRetry() {
    serialFailed_ = false;
    networkRetry_ = true;
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
    if (serialFailed_)
        return;
    QString error;
    const bool opened = comPort1_.open(&error);
    if (health_)
        health_->setFailure(SensorHealth::serial(), error);
    if (!opened) {
        serialFailed_ = true;
        fail(error);
    }
}

void Receivers::openDecoder(TCommThread& thread, int receiver) {
    // Its failure, if any, arrives queued from the thread and sets it again.
    if (health_)
        health_->setFailure(SensorHealth::infrared(receiver), {});
    thread.OpenPort();
}

void Receivers::startInfraredDecoders() {
    if (serialInputIsRxd())
        return;
    // A receiver without a port name is not installed: nothing to open, no
    // "COM port je obsazen" for it.
    if (commThread_ && !commThread_->PortOpen && !commThread_->ComName.isEmpty())
        openDecoder(*commThread_, 1);
    // Both receivers on one port: only the first reads it.
    if (commThread1_ && !commThread1_->PortOpen && commThread_ && !commThread1_->ComName.isEmpty() &&
        commThread1_->ComName != commThread_->ComName)
        openDecoder(*commThread1_, 2);
}

void Receivers::applySourceChoice(bool openSerial) {
    if (!deps_.settings.useCom()) {
        for (TCommThread* thread : {static_cast<TCommThread*>(commThread_.get()),
                                    static_cast<TCommThread*>(commThread1_.get())})
            if (thread && thread->PortOpen)
                thread->ClosePort();
        comPort1_.close();
        return;
    }
    if (!serialInputIsRxd())
        startInfraredDecoders();
    else if (openSerial)
        openSerialPort();
}

bool Receivers::bindNetworkPorts() {
    try {
        udpServer_.BindUdpPorts(deps_.settings.udpPortRows());
        return true;
    } catch (const ConversionError& e) {
        if (health_)
            health_->setNetworkFailure(e.message());
        fail(e.message());
        return false;
    }
}

void Receivers::activateNetwork(bool rebind) {
    // The poll leaves an active server as it is, missing ports too, until a
    // retry is allowed; the ports that listen are never interrupted.
    if (rebind && !bindNetworkPorts())
        return;
    if (udpServer_.isActive() && !rebind && !networkRetry_)
        return;
    networkRetry_ = false;
    const bool listening = udpServer_.activate();
    if (health_)
        health_->setNetworkFailure(udpServer_.errorString());
    if (!listening)
        for (const QString& failure : udpServer_.failures())
            fail(failure);
}

void Receivers::deactivateNetwork() {
    udpServer_.deactivate();
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
