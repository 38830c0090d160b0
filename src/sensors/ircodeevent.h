#pragma once

#include <QEvent>

namespace vartemo {

// WM_IRCODE: the message the infrared decoders post to the main window,
// found by its caption "Vartemo Kestral verze 2.3". wParam is 1, lParam the
// code.
class IrCodeEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 2000);

    explicit IrCodeEvent(quint32 code) : QEvent(kType), code_(code) {}
    int wParam() const { return 1; }
    quint32 code() const { return code_; }

private:
    quint32 code_;
};

} // namespace vartemo
