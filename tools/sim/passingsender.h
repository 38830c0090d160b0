#pragma once

#include "rideplan.h"

#include <QFile>
#include <QHostAddress>
#include <QString>
#include <QUdpSocket>
#include <map>
#include <memory>

namespace vartemo::sim {

// Delivers one passing to the station the way a sensor of one kind would.
class PassingSender {
public:
    virtual ~PassingSender() = default;
    // False with *error when the passing could not be delivered.
    virtual bool send(const Passing& p, QString* error) = 0;
};

// Network sensors: the lap sensor sends from 127.0.0.1, trackside sensor s
// from 127.0.0.(1+s), each datagram the sensor's report. Loopback only.
class UdpPassingSender final : public PassingSender {
public:
    // nullptr with *error unless host is in 127.0.0.0/8.
    static std::unique_ptr<UdpPassingSender> create(const QHostAddress& host, quint16 port, QString* error);
    bool send(const Passing& p, QString* error) override;
    static QHostAddress sensorAddress(int sensor);

private:
    UdpPassingSender(const QHostAddress& host, quint16 port) : host_(host), port_(port) {}
    QHostAddress host_;
    quint16 port_;
    std::map<int, std::unique_ptr<QUdpSocket>> sockets_;
};

// A serial receiver: the report as one burst of bytes into a device or
// pseudo-terminal.
class SerialPassingSender final : public PassingSender {
public:
    static std::unique_ptr<SerialPassingSender> create(const QString& path, QString* error);
    bool send(const Passing& p, QString* error) override;

private:
    QFile device_;
};

// An infrared receiver: the kart's bi-phase frame (address = kart) as the
// modem-status records the decoder reads. Only lap-sensor passings.
class IrStreamPassingSender final : public PassingSender {
public:
    static std::unique_ptr<IrStreamPassingSender> create(const QString& path, int inputLine, QString* error);
    bool send(const Passing& p, QString* error) override;
    // The hex text the decoder makes of a kart's frame (bit mask 16).
    static QString KartIrCode(int kart);

private:
    QFile out_;
    int inputLine_ = 1;
    bool toggle_ = false;
};

} // namespace vartemo::sim
