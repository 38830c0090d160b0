#pragma once

#include "engine/racehardware.h"
#include "sensors/receiversettings.h"
#include "sensors/serialreceiver.h"
#include "sensors/tcommthread.h"
#include "sensors/udpsensorserver.h"

#include <QSet>
#include <functional>
#include <memory>

namespace vartemo {

class LapComputation;
class ModemStatusPort;
class RegistryStore;
class SensorHealth;

// The code-sending receivers of the station: the serial receiver ComPort1,
// the two infrared decoder threads and the datagram server IdUDPServer1, as
// race control and the settings switch them.
//
// A receiver that cannot open is told once per cause (the same message with
// the same caption is not repeated), and the start poll does not try it
// again until something changes: a setting, the next START or STOP.
class Receivers final : public ReceiverControl {
public:
    struct Dependencies {
        LapComputation& laps;
        const ReceiverSettings& settings;
        RegistryStore& registry;
        // postIrCode and logPath for the decoders; their error boxes go
        // through reportFailure on the main thread.
        TCommThread::Environment infrared;
        std::function<std::unique_ptr<ModemStatusPort>()> makeModemPort;
        // A failure to open a receiver (the port's or the server's error, a
        // bad port row), with the caption of its box (empty: the program's).
        // Called on the main thread, once per cause; must not wait for the
        // operator.
        std::function<void(const QString& message, const QString& caption)> reportFailure;
        // When set, the decoders post through this instead of postIrCode,
        // with the number of the receiver (1 or 2) that saw the code.
        std::function<void(int receiver, quint32 code, std::optional<TimeUs> frameStart)> postIrCodeFrom = {};
    };

    explicit Receivers(Dependencies deps);
    ~Receivers() override;

    SerialReceiver& ComPort1() { return comPort1_; }
    TCommThread& CommThread() { return *commThread_; }
    TCommThread1& CommThread1() { return *commThread1_; }
    UdpSensorServer& IdUDPServer1() { return udpServer_; }

    // Each receiver's passings, rejected input and failures to open go to
    // the health model (the serial receiver and the datagram server too).
    void setHealth(SensorHealth* health, std::function<bool(const QString& address)> knownSender = {});

    // Start-up: both decoders read their registry settings.
    void loadDecoderSettings();
    // Start-up with the network receiver in use: the listening ports from
    // the port list, activated later by race control. A bad row is reported
    // (the rows before it stay bound) and gives false.
    bool bindNetworkPorts();

    // "Použít COM", "Použít LPT" or "Použít UDP/IP - sít" chosen (loaded at
    // start-up or changed): with COM the decoders open (or, with the input
    // line RXD, the serial receiver port when openSerial is true); without
    // it the open decoders and the serial port close.
    void applySourceChoice(bool openSerial);
    // A setting changed: failures may have gone, so they are told again.
    void forgetFailures();

    bool serialReceiverDetected() const override;
    bool serialInputIsRxd() const override;
    bool serialPortOpen() const override { return comPort1_.isOpen(); }
    void openSerialPort() override;
    void closeSerialPort() override { comPort1_.close(); }
    void startInfraredDecoders() override;
    void activateNetwork(bool rebind) override;
    void deactivateNetwork() override;
    void allowRetry() override;

    // Window destruction: serial port closed, second then first decoder ended
    // (a decoder that does not end in time is left, never freed under it),
    // datagram server off.
    void shutdown();

private:
    TCommThread::Environment infraredEnvironment(int receiver);
    void fail(const QString& message, const QString& caption = QString());
    void openDecoder(TCommThread& thread, int receiver);

    Dependencies deps_;
    SensorHealth* health_ = nullptr;
    SerialReceiver comPort1_;
    std::unique_ptr<TCommThread> commThread_;
    std::unique_ptr<TCommThread1> commThread1_;
    UdpSensorServer udpServer_;
    QSet<QString> toldFailures_;
    bool serialFailed_ = false;
    bool networkRetry_ = false;
};

} // namespace vartemo
