#pragma once

#include "config/settings.h"
#include "sensors/receiversettings.h"

namespace vartemo {

// The receivers' settings read live from the station's settings.
class SettingsReceiverSettings final : public ReceiverSettings {
public:
    explicit SettingsReceiverSettings(const Settings& settings) : settings_(settings) {}

    bool useCom() const override { return settings_.useSerial(); }
    bool useUdp() const override { return settings_.useNetwork(); }
    bool raiseRts() const override { return settings_.boolean(SettingId::cbRTS); }
    bool raiseDtr() const override { return settings_.boolean(SettingId::cbDTR); }
    SerialPortSettings serialPort() const override { return settings_.serialPort(); }
    QStringList udpPortRows() const override {
        QStringList rows;
        for (const UdpPortEntry& entry : settings_.udpPorts())
            rows << entry.port;
        return rows;
    }

private:
    const Settings& settings_;
};

} // namespace vartemo
