#include "config/receiversdialogadapter.h"

#include "sensors/receivers.h"

#include <algorithm>

namespace vartemo {

TCommThread& ReceiversDialogAdapter::thread(int decoder) const {
    if (decoder == 2)
        return receivers_.CommThread1();
    return receivers_.CommThread();
}

void ReceiversDialogAdapter::applySourceChoice(bool openSerial) {
    receivers_.applySourceChoice(openSerial);
}

bool ReceiversDialogAdapter::serialPortOpen() const {
    return receivers_.serialPortOpen();
}

void ReceiversDialogAdapter::openSerialPort() {
    receivers_.openSerialPort();
}

void ReceiversDialogAdapter::closeSerialPort() {
    receivers_.closeSerialPort();
}

bool ReceiversDialogAdapter::receiverConnected() const {
    return receivers_.ComPort1().CtsSeen();
}

void ReceiversDialogAdapter::setRts(bool on) {
    receivers_.ComPort1().setRts(on);
}

void ReceiversDialogAdapter::setDtr(bool on) {
    receivers_.ComPort1().setDtr(on);
}

bool ReceiversDialogAdapter::decoderOpen(int decoder) const {
    return thread(decoder).PortOpen;
}

void ReceiversDialogAdapter::openDecoder(int decoder) {
    thread(decoder).OpenPort();
}

void ReceiversDialogAdapter::closeDecoder(int decoder) {
    thread(decoder).ClosePort();
}

DecoderChoice ReceiversDialogAdapter::decoderChoice(int decoder) const {
    const TCommThread& t = thread(decoder);
    return {t.ComName, t.InputSignal, t.CommandOrder, t.BitMask, t.PriorityLevel, t.LogToFile};
}

void ReceiversDialogAdapter::setDecoderChoice(int decoder, const DecoderChoice& choice, bool store) {
    TCommThread& t = thread(decoder);
    t.ComName = choice.comName;
    t.InputSignal = quint8(std::clamp(choice.inputSignal, 0, 255));
    t.CommandOrder = choice.commandOrder;
    t.BitMask = choice.bitMask;
    t.PriorityLevel = quint8(std::clamp(choice.priorityLevel, 0, 255));
    t.LogToFile = choice.logToFile;
    if (store)
        t.SaveSettings();
}

void ReceiversDialogAdapter::networkOn(bool rebind) {
    receivers_.activateNetwork(rebind);
}

void ReceiversDialogAdapter::networkOff() {
    receivers_.deactivateNetwork();
}

bool ReceiversDialogAdapter::networkActive() const {
    return receivers_.IdUDPServer1().isActive();
}

// Binding closes the sockets: a server that was listening listens again on the new list.
void ReceiversDialogAdapter::rebindNetwork() {
    const bool wasActive = networkActive();
    if (receivers_.bindNetworkPorts() && wasActive)
        receivers_.activateNetwork(false);
}

void ReceiversDialogAdapter::setNetworkMonitor(std::function<void(const QString& line)> appendLine) {
    receivers_.IdUDPServer1().setMonitor(std::move(appendLine));
}

} // namespace vartemo
