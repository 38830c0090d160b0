#include "passingsender.h"

#include "irsignal.h"

namespace vartemo::sim {

namespace {

constexpr int kIrCommand = 0x2A;

bool Fail(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

std::unique_ptr<UdpPassingSender> UdpPassingSender::create(const QHostAddress& host, quint16 port,
                                                           QString* error) {
    if (!host.isInSubnet(QHostAddress(QStringLiteral("127.0.0.0")), 8)) {
        Fail(error, QStringLiteral("%1 is not a loopback address (127.0.0.0/8)").arg(host.toString()));
        return nullptr;
    }
    return std::unique_ptr<UdpPassingSender>(new UdpPassingSender(host, port));
}

QHostAddress UdpPassingSender::sensorAddress(int sensor) {
    return QHostAddress(quint32(0x7F000001u + quint32(sensor)));
}

bool UdpPassingSender::send(const Passing& p, QString* error) {
    auto& socket = sockets_[p.sensor];
    if (!socket) {
        socket = std::make_unique<QUdpSocket>();
        if (!socket->bind(sensorAddress(p.sensor), 0))
            return Fail(error, socket->errorString());
    }
    const QByteArray payload = SensorReport(p.sensor, KartCode(p.kart)).toLatin1();
    if (socket->writeDatagram(payload, host_, port_) != payload.size())
        return Fail(error, socket->errorString());
    return true;
}

std::unique_ptr<SerialPassingSender> SerialPassingSender::create(const QString& path, QString* error) {
    std::unique_ptr<SerialPassingSender> sender(new SerialPassingSender);
    sender->device_.setFileName(path);
    if (!sender->device_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(error, sender->device_.errorString());
        return nullptr;
    }
    return sender;
}

bool SerialPassingSender::send(const Passing& p, QString* error) {
    const QByteArray burst = SensorReport(p.sensor, KartCode(p.kart)).toLatin1();
    if (device_.write(burst) != burst.size())
        return Fail(error, device_.errorString());
    return true;
}

std::unique_ptr<IrStreamPassingSender> IrStreamPassingSender::create(const QString& path, int inputLine,
                                                                     QString* error) {
    std::unique_ptr<IrStreamPassingSender> sender(new IrStreamPassingSender);
    sender->inputLine_ = inputLine;
    sender->out_.setFileName(path);
    if (!sender->out_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(error, sender->out_.errorString());
        return nullptr;
    }
    return sender;
}

QString IrStreamPassingSender::KartIrCode(int kart) {
    quint32 v = 0;
    const auto bits = BiPhaseBits(false, kart, kIrCommand);
    for (bool b : bits)
        v = (v << 1) | (b ? 1 : 0);
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

bool IrStreamPassingSender::send(const Passing& p, QString* error) {
    if (p.sensor != 0)
        return true;
    toggle_ = !toggle_;
    const QByteArray stream =
        ModemStatusStream(BiPhaseFrame(toggle_, p.kart, kIrCommand), inputLine_, 2);
    if (out_.write(stream) != stream.size())
        return Fail(error, out_.errorString());
    return true;
}

} // namespace vartemo::sim
