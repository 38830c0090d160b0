#pragma once

#include "core/clock.h"

#include <QEvent>
#include <optional>

namespace vartemo {

// WM_IRCODE: the message the infrared decoders post to the main window,
// found by its caption "Vartemo Kestral verze 2.3". wParam is 1, lParam the
// code; the event also carries the time the frame began.
class IrCodeEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 2000);

    explicit IrCodeEvent(quint32 code, std::optional<TimeUs> frameStart = {}, int receiver = 0)
        : QEvent(kType), code_(code), frameStart_(frameStart), receiver_(receiver) {}
    int wParam() const { return 1; }
    quint32 code() const { return code_; }
    // When the frame began on the station's clock: the passing.
    std::optional<TimeUs> frameStart() const { return frameStart_; }
    // The infrared receiver (1 or 2) that saw it; 0 when not known.
    int receiver() const { return receiver_; }

private:
    quint32 code_;
    std::optional<TimeUs> frameStart_;
    int receiver_;
};

} // namespace vartemo
