#include "app/receiverstartupcheck.h"

#include "sensors/receivers.h"

namespace vartemo {

const QString ReceiverStartupCheck::kOpenErrorMessage = QStringLiteral(
    "Program vartemo detekoval chybu otevření Com portu !\r\n"
    "Port pravděpodobně používá jiná aplikace nebo je chybně nastaven\r\n"
    "Pokud potíže přetrvají obratte se na mojí e-mail adresu.");

const QString ReceiverStartupCheck::kNoReceiverMessage = QStringLiteral(
    "Program vartemo detekoval chybu připojení přijímače na Com port !\r\n"
    "Provedte kontrolu připojení a napájení přijímače\r\n"
    "Pokud potíže přetrvají obratte se na mojí e-mail adresu.");

namespace {
constexpr int kLineSettleMs = 300;
}

ReceiverStartupCheck::ReceiverStartupCheck(Receivers& receivers, const ReceiverSettings& settings, Hooks hooks)
    : receivers_(receivers), settings_(settings), hooks_(std::move(hooks)) {}

SerialReceiverCheck ReceiverStartupCheck::CheckReceiver() {
    SerialReceiverCheck check;
    check.inUse = settings_.useCom();
    if (!check.inUse)
        return check;

    SerialReceiver& port = receivers_.ComPort1();
    const bool decoderReads = receivers_.CommThread().PortOpen || receivers_.CommThread1().PortOpen;
    bool openFailed = false;
    if (!decoderReads) {
        QString error;
        openFailed = !port.open(&error);
        if (openFailed) {
            hooks_.addLogEntry(QStringLiteral("Chyba otevření COM portu"));
            hooks_.showError(kOpenErrorMessage);
        }
    }
    if (!openFailed) {
        // A decoder reading its port is the COM input open, as much as the
        // serial receiver's port is.
        check.portOpen = port.isOpen() || decoderReads;
        if (*check.portOpen)
            hooks_.addLogEntry(QStringLiteral("COM port otevřen"));
    }

    hooks_.wait(kLineSettleMs);
    check.cts = port.CtsSeen();
    check.dsr = port.DsrSeen();
    if (!decoderReads && !check.cts) {
        hooks_.addLogEntry(QStringLiteral("Chyba připojení přijímače na Com portu"));
        hooks_.showError(kNoReceiverMessage);
    }
    if (port.isOpen())
        port.close();
    return check;
}

} // namespace vartemo
