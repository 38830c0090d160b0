#include "sensors/ircodedelivery.h"

#include "engine/lapcomputation.h"
#include "engine/tform1.h"
#include "sensors/ircodeevent.h"

#include <QApplication>
#include <QWidget>

namespace vartemo {

void PostIrCodeToMainWindow(quint32 code, std::optional<TimeUs> frameStart) {
    // The window list belongs to the main thread: look it up there.
    QMetaObject::invokeMethod(
        qApp,
        [code, frameStart] {
            const QString caption = TForm1::MainCaption();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->windowTitle() == caption) {
                    QCoreApplication::postEvent(w, new IrCodeEvent(code, frameStart));
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

bool IrCodeHandler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == IrCodeEvent::kType) {
        const auto* ir = static_cast<IrCodeEvent*>(event);
        laps_.OnIrCode(ir->code(), ir->frameStart());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vartemo
