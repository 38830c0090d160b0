#pragma once

#include "core/clock.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QUdpSocket;

namespace vartemo {

class LapComputation;
class SensorHealth;

// The datagram server of the network sensors: one socket per listening port
// on all interfaces. Each datagram's text is a kart code; the sender's
// address tells the lap sensor (IP0) from trackside sensors. Runs on the
// main thread, so datagrams reach the lap computation directly; each passing
// carries the kernel's receive time of its datagram, so the time the event
// loop took to come round is not part of the lap.
class UdpSensorServer : public QObject {
    Q_OBJECT
public:
    explicit UdpSensorServer(LapComputation& laps, QObject* parent = nullptr);
    ~UdpSensorServer() override;

    // The monitor memo MemoTCPIP of the settings dialog.
    void setMonitor(std::function<void(const QString& line)> appendLine) {
        monitor_ = std::move(appendLine);
    }
    // Where datagrams that are no passing are told: once per kind and run,
    // however many come (anyone on the track's network can send them).
    void setNotice(std::function<void(const QString& text)> notice) { notice_ = std::move(notice); }

    // Room for a flood's worth of datagrams while the main thread is busy
    // (the system caps it at net.core.rmem_max).
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

    // Each sender's passings and rejected datagrams go to the health model.
    // knownSender: whether an address is one of the configured sensors
    // (absent: every address is); a datagram from another one still counts
    // for timing as before, and is told as from an unknown address.
    void setHealth(SensorHealth* health, std::function<bool(const QString& address)> knownSender = {}) {
        health_ = health;
        knownSender_ = std::move(knownSender);
    }

    // Deactivates, removes every binding and adds one per row. A row that is
    // not a decimal number throws ConversionError; the rows before it stay bound.
    void BindUdpPorts(const QStringList& portRows);
    // Opens the bindings that are not open yet. A port that cannot be bound
    // (held by another program, listed twice) is left out with the server's
    // error for it in failures(); every other port listens. True when all
    // ports listen.
    bool activate();
    void deactivate();
    bool isActive() const { return active_; }
    const QList<quint16>& boundPorts() const { return ports_; }
    // One message per port that could not be bound by the last activation.
    const QStringList& failures() const { return failures_; }
    QString errorString() const { return failures_.join(u'\n'); }

    // Payload to code text: bytes 31 or below become ".".
    static QString DatagramText(const QByteArray& payload);
    // One received datagram: monitor, learning or matching. at: when it was
    // received, on the station's clock (absent: now).
    void IdUDPServer1UDPRead(const QByteArray& payload, const QHostAddress& sender,
                             quint16 senderPort, quint16 localPort,
                             std::optional<TimeUs> at = {});

    // A datagram older than this by the kernel's stamp means the wall clock
    // stepped; it then counts as received when it is read.
    static constexpr qint64 kMaxReceiveAgeMs = 10'000;
    // The kernel's wall-clock receive time moved onto the station's clock:
    // the datagram is as old on both.
    static TimeUs RaceClockTime(qint64 receivedRealtimeNs, qint64 realtimeNowNs, TimeUs clockNowUs);

private:
    void readPending(QUdpSocket* socket);

    enum class Junk { WrongLength, NoKartCode, Count };
    void tell(Junk kind, const QString& text);

    LapComputation& laps_;
    SensorHealth* health_ = nullptr;
    std::function<bool(const QString&)> knownSender_;
    std::function<void(const QString&)> monitor_;
    std::function<void(const QString&)> notice_;
    bool told_[int(Junk::Count)] = {};
    QList<quint16> ports_;
    std::vector<std::unique_ptr<QUdpSocket>> sockets_;
    QStringList failures_;
    bool active_ = false;
};

} // namespace vartemo
