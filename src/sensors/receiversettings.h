#pragma once

#include "config/serialportsettings.h"

#include <QString>
#include <QStringList>

namespace vartemo {

// The settings the receivers read, live, at the moment they need them.
class ReceiverSettings {
public:
    virtual ~ReceiverSettings() = default;

    virtual bool useCom() const = 0;            // "Použít COM"
    virtual bool useUdp() const = 0;            // "Použít UDP/IP - sít"
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
    bool rts = false;
    bool dtr = false;
    SerialPortSettings port;
    QStringList udpPorts;

    bool useCom() const override { return com; }
    bool useUdp() const override { return udp; }
    bool raiseRts() const override { return rts; }
    bool raiseDtr() const override { return dtr; }
    SerialPortSettings serialPort() const override { return port; }
    QStringList udpPortRows() const override { return udpPorts; }
};

} // namespace vartemo
