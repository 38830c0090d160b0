#pragma once

#include "core/clock.h"
#include "sensors/receiversettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <optional>

namespace vartemo {

class LapComputation;
class SensorHealth;

// The receiver on a serial port (component ComPort1) that sends each passing
// as one burst of bytes: the kart code, optionally after a trackside sensor's
// identifier. It lives on the main thread, so codes reach the lap computation
// there. RTS and DTR can power the receiver; CTS tells that one is connected.
class SerialReceiver : public QObject {
    Q_OBJECT
public:
    // Bytes that arrive without a pause of this long form one code. At 9600 Bd
    // a byte takes about 1 ms, so a burst never pauses this long inside, and
    // sensors send passings far further apart. Slow rates stretch the pause to
    // three character times.
    static constexpr int kBurstPauseMs = 15;
    static constexpr int kLinePollMs = 50;

    SerialReceiver(LapComputation& laps, const ReceiverSettings& settings, QObject* parent = nullptr);
    ~SerialReceiver() override;

    // One byte, one printable character: 0x00-0x1F become space to "?",
    // 0x20-0x7F stay, 0x80-0xFF move down by 0x5F.
    static QString CodeText(const QByteArray& bytes);
    static int BurstPauseMs(int baudRate);

    // Passings, unknown codes and overlong bursts are told to the health model.
    void setHealth(SensorHealth* health) { health_ = health; }

    // Opens the port of section "ComPort1"; false with the port's error text.
    bool open(QString* error = nullptr);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    // The "RTS" and "DTR" lines of the open port, set by hand (a port test).
    void setRts(bool on);
    void setDtr(bool on);

    bool CtsSeen() const { return ctsSeen_; }
    bool DsrSeen() const { return dsrSeen_; }

    // Handlers of the port's events.
    void ComPort1AfterOpen();
    void ComPort1BeforeClose();
    void ComPort1CTSChange(bool on) { ctsSeen_ = on; }
    void ComPort1DSRChange(bool on) { dsrSeen_ = on; }
    // One burst: learning or matching. at: when its first byte arrived (absent: now).
    // cut: the burst ran over the longest code and lost its end.
    void ComPort1RxChar(const QByteArray& burst, std::optional<TimeUs> at = {}, bool cut = false);

signals:
    void codeReceived(const QString& code);

private:
    void readAvailable();
    void pollLines();

    LapComputation& laps_;
    const ReceiverSettings& settings_;
    QSerialPort port_;
    SensorHealth* health_ = nullptr;
    QByteArray burst_;
    TimeUs burstStart_ = 0;
    bool burstCut_ = false;
    QTimer burstEnd_;
    QTimer linePoll_;
    QSerialPort::PinoutSignals lastLines_;
    bool ctsSeen_ = false;
    bool dsrSeen_ = false;
};

} // namespace vartemo
