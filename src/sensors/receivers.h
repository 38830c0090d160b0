#pragma once

#include "engine/racehardware.h"
#include "sensors/receiversettings.h"
#include "sensors/serialreceiver.h"
#include "sensors/tcommthread.h"
#include "sensors/udpsensorserver.h"

#include <functional>
#include <memory>

namespace vartemo {

class LapComputation;
class ModemStatusPort;
class RegistryStore;

// The code-sending receivers of the station: the serial receiver ComPort1,
// the two infrared decoder threads and the datagram server IdUDPServer1, as
// race control and the settings dialog switch them.
class Receivers final : public ReceiverControl {
public:
    struct Dependencies {
        LapComputation& laps;
        const ReceiverSettings& settings;
        RegistryStore& registry;
        TCommThread::Environment infrared;
        std::function<std::unique_ptr<ModemStatusPort>()> makeModemPort;
        // A failure to open a receiver (the port's or the server's error, a
        // bad port row): shown to the operator, the receiver stays off.
        std::function<void(const QString& message)> showError;
    };

    explicit Receivers(Dependencies deps);
    ~Receivers() override;

    SerialReceiver& ComPort1() { return comPort1_; }
    TCommThread& CommThread() { return *commThread_; }
    TCommThread1& CommThread1() { return *commThread1_; }
    UdpSensorServer& IdUDPServer1() { return udpServer_; }

    // Start-up: both decoders read their registry settings.
    void loadDecoderSettings();
    // Start-up with the network receiver in use: the listening ports from
    // the port list, activated later by race control. A bad row is shown
    // (the rows before it stay bound) and gives false.
    bool bindNetworkPorts();

    bool serialReceiverDetected() const override;
    bool serialInputIsRxd() const override;
    bool serialPortOpen() const override { return comPort1_.isOpen(); }
    void openSerialPort() override;
    void closeSerialPort() override { comPort1_.close(); }
    void startInfraredDecoders() override;
    void activateNetwork(bool rebind) override;
    void deactivateNetwork() override { udpServer_.deactivate(); }

    // Window destruction: serial port closed, second then first decoder ended
    // (a decoder that does not end in time is left, never freed under it),
    // datagram server off.
    void shutdown();

private:
    Dependencies deps_;
    SerialReceiver comPort1_;
    std::unique_ptr<TCommThread> commThread_;
    std::unique_ptr<TCommThread1> commThread1_;
    UdpSensorServer udpServer_;
};

} // namespace vartemo
