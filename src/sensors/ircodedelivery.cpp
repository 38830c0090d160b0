#include "sensors/ircodedelivery.h"

#include "engine/lapcomputation.h"
#include "engine/sensorhealth.h"
#include "engine/tform1.h"
#include "sensors/ircodeevent.h"

#include <QApplication>
#include <QWidget>

namespace vartemo {

void PostIrCodeToMainWindow(quint32 code, std::optional<TimeUs> frameStart, int receiver) {
    // The window list belongs to the main thread: look it up there.
    QMetaObject::invokeMethod(
        qApp,
        [code, frameStart, receiver] {
            const QString caption = TForm1::MainCaption();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->windowTitle() == caption) {
                    QCoreApplication::postEvent(w, new IrCodeEvent(code, frameStart, receiver));
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

bool IrCodeHandler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == IrCodeEvent::kType) {
        const auto* ir = static_cast<IrCodeEvent*>(event);
        const std::optional<CodeMatch> match = laps_.OnIrCode(ir->code(), ir->frameStart());
        const int receiver = ir->receiver();
        if (health_ && receiver >= 1 && receiver <= SensorHealth::kInfraredReceivers) {
            const int slot = SensorHealth::infrared(receiver);
            const TimeUs at = ir->frameStart().value_or(laps_.clock().nowUs());
            if (!match)
                health_->heard(slot, at);
            else if (*match == CodeMatch::NoKart)
                health_->unknownCode(slot, IrCodeText(ir->code()), at);
            else
                health_->passing(slot, at);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vartemo

#include "moc_ircodedelivery.cpp"
