#pragma once

#include <QString>
#include <functional>

namespace vartemo {

// The settings of one infrared decoder that its controls in the settings
// dialog edit (COMComboBox or COM1ComboBox, InputSignalComboBox,
// CommandOrderSpinEdit, BitMaskSpinEdit, PrioritySpinEdit, ServiceCheckBox).
struct DecoderChoice {
    QString comName;
    int inputSignal = 1;
    int commandOrder = 0;
    int bitMask = 16;
    int priorityLevel = 6;
    bool logToFile = false;
    friend bool operator==(const DecoderChoice&, const DecoderChoice&) = default;
};

// The code-sending receivers as the settings dialog switches, tests and
// configures them: the serial receiver, decoders 1 and 2, the datagram server.
class DialogReceivers {
public:
    virtual ~DialogReceivers() = default;

    // The receivers of the chosen source: with "Použít COM" the decoders open
    // (with the input line RXD the serial receiver, when openSerial); without
    // it the decoders and the serial receiver close.
    virtual void applySourceChoice(bool openSerial) = 0;

    virtual bool serialPortOpen() const = 0;
    virtual void openSerialPort() = 0;
    virtual void closeSerialPort() = 0;
    // A receiver answered on the port (its CTS line was seen on).
    virtual bool receiverConnected() const = 0;
    virtual void setRts(bool on) = 0;
    virtual void setDtr(bool on) = 0;

    // decoder: 1 or 2.
    virtual bool decoderOpen(int decoder) const = 0;
    virtual void openDecoder(int decoder) = 0;
    virtual void closeDecoder(int decoder) = 0;
    virtual DecoderChoice decoderChoice(int decoder) const = 0;
    // Takes the choice while the decoder's port is closed; store: also into the registry.
    virtual void setDecoderChoice(int decoder, const DecoderChoice& choice, bool store) = 0;

    // Rebinds the listening ports (rebind) and switches the server on.
    virtual void networkOn(bool rebind) = 0;
    virtual void networkOff() = 0;
    virtual bool networkActive() const = 0;
    virtual void rebindNetwork() = 0;
    // Datagram lines for the network reading test (MemoTCPIP).
    virtual void setNetworkMonitor(std::function<void(const QString& line)> appendLine) = 0;
};

} // namespace vartemo
