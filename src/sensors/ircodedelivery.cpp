#include "sensors/ircodedelivery.h"

#include "engine/lapcomputation.h"
#include "engine/tform1.h"
#include "sensors/ircodeevent.h"

#include <QApplication>
#include <QWidget>

namespace vartemo {

void PostIrCodeToMainWindow(quint32 code) {
    // The window list belongs to the main thread: look it up there.
    QMetaObject::invokeMethod(
        qApp,
        [code] {
            const QString caption = TForm1::MainCaption();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->windowTitle() == caption) {
                    QCoreApplication::postEvent(w, new IrCodeEvent(code));
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

bool IrCodeHandler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == IrCodeEvent::kType) {
        laps_.OnIrCode(static_cast<IrCodeEvent*>(event)->code());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vartemo
