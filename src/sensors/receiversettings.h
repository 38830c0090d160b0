#pragma once

#include <QString>
#include <QStringList>

namespace vartemo {

// Port settings of the serial receiver, section "ComPort1" of the
// configuration file, as the port component writes them.
struct SerialPortSettings {
    QString port = QStringLiteral("COM1");
    int baudRate = 9600;
    int dataBits = 8;
    QString stopBits = QStringLiteral("1");        // "1", "1.5", "2"
    QString parity = QStringLiteral("None");       // "None", "Odd", "Even", "Mark", "Space"
    QString flowControl = QStringLiteral("None");  // "Hardware", "Software", "None", "Custom"
};

// The settings the receivers read, live, at the moment they need them.
class ReceiverSettings {
public:
    virtual ~ReceiverSettings() = default;

    virtual bool useCom() const = 0;            // "Použít COM"
    virtual bool useUdp() const = 0;            // "Použít UDP/IP - sít"
    // InputSignalComboBox: 0 CTS, 1 DSR, 2 DCD (infrared), 3 RXD (byte receiver).
    virtual int inputSignal() const = 0;
    virtual bool raiseRts() const = 0;          // "Nastav RTS"
    virtual bool raiseDtr() const = 0;          // "Nastav DTR"
    virtual SerialPortSettings serialPort() const = 0;
    // Column "Port" of ListView1TcpIP, top to bottom.
    virtual QStringList udpPortRows() const = 0;
};

// Plain values, for tests and for running without a settings file.
class FixedReceiverSettings final : public ReceiverSettings {
public:
    bool com = false;
    bool udp = false;
    int input = 1;
    bool rts = false;
    bool dtr = false;
    SerialPortSettings port;
    QStringList udpPorts;

    bool useCom() const override { return com; }
    bool useUdp() const override { return udp; }
    int inputSignal() const override { return input; }
    bool raiseRts() const override { return rts; }
    bool raiseDtr() const override { return dtr; }
    SerialPortSettings serialPort() const override { return port; }
    QStringList udpPortRows() const override { return udpPorts; }
};

} // namespace vartemo
