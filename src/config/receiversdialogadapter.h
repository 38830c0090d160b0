#pragma once

#include "config/dialogreceivers.h"

namespace vartemo {

class Receivers;

// The station's receivers behind the settings dialog's view of them.
class ReceiversDialogAdapter final : public DialogReceivers {
public:
    explicit ReceiversDialogAdapter(Receivers& receivers) : receivers_(receivers) {}

    void applySourceChoice(bool openSerial) override;
    bool serialPortOpen() const override;
    void openSerialPort() override;
    void closeSerialPort() override;
    bool receiverConnected() const override;
    void setRts(bool on) override;
    void setDtr(bool on) override;
    bool decoderOpen(int decoder) const override;
    void openDecoder(int decoder) override;
    void closeDecoder(int decoder) override;
    DecoderChoice decoderChoice(int decoder) const override;
    void setDecoderChoice(int decoder, const DecoderChoice& choice, bool store) override;
    void networkOn(bool rebind) override;
    void networkOff() override;
    bool networkActive() const override;
    void rebindNetwork() override;
    void setNetworkMonitor(std::function<void(const QString& line)> appendLine) override;

private:
    class TCommThread& thread(int decoder) const;
    Receivers& receivers_;
};

} // namespace vartemo
