#pragma once

#include "config/dialogreceivers.h"
#include "platform/portio.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace vartemo::testing {

// The receivers as the dialog sees them, in memory: every call goes into one
// shared log, so the order of a sequence across parts can be read back.
struct RecordingReceivers final : DialogReceivers {
    QStringList& log;
    bool serialOpen = false;
    bool connected = true;
    bool decoderIsOpen[2] = {false, false};
    DecoderChoice choice[2] = {{QStringLiteral("COM1")}, {QStringLiteral("COM2")}};
    bool network = false;
    std::function<void(const QString&)> monitor;

    explicit RecordingReceivers(QStringList& sharedLog) : log(sharedLog) {}

    void applySourceChoice(bool openSerial) override { log << QStringLiteral("applySourceChoice %1").arg(openSerial); }
    bool serialPortOpen() const override { return serialOpen; }
    void openSerialPort() override { serialOpen = true; log << "openSerial"; }
    void closeSerialPort() override { serialOpen = false; log << "closeSerial"; }
    bool receiverConnected() const override { return connected; }
    void setRts(bool on) override { log << QStringLiteral("rts %1").arg(on); }
    void setDtr(bool on) override { log << QStringLiteral("dtr %1").arg(on); }
    bool decoderOpen(int d) const override { return decoderIsOpen[d - 1]; }
    void openDecoder(int d) override { decoderIsOpen[d - 1] = true; log << QStringLiteral("openDecoder%1").arg(d); }
    void closeDecoder(int d) override { decoderIsOpen[d - 1] = false; log << QStringLiteral("closeDecoder%1").arg(d); }
    DecoderChoice decoderChoice(int d) const override { return choice[d - 1]; }
    void setDecoderChoice(int d, const DecoderChoice& c, bool store) override {
        choice[d - 1] = c;
        log << QStringLiteral("%1Decoder%2 %3 %4").arg(store ? "store" : "set").arg(d).arg(c.comName).arg(c.inputSignal);
    }
    void networkOn(bool rebind) override { network = true; log << QStringLiteral("networkOn %1").arg(rebind); }
    void networkOff() override { network = false; log << "networkOff"; }
    bool networkActive() const override { return network; }
    void rebindNetwork() override { log << "rebindNetwork"; }
    void setNetworkMonitor(std::function<void(const QString&)> m) override { monitor = std::move(m); }
};

// Port registers that log their writes into the same log.
struct RecordingPortIo final : PortIo {
    QStringList& log;
    quint16 data = 0;
    quint16 status = 0;
    QList<quint16> reads;
    explicit RecordingPortIo(QStringList& sharedLog) : log(sharedLog) {}
    quint16 Inp32(quint16 address) override {
        reads << address;
        return RegisterOf(address) == kStatusRegister ? status : data;
    }
    void Out32(quint16 address, quint16 value) override {
        log << QStringLiteral("out %1 %2").arg(address, 0, 16).arg(value);
    }
    bool present(quint16) override { return true; }
};

} // namespace vartemo::testing
