#include "app/backupwiring.h"

#include "backup/tzalohujfrm.h"

#include <QWidget>

namespace vartemo {

std::unique_ptr<TZalohujFrm> CreateBackupWindow(BackupWiring wiring) {
    QWidget* mainWindow = wiring.mainWindow;
    TZalohujFrm::Hooks hooks;
    hooks.addLogEntry = std::move(wiring.addLogEntry);
    hooks.endProgram = [mainWindow, mark = std::move(wiring.markEndingAfterRestore)] {
        mark();
        mainWindow->close();
    };
    // Without a parent: the station owns it, and it opens centred on the screen.
    return std::make_unique<TZalohujFrm>(wiring.programFolder, std::move(hooks));
}

} // namespace vartemo
