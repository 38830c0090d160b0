#include "sensors/udpsensorserver.h"

#include "core/conversionerror.h"
#include "core/textfile.h"
#include "engine/lapcomputation.h"
#include "engine/passingevent.h"
#include "engine/sensorhealth.h"
#include "sensors/datagramreceivetime.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

#include <sys/socket.h>

namespace vartemo {

namespace {

constexpr qint64 kNsPerUs = 1000;

} // namespace

TimeUs UdpSensorServer::RaceClockTime(qint64 receivedRealtimeNs, qint64 realtimeNowNs,
                                      TimeUs clockNowUs) {
    // The kernel stamps on the wall clock; its age is what carries over to
    // the race clock. A wall-clock step in between gives a negative or an
    // absurd age: then the datagram counts as received now.
    const qint64 ageNs = realtimeNowNs - receivedRealtimeNs;
    if (ageNs < 0 || ageNs > kMaxReceiveAgeMs * 1'000'000)
        return clockNowUs;
    return clockNowUs - ageNs / kNsPerUs;
}

UdpSensorServer::UdpSensorServer(LapComputation& laps, QObject* parent)
    : QObject(parent), laps_(laps) {}

UdpSensorServer::~UdpSensorServer() = default;

void UdpSensorServer::BindUdpPorts(const QStringList& portRows) {
    deactivate();
    ports_.clear();
    for (const QString& row : portRows) {
        const int port = StrToInt(row);
        if (port < 0 || port > 65535)
            throw ConversionError(row);
        ports_.append(quint16(port));
    }
}

bool UdpSensorServer::activate() {
    active_ = true;
    failures_.clear();
    sockets_.resize(size_t(ports_.size()));
    for (size_t i = 0; i < sockets_.size(); ++i) {
        if (sockets_[i])
            continue;
        const quint16 port = ports_[qsizetype(i)];
        auto socket = std::make_unique<QUdpSocket>();
        if (!socket->bind(QHostAddress::AnyIPv4, port)) {
            failures_ << QStringLiteral("%1 (port %2)").arg(socket->errorString()).arg(port);
            continue;
        }
        AskForReceiveTimes(int(socket->socketDescriptor()));
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(kReceiveBufferBytes));
        QUdpSocket* raw = socket.get();
        connect(raw, &QUdpSocket::readyRead, this, [this, raw] { readPending(raw); });
        sockets_[i] = std::move(socket);
    }
    return failures_.isEmpty();
}

void UdpSensorServer::deactivate() {
    active_ = false;
    // A socket may be inside its own readyRead (a handler stopped the server).
    for (auto& socket : sockets_) {
        if (!socket)
            continue;
        socket->close();
        socket.release()->deleteLater();
    }
    sockets_.clear();
}

void UdpSensorServer::readPending(QUdpSocket* socket) {
    const quint16 localPort = socket->localPort();
    while (socket->hasPendingDatagrams()) {
        // Peeked: Qt's own read then takes the datagram.
        const std::optional<qint64> received =
            ReceiveTimeNs(int(socket->socketDescriptor()), MSG_PEEK | MSG_DONTWAIT);
        // Nothing past a code's longest length is ever looked at.
        const qint64 size = socket->pendingDatagramSize();
        const QNetworkDatagram d = socket->receiveDatagram(PassingEvent::kMaxLength);
        if (!d.isValid())
            continue;
        // The monitor shows whatever comes; a passing or a code to learn
        // has at least one byte and at most a code's length.
        if ((size <= 0 || size > PassingEvent::kMaxLength) && laps_.learnSlot() != kLearnMonitor) {
            tell(Junk::WrongLength, QStringLiteral("Senzory UDP, port %1: datagram o %2 bajtech od %3 není kód káry; "
                                                   "další datagramy špatné délky se nezapisují")
                                        .arg(localPort).arg(qMax<qint64>(size, 0)).arg(d.senderAddress().toString()));
            if (health_)
                health_->rejected(health_->network(d.senderAddress().toString()), Rejection::BadFrame,
                                  laps_.clock().nowUs());
            continue;
        }
        // Without the kernel's stamp, the datagram was received now.
        const ClockPair now = ReadClockPair(RealtimeNowNs, [this] { return laps_.clock().nowUs(); });
        const TimeUs at = received ? RaceClockTime(*received, now.realtimeNs, now.clockUs) : now.clockUs;
        IdUDPServer1UDPRead(d.data(), d.senderAddress(), quint16(d.senderPort()), localPort, at);
        if (socket->state() != QAbstractSocket::BoundState)
            return; // the handler stopped the server
    }
}

QString UdpSensorServer::DatagramText(const QByteArray& payload) {
    QByteArray bytes = payload;
    for (char& c : bytes)
        if (quint8(c) <= 31)
            c = '.';
    return textfile::decode(bytes);
}

void UdpSensorServer::IdUDPServer1UDPRead(const QByteArray& payload, const QHostAddress& sender,
                                          quint16 senderPort, quint16 localPort,
                                          std::optional<TimeUs> at) {
    const QString text = DatagramText(payload);
    const QString address = sender.toString();
    const int slot = laps_.learnSlot();
    const int source = health_ ? health_->network(address) : 0;
    const TimeUs heardAt = at.value_or(laps_.clock().nowUs());
    if (slot == kLearnMonitor || (slot >= 1 && slot <= 99)) {
        if (health_)
            health_->heard(source, heardAt);
        if (slot == kLearnMonitor) {
            if (monitor_)
                monitor_(QStringLiteral("Od %1:%2/%3 Data %4")
                             .arg(address).arg(localPort).arg(senderPort).arg(text));
        } else {
            laps_.LearnCode(PassingEvent(text).code);
        }
        return;
    }
    const PassingEvent event(text, address, at);
    const CodeMatch match = laps_.MatchCode(event);
    if (match == CodeMatch::NoKart)
        tell(Junk::NoKartCode, QStringLiteral("Senzory UDP, port %1: datagram od %2 nenese kód žádné káry; "
                                              "další takové se nezapisují")
                                   .arg(localPort).arg(address));
    if (!health_)
        return;
    if (knownSender_ && !knownSender_(address))
        health_->rejected(source, Rejection::UnknownAddress, heardAt);
    else if (match == CodeMatch::NoKart)
        health_->unknownCode(source, event.code, heardAt);
    else
        health_->passing(source, heardAt);
}

void UdpSensorServer::tell(Junk kind, const QString& text) {
    bool& told = told_[int(kind)];
    if (told || !notice_)
        return;
    told = true;
    notice_(text);
}

} // namespace vartemo

#include "moc_udpsensorserver.cpp"
