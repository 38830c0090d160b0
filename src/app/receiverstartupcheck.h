#pragma once

#include "app/startupstatus.h"

#include <functional>

namespace vartemo {

class ReceiverSettings;
class Receivers;

// The start-up check of the serial receiver with "Použít COM": open its port
// (unless an infrared decoder holds one), give the receiver a moment to
// raise its lines, note CTS and DSR, and close the port again; the race
// start opens the right input later.
class ReceiverStartupCheck final : public SerialReceiverProbe {
public:
    struct Hooks {
        std::function<void(const QString& text)> addLogEntry;
        std::function<void(const QString& message)> showError;
        // Lets the port's line events arrive for the given time.
        std::function<void(int ms)> wait;
    };

    static const QString kOpenErrorMessage;
    static const QString kNoReceiverMessage;

    ReceiverStartupCheck(Receivers& receivers, const ReceiverSettings& settings, Hooks hooks);

    SerialReceiverCheck CheckReceiver() override;

private:
    Receivers& receivers_;
    const ReceiverSettings& settings_;
    Hooks hooks_;
};

} // namespace vartemo
